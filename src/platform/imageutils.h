#pragma once

#include "platform/floatsize.h"

#include <QImage>

// How large a photo is drawn, and a copy of it at exactly that size.
class ImageUtils
{
public:
    // Shrinks size into box keeping its aspect ratio (32-bit float arithmetic, no rounding);
    // a size that fits is returned unchanged, never enlarged.
    static FloatSize fitSize(FloatSize size, FloatSize box);

    // The whole image stretched to exactly size points, at the display's scale factor.
    // A null image, or a size with a side below one pixel, gives a null image.
    static QImage imageWithImage(const QImage &image, FloatSize size);

    // The scale factor imageWithImage draws at: the primary screen's, or 1 without a screen.
    static qreal displayScaleFactor();
};
