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

    // The codec of cached photos. Images larger than this are refused: they could only come
    // from a broken or hostile file and would exhaust memory.
    static constexpr qint64 maxImagePixels = 60'000'000;
    static bool isDecodableSize(QSize size);
    // The image in bytes or a file, turned as its orientation says; null when it is no image or
    // too large.
    static QImage decodeImage(const QByteArray &bytes);
    static QImage decodeImageFile(const QString &path);
    // JPEG at quality 100, transparency laid on white; empty when it cannot be encoded.
    static QByteArray encodeJpeg(const QImage &image);
};
