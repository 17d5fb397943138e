#include "tileablenoise.h"

#include <QLoggingCategory>

#include <cmath>
#include <random>

Q_LOGGING_CATEGORY(lcTileableNoise, "listoro.artwork.noise", QtInfoMsg)

namespace {

float smooth(float t)
{
    return t * t * (3.0f - 2.0f * t);
}

int wrap(int value, int period)
{
    const int r = value % period;
    return r < 0 ? r + period : r;
}

} // namespace

TileableNoise::TileableNoise(std::uint32_t seed, int tileSize)
    : m_seed(seed)
    , m_tileSize(tileSize)
{
    std::mt19937 engine(seed);
    m_sequence.resize(1 << 16);
    for (auto &v : m_sequence)
        v = engine();
    qCDebug(lcTileableNoise) << "noise seed" << seed << "tile" << tileSize;
}

float TileableNoise::next()
{
    const std::uint32_t v = m_sequence[m_position++ % m_sequence.size()];
    return float(v >> 8) / float(1u << 24);
}

std::uint32_t TileableNoise::hash(std::uint32_t a, std::uint32_t b, std::uint32_t c) const
{
    // A few rounds of a well-mixing integer hash (after "lowbias32").
    std::uint32_t h = m_seed ^ (a * 0x9E3779B1u) ^ (b * 0x85EBCA77u) ^ (c * 0xC2B2AE3Du);
    for (int i = 0; i < 2; ++i) {
        h ^= h >> 16;
        h *= 0x7FEB352Du;
        h ^= h >> 15;
        h *= 0x846CA68Bu;
        h ^= h >> 16;
    }
    return h;
}

float TileableNoise::lattice(int x, int y, int cells, int layer) const
{
    return float(hash(std::uint32_t(wrap(x, cells)), std::uint32_t(wrap(y, cells)),
                      std::uint32_t(layer * 7919 + cells))
                 >> 8)
        / float(1u << 24);
}

float TileableNoise::value(float x, float y, int cells) const
{
    const float scale = float(cells) / float(m_tileSize);
    const float fx = x * scale;
    const float fy = y * scale;
    const int x0 = int(std::floor(fx));
    const int y0 = int(std::floor(fy));
    const float tx = smooth(fx - float(x0));
    const float ty = smooth(fy - float(y0));
    const float a = lattice(x0, y0, cells, 0);
    const float b = lattice(x0 + 1, y0, cells, 0);
    const float c = lattice(x0, y0 + 1, cells, 0);
    const float d = lattice(x0 + 1, y0 + 1, cells, 0);
    const float top = a + (b - a) * tx;
    const float bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

float TileableNoise::fractal(float x, float y, int cells, int octaves) const
{
    float sum = 0;
    float weight = 1;
    float total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += weight * value(x, y, cells << i);
        total += weight;
        weight *= 0.5f;
    }
    return total > 0 ? sum / total : 0.0f;
}

float TileableNoise::grain(int x, int y) const
{
    return float(
               hash(std::uint32_t(wrap(x, m_tileSize)), std::uint32_t(wrap(y, m_tileSize)), 0xA5A5u)
               >> 8)
        / float(1u << 24);
}

float TileableNoise::line(int index, float position, int cells) const
{
    const float f = position * float(cells) / float(m_tileSize);
    const int p0 = int(std::floor(f));
    const float t = smooth(f - float(p0));
    auto at = [&](int p) {
        return float(hash(std::uint32_t(index), std::uint32_t(wrap(p, cells)),
                          std::uint32_t(0x5EEDu + cells))
                     >> 8)
            / float(1u << 24);
    };
    const float a = at(p0);
    const float b = at(p0 + 1);
    return a + (b - a) * t;
}
