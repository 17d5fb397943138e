#pragma once

#include <QMetaType>

// A width and height in points as two 32-bit floats: the size of a photo or a tile.
struct FloatSize
{
    float width = 0.0f;
    float height = 0.0f;

    bool isZero() const { return width == 0.0f && height == 0.0f; }
    bool hasZeroSide() const { return width == 0.0f || height == 0.0f; }
    friend bool operator==(const FloatSize &, const FloatSize &) = default;
};

Q_DECLARE_METATYPE(FloatSize)
