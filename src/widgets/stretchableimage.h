#pragma once

#include <QImage>

class QPainter;
class QRectF;

// An image that stretches to any size while keeping its caps: the left cap and everything right
// of the one-point column after it keep their width, and that column is repeated to fill the
// middle; likewise vertically with the top cap. A cap of 0 scales the image as a whole along that
// axis. Caps are in points, the image's device-independent size.
class StretchableImage
{
public:
    StretchableImage() = default;
    StretchableImage(const QImage &image, int leftCapWidth, int topCapHeight);

    static StretchableImage stretchableImageWithLeftCapWidth(const QImage &image, int leftCapWidth,
                                                             int topCapHeight)
    {
        return { image, leftCapWidth, topCapHeight };
    }

    bool isNull() const { return m_image.isNull(); }
    QImage image() const { return m_image; }
    int leftCapWidth() const { return m_leftCapWidth; }
    int topCapHeight() const { return m_topCapHeight; }
    // The image's size in points.
    QSizeF size() const;

    void draw(QPainter &painter, const QRectF &target) const;

    // Same pixels and caps.
    bool operator==(const StretchableImage &other) const;

private:
    QImage m_image;
    int m_leftCapWidth = 0;
    int m_topCapHeight = 0;
};
