#include "patternartwork.h"

#include "tileablenoise.h"

#include <QLoggingCategory>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

Q_LOGGING_CATEGORY(lcPatternArtwork, "listoro.artwork.patterns", QtInfoMsg)

namespace {

constexpr float pi = std::numbers::pi_v<float>;

int channel(float v)
{
    return std::clamp(int(std::lround(v)), 0, 255);
}

QRgb rgb(float r, float g, float b)
{
    return qRgb(channel(r), channel(g), channel(b));
}

// Light across a round thread: brightest along its middle, darker towards its edges.
float threadProfile(float across)
{
    return std::sin(pi * across);
}

// Per-thread brightness offsets, one random value per thread.
std::vector<float> threadTones(TileableNoise &noise, int count, float spread)
{
    std::vector<float> tones(static_cast<size_t>(count));
    for (float &t : tones)
        t = (noise.next() - 0.5f) * 2.0f * spread;
    return tones;
}

} // namespace

QImage PatternArtwork::nastyFabric()
{
    constexpr int size = 300;
    constexpr int thread = 3; // pixels per thread; a plain weave repeats every two threads
    constexpr int threads = size / thread;
    TileableNoise noise(0x0fab1c, size);
    const std::vector<float> warpTones = threadTones(noise, threads, 0.10f);
    const std::vector<float> weftTones = threadTones(noise, threads, 0.10f);

    QImage image(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size; ++x) {
            const int tx = x / thread;
            const int ty = y / thread;
            const float u = (float(x % thread) + 0.5f) / thread;
            const float v = (float(y % thread) + 0.5f) / thread;
            const bool warpOnTop = (tx + ty) % 2 == 0;
            float light;
            float tone;
            if (warpOnTop) {
                light = 0.55f + 0.45f * threadProfile(u) * (0.8f + 0.2f * threadProfile(v));
                tone = warpTones[size_t(tx)] + 0.12f * (noise.line(tx, float(y), 25) - 0.5f);
            } else {
                light = 0.55f + 0.45f * threadProfile(v) * (0.8f + 0.2f * threadProfile(u));
                tone = weftTones[size_t(ty)] + 0.12f * (noise.line(1000 + ty, float(x), 25) - 0.5f);
            }
            const float mottle = 0.10f * (noise.fractal(float(x), float(y), 3, 4) - 0.5f);
            const float grain = 0.06f * (noise.grain(x, y) - 0.5f);
            const float k = light * (1.0f + tone + mottle + grain);
            const float base = warpOnTop ? 56.0f : 47.0f;
            line[x] = rgb(base * k, base * k * 1.0f, base * k * 1.06f);
        }
    }
    return image;
}

QImage PatternArtwork::kindaJean()
{
    constexpr int size = 320;
    constexpr int thread = 2;
    constexpr int threads = size / thread; // a multiple of the twill's four-thread repeat
    TileableNoise noise(0xde0171, size);
    const std::vector<float> warpTones = threadTones(noise, threads, 0.11f);
    const std::vector<float> weftTones = threadTones(noise, threads, 0.10f);

    QImage image(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size; ++x) {
            const int tx = x / thread;
            const int ty = y / thread;
            const float u = (float(x % thread) + 0.5f) / thread;
            // Three-over-one twill: the blue warp floats over three weft threads, and the float
            // steps one thread sideways on every row, which draws the diagonal wale.
            const int phase = (tx + ty) % 4;
            // Faded and worn patches, as on washed denim, and uneven (slubby) warp yarn.
            const float wash = noise.fractal(float(x), float(y), 4, 4);
            const float slub = noise.line(tx, float(y), 40) - 0.5f;
            const float grain = noise.grain(x, y) - 0.5f;
            const float fade = 0.84f + 0.32f * wash;
            float k;
            float r;
            float g;
            float b;
            if (phase != 0) {
                // The float is shaded where it dips under the weft.
                const float dip = phase == 1 ? 0.88f : 1.0f;
                k = (0.78f + 0.22f * threadProfile(u)) * dip
                    * (1.0f + warpTones[size_t(tx)] + 0.28f * slub + 0.10f * grain) * fade;
                r = 40.0f;
                g = 68.0f;
                b = 114.0f;
            } else {
                // The pale weft between the floats, tinted by the indigo around it.
                k = (1.0f + weftTones[size_t(ty)] + 0.12f * grain) * fade;
                r = 92.0f;
                g = 112.0f;
                b = 146.0f;
            }
            line[x] = rgb(r * k, g * k, b * k);
        }
    }
    return image;
}

QImage PatternArtwork::lightPaperFibers()
{
    constexpr int size = 360;
    TileableNoise noise(0x9a9e5, size);

    QImage image(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size; ++x) {
            const float cloud = noise.fractal(float(x), float(y), 3, 5) - 0.5f;
            const float grain = noise.grain(x, y) - 0.5f;
            const float k = 1.0f + 0.04f * cloud + 0.03f * grain;
            line[x] = rgb(240.0f * k, 238.0f * k, 232.0f * k);
        }
    }

    // Fibers: short, gently curved strands, a few lighter than the paper and most a little
    // darker. Each is drawn at all nine wrapped positions so strands crossing an edge reappear
    // on the opposite one.
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    constexpr int fibers = 420;
    for (int i = 0; i < fibers; ++i) {
        const QPointF start(noise.next() * size, noise.next() * size);
        const float angle = noise.next() * 2.0f * pi;
        const float length = 6.0f + 26.0f * noise.next() * noise.next();
        const float bend = (noise.next() - 0.5f) * length * 0.8f;
        const QPointF direction(std::cos(angle), std::sin(angle));
        const QPointF normal(-direction.y(), direction.x());
        const QPointF end = start + direction * length;
        const QPointF control = (start + end) / 2 + normal * bend;
        QPainterPath fiber(start);
        fiber.quadTo(control, end);

        const bool light = noise.next() < 0.3f;
        const float strength = noise.next();
        const QColor color = light ? QColor(255, 255, 255, 70 + int(90 * strength))
                                   : QColor(120, 110, 95, 14 + int(30 * strength));
        painter.setPen(QPen(color, 0.5 + 0.8 * noise.next(), Qt::SolidLine, Qt::RoundCap));
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx)
                painter.drawPath(fiber.translated(dx * size, dy * size));
        }
    }
    painter.end();
    return image;
}

PatternArtwork::SeamScore PatternArtwork::seamScore(const QImage &tile)
{
    const QImage image = tile.convertToFormat(QImage::Format_RGB32);
    const int w = image.width();
    const int h = image.height();
    auto difference = [&](int x1, int y1, int x2, int y2) {
        const QRgb a = image.pixel(x1, y1);
        const QRgb b = image.pixel(x2, y2);
        return double(std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b))
                      + std::abs(qBlue(a) - qBlue(b)));
    };
    // Compares the jump across the wrap with the jumps across interior boundaries at the same
    // phase of any repeating weave (the tile's own period divides the size).
    double acrossSeam = 0;
    double inside = 0;
    int insideCount = 0;
    for (int y = 0; y < h; ++y) {
        acrossSeam += difference(w - 1, y, 0, y);
        for (int x = 1; x < w; ++x) {
            if (x % 12 == 0) {
                inside += difference(x - 1, y, x, y);
                ++insideCount;
            }
        }
    }
    const double horizontal = (acrossSeam / h) / (inside / std::max(1, insideCount));
    acrossSeam = 0;
    inside = 0;
    insideCount = 0;
    for (int x = 0; x < w; ++x) {
        acrossSeam += difference(x, h - 1, x, 0);
        for (int y = 1; y < h; ++y) {
            if (y % 12 == 0) {
                inside += difference(x, y - 1, x, y);
                ++insideCount;
            }
        }
    }
    const double vertical = (acrossSeam / w) / (inside / std::max(1, insideCount));
    qCDebug(lcPatternArtwork) << "seam score" << horizontal << vertical;
    return { horizontal, vertical };
}
