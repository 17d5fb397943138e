#include "samplepainter.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

std::vector<qreal> SamplePainter::ridge(int points, qreal roughness)
{
    // Midpoint displacement over a power-of-two span, values around 0.
    int span = 1;
    while (span < points - 1)
        span *= 2;
    std::vector<qreal> heights(size_t(span) + 1, 0.0);
    heights.front() = real(-0.5, 0.5);
    heights.back() = real(-0.5, 0.5);
    qreal amplitude = 1.0;
    for (int step = span; step > 1; step /= 2) {
        for (int i = 0; i < span; i += step) {
            const qreal middle = (heights[size_t(i)] + heights[size_t(i) + size_t(step)]) / 2;
            heights[size_t(i) + size_t(step / 2)] = middle + real(-amplitude, amplitude);
        }
        amplitude *= roughness;
    }
    return heights;
}

void SamplePainter::softEllipse(const QPointF &centre, qreal rx, qreal ry, const QColor &color)
{
    p.save();
    p.translate(centre);
    p.scale(1.0, ry / rx);
    QRadialGradient glow(QPointF(), rx);
    glow.setColorAt(0, color);
    glow.setColorAt(1, alpha(color, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(QPointF(), rx, rx);
    p.restore();
}

void SamplePainter::sky(const QColor &top, const QColor &horizon, qreal horizonY)
{
    QLinearGradient gradient(0, 0, 0, horizonY);
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, horizon);
    p.fillRect(QRectF(0, 0, w, horizonY + 1), gradient);
}

void SamplePainter::landscape()
{
    struct Palette
    {
        QColor top, horizon, sun, far, near, meadow, meadowNear;
    };
    static const std::array<Palette, 4> palettes{ {
        { "#3f7fc4", "#cfe3f1", "#fff8e0", "#8da9c4", "#41604c", "#6f9443", "#3c5a26" },
        { "#272b58", "#f2a469", "#ffd98a", "#7c5c7a", "#2f2a41", "#53404f", "#1e1a27" },
        { "#7ea6d6", "#f8d8bd", "#fff3e2", "#a8a3ba", "#5a6975", "#8d9367", "#4c5a3b" },
        { "#5c8fbf", "#e8eef2", "#ffffff", "#b7c6d4", "#6f8193", "#e9eef2", "#c5d0d8" },
    } };
    const Palette &c = pick(palettes);
    const qreal horizon = h * real(0.5, 0.62);
    sky(c.top, c.horizon, horizon);

    const QPointF sun(w * real(0.15, 0.85), horizon * real(0.3, 0.7));
    const qreal sunRadius = std::min(w, h) * real(0.035, 0.06);
    softEllipse(sun, sunRadius * 6, sunRadius * 6, alpha(c.sun, 110));
    p.setPen(Qt::NoPen);
    p.setBrush(c.sun);
    p.drawEllipse(sun, sunRadius, sunRadius);
    for (int i = int(real(2, 6)); i > 0; --i) {
        const QPointF at(w * real(0, 1), horizon * real(0.1, 0.6));
        const qreal size = w * real(0.06, 0.16);
        for (int puff = 0; puff < 5; ++puff)
            softEllipse(at + QPointF(size * real(-0.8, 0.8), size * real(-0.12, 0.12)), size * 0.6,
                        size * 0.22, QColor(255, 255, 255, 60));
    }

    for (int layer = 0; layer < 3; ++layer) {
        const qreal base = horizon - h * (0.05 + 0.07 * (2 - layer)) + h * 0.06;
        const qreal amplitude = h * (0.16 - 0.04 * layer);
        const std::vector<qreal> heights = ridge(65, 0.55);
        QPainterPath path(QPointF(0, h));
        for (size_t i = 0; i < heights.size(); ++i) {
            const qreal x = w * qreal(i) / qreal(heights.size() - 1);
            path.lineTo(x, base - amplitude * (0.6 + heights[i] * 0.8));
        }
        path.lineTo(w, h);
        path.closeSubpath();
        const QColor tone = mix(c.far, c.near, layer / 2.0);
        QLinearGradient haze(0, base - amplitude * 1.4, 0, horizon + h * 0.1);
        haze.setColorAt(0, tone);
        haze.setColorAt(1, mix(tone, c.horizon, 0.35 - 0.1 * layer));
        p.fillPath(path, haze);
    }

    const qreal groundTop = horizon + h * 0.06;
    if (chance(0.5)) {
        const qreal lakeBottom = groundTop + h * real(0.1, 0.16);
        QLinearGradient water(0, groundTop, 0, lakeBottom);
        water.setColorAt(0, mix(c.horizon, c.near, 0.3));
        water.setColorAt(1, mix(c.top, c.near, 0.5));
        p.fillRect(QRectF(0, groundTop, w, lakeBottom - groundTop), water);
        p.setPen(QPen(alpha(c.sun, 70), std::max(1.0, h / 500)));
        for (int i = 0; i < 14; ++i) {
            const qreal y = groundTop + (lakeBottom - groundTop) * real(0.05, 0.95);
            const qreal x = sun.x() + w * real(-0.12, 0.12);
            p.drawLine(QPointF(x, y), QPointF(x + w * real(0.02, 0.08), y));
        }
        p.setPen(Qt::NoPen);
        QLinearGradient meadow(0, lakeBottom, 0, h);
        meadow.setColorAt(0, c.meadow);
        meadow.setColorAt(1, c.meadowNear);
        QPainterPath shore(QPointF(0, h));
        const std::vector<qreal> bank = ridge(33, 0.5);
        for (size_t i = 0; i < bank.size(); ++i)
            shore.lineTo(w * qreal(i) / qreal(bank.size() - 1), lakeBottom + h * 0.015 * bank[i]);
        shore.lineTo(w, h);
        p.fillPath(shore, meadow);
    } else {
        QLinearGradient meadow(0, groundTop, 0, h);
        meadow.setColorAt(0, c.meadow);
        meadow.setColorAt(1, c.meadowNear);
        p.fillRect(QRectF(0, groundTop, w, h - groundTop), meadow);
    }

    // A stand of pines in the foreground.
    const QColor pine = mix(c.near, Qt::black, 0.35);
    const int trees = int(real(3, 10));
    const qreal clusterX = w * real(0.05, 0.7);
    for (int i = 0; i < trees; ++i) {
        const qreal x = clusterX + w * real(0, 0.3);
        const qreal bottom = h * real(0.88, 1.0);
        const qreal height = h * real(0.16, 0.3);
        const qreal width = height * 0.32;
        p.setBrush(pine);
        for (int tier = 0; tier < 4; ++tier) {
            const qreal top = bottom - height + tier * height * 0.2;
            const qreal spread = width * (0.45 + tier * 0.18);
            p.drawPolygon(QPolygonF{ QPointF(x, top), QPointF(x + spread, top + height * 0.35),
                                     QPointF(x - spread, top + height * 0.35) });
        }
        p.fillRect(QRectF(x - width * 0.05, bottom - height * 0.18, width * 0.1, height * 0.18),
                   mix(pine, Qt::black, 0.3));
    }
}

void SamplePainter::car(QPointF base, qreal length, const QColor &color)
{
    const qreal x0 = base.x() - length / 2;
    const qreal wheelR = length * 0.085;
    const qreal bodyBottom = base.y() - wheelR * 0.55;
    const qreal bodyTop = bodyBottom - length * 0.17;
    const qreal roof = bodyTop - length * 0.14;
    softEllipse(QPointF(base.x(), base.y()), length * 0.58, wheelR * 0.45, QColor(0, 0, 0, 150));

    QPainterPath cabin;
    cabin.moveTo(x0 + length * 0.2, bodyTop + 1);
    cabin.cubicTo(x0 + length * 0.27, roof + length * 0.02, x0 + length * 0.3, roof,
                  x0 + length * 0.38, roof);
    cabin.lineTo(x0 + length * 0.66, roof);
    cabin.cubicTo(x0 + length * 0.72, roof, x0 + length * 0.76, roof + length * 0.03,
                  x0 + length * 0.83, bodyTop + 1);
    cabin.closeSubpath();
    QPainterPath body;
    body.addRoundedRect(QRectF(x0, bodyTop, length, bodyBottom - bodyTop), length * 0.045,
                        length * 0.045);
    QLinearGradient paint(0, roof, 0, bodyBottom);
    paint.setColorAt(0, color.lighter(135));
    paint.setColorAt(0.55, color);
    paint.setColorAt(1, color.darker(160));
    p.fillPath(cabin.united(body), paint);

    QPainterPath glass;
    glass.moveTo(x0 + length * 0.25, bodyTop);
    glass.cubicTo(x0 + length * 0.3, roof + length * 0.03, x0 + length * 0.32, roof + length * 0.02,
                  x0 + length * 0.39, roof + length * 0.02);
    glass.lineTo(x0 + length * 0.65, roof + length * 0.02);
    glass.cubicTo(x0 + length * 0.7, roof + length * 0.02, x0 + length * 0.73, roof + length * 0.05,
                  x0 + length * 0.78, bodyTop);
    glass.closeSubpath();
    QLinearGradient sheen(0, roof, 0, bodyTop);
    sheen.setColorAt(0, QColor(190, 215, 235));
    sheen.setColorAt(1, QColor(50, 65, 80));
    p.fillPath(glass, sheen);
    p.fillRect(QRectF(x0 + length * 0.52, roof, length * 0.02, bodyTop - roof), color.darker(130));
    p.fillRect(QRectF(x0 + length * 0.03, bodyTop + length * 0.05, length * 0.94, length * 0.006),
               QColor(255, 255, 255, 70));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 244, 214));
    p.drawRoundedRect(
        QRectF(x0 + length * 0.935, bodyTop + length * 0.02, length * 0.06, length * 0.03),
        length * 0.01, length * 0.01);
    p.setBrush(QColor(190, 30, 30));
    p.drawRoundedRect(
        QRectF(x0 + length * 0.005, bodyTop + length * 0.02, length * 0.04, length * 0.03),
        length * 0.01, length * 0.01);
    for (qreal x : { x0 + length * 0.2, x0 + length * 0.8 }) {
        const QPointF hub(x, base.y() - wheelR);
        p.setBrush(QColor(25, 25, 25));
        p.drawEllipse(hub, wheelR * 1.1, wheelR * 1.1);
        p.setBrush(QColor(18, 18, 18));
        p.drawEllipse(hub, wheelR, wheelR);
        QRadialGradient rim(hub - QPointF(wheelR * 0.2, wheelR * 0.2), wheelR * 0.7);
        rim.setColorAt(0, QColor(235, 235, 235));
        rim.setColorAt(1, QColor(120, 120, 125));
        p.setBrush(rim);
        p.drawEllipse(hub, wheelR * 0.6, wheelR * 0.6);
    }
}

void SamplePainter::street()
{
    const bool evening = chance(0.35);
    const qreal kerb = h * real(0.56, 0.64);
    sky(evening ? QColor("#2b335e") : QColor("#6fa1d2"),
        evening ? QColor("#e79b6d") : QColor("#dfeaf2"), kerb);
    static const std::array<QColor, 6> facades{ QColor("#b9a58f"), QColor("#8f9aa3"),
                                                QColor("#c7b9a4"), QColor("#9c7b6b"),
                                                QColor("#d4cbbd"), QColor("#7f8a7c") };
    qreal x = -w * real(0, 0.1);
    p.setPen(Qt::NoPen);
    while (x < w) {
        const qreal bw = w * real(0.12, 0.26);
        const qreal top = kerb - h * real(0.2, 0.5);
        QColor facade = pick(facades);
        if (evening)
            facade = facade.darker(170);
        p.fillRect(QRectF(x, top, bw, kerb - top), facade);
        const qreal win = bw * 0.12;
        for (qreal wy = top + win; wy < kerb - win * 2; wy += win * 2) {
            for (qreal wx = x + win * 0.8; wx < x + bw - win * 1.5; wx += win * 2) {
                const QColor glass = evening
                    ? (chance(0.45) ? QColor(255, 214, 140) : QColor(40, 45, 60))
                    : QColor(120, 150, 175).lighter(int(real(90, 130)));
                p.fillRect(QRectF(wx, wy, win, win * 1.3), glass);
            }
        }
        x += bw + w * real(0, 0.02);
    }
    p.fillRect(QRectF(0, kerb, w, h * 0.06), QColor(168, 166, 160));
    p.fillRect(QRectF(0, kerb + h * 0.06, w, std::max(2.0, h * 0.008)), QColor(110, 108, 104));
    QLinearGradient asphalt(0, kerb + h * 0.06, 0, h);
    asphalt.setColorAt(0, QColor(85, 86, 90));
    asphalt.setColorAt(1, QColor(45, 46, 50));
    p.fillRect(QRectF(0, kerb + h * 0.068, w, h), asphalt);
    const qreal laneY = kerb + (h - kerb) * 0.82;
    for (qreal dash = -w * real(0, 0.1); dash < w; dash += w * 0.18)
        p.fillRect(QRectF(dash, laneY, w * 0.09, std::max(2.0, h * 0.01)), QColor(235, 230, 200));

    static const std::array<QColor, 6> paints{ QColor("#b3262e"), QColor("#1f4e8c"),
                                               QColor("#e4e4e4"), QColor("#26272b"),
                                               QColor("#8a9096"), QColor("#2f6b4f") };
    const qreal length = std::min(w * real(0.6, 0.75), h * 1.3);
    car(QPointF(w * real(0.45, 0.55), kerb + (h - kerb) * 0.62), length, pick(paints));
}

void SamplePainter::vignette()
{
    QRadialGradient edge(QPointF(w / 2, h / 2), std::hypot(w, h) / 2);
    edge.setColorAt(0.55, QColor(0, 0, 0, 0));
    edge.setColorAt(1, QColor(0, 0, 0, 90));
    p.fillRect(QRectF(0, 0, w, h), edge);
}
