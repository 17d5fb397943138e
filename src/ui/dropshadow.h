#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>

class QPainter;
#include <QPainterPath>

// A soft shadow: the shape filled with a colour and blurred. Cards and popovers draw it under
// themselves, offset a little downwards.
class DropShadow
{
public:
    DropShadow(int blurRadius, const QColor &color, QPoint offset);

    // Draws the shadow of shape (in painter coordinates). The blurred image is kept until the
    // shape's size changes.
    void paint(QPainter *painter, const QPainterPath &shape);

private:
    int m_blurRadius;
    QColor m_color;
    QPoint m_offset;
    QImage m_image;
    QPainterPath m_imageShape;
    qreal m_imageRatio = 0;
};
