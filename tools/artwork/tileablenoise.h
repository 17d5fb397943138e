#pragma once

#include <cstdint>
#include <vector>

// Seeded noise that wraps around a square tile, so images built from it tile without seams.
// Everything is derived from the seed with integer hashing and std::mt19937 (whose output the
// C++ standard fixes), so the same seed draws the same pictures on every machine.
class TileableNoise
{
public:
    TileableNoise(std::uint32_t seed, int tileSize);

    // Smooth value noise in [0, 1] with `cells` lattice cells across the tile.
    float value(float x, float y, int cells) const;
    // Sum of octaves from `cells` cells upwards, each octave doubling the cells and halving the
    // weight; normalised to [0, 1].
    float fractal(float x, float y, int cells, int octaves) const;
    // Uncorrelated noise in [0, 1] for a pixel (or any integer pair), wrapped to the tile.
    float grain(int x, int y) const;
    // Smooth noise in [0, 1] along one wrapped axis, for variation along a thread.
    float line(int index, float position, int cells) const;

    // A uniform number in [0, 1) from the noise's own random sequence.
    float next();

private:
    float lattice(int x, int y, int cells, int layer) const;
    std::uint32_t hash(std::uint32_t a, std::uint32_t b, std::uint32_t c) const;

    std::uint32_t m_seed;
    int m_tileSize;
    std::vector<std::uint32_t> m_sequence;
    std::size_t m_position = 0;
};
