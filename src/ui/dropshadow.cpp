#include "ui/dropshadow.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <vector>

namespace {

// One box-blur pass over an 8-bit alpha image, along rows or along columns.
void boxBlur(QImage &image, int radius, bool alongRows)
{
    const int lines = alongRows ? image.height() : image.width();
    const int length = alongRows ? image.width() : image.height();
    const qsizetype stride = image.bytesPerLine();
    uchar *bits = image.bits();
    std::vector<uchar> line(size_t(length), 0);
    const int window = 2 * radius + 1;
    for (int l = 0; l < lines; ++l) {
        auto at = [&](int i) -> uchar & {
            return alongRows ? bits[l * stride + i] : bits[i * stride + l];
        };
        for (int i = 0; i < length; ++i)
            line[size_t(i)] = at(i);
        int sum = 0;
        for (int i = -radius; i <= radius; ++i)
            sum += (i >= 0 && i < length) ? line[size_t(i)] : 0;
        for (int i = 0; i < length; ++i) {
            at(i) = uchar(sum / window);
            const int out = i - radius;
            const int in = i + radius + 1;
            sum -= (out >= 0) ? line[size_t(out)] : 0;
            sum += (in < length) ? line[size_t(in)] : 0;
        }
    }
}

} // namespace

DropShadow::DropShadow(int blurRadius, const QColor &color, QPoint offset)
    : m_blurRadius(std::max(1, blurRadius))
    , m_color(color)
    , m_offset(offset)
{
}

void DropShadow::paint(QPainter *painter, const QPainterPath &shape)
{
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    const QRectF bounds = shape.boundingRect();
    const QPainterPath local = shape.translated(-bounds.topLeft());
    if (m_image.isNull() || m_imageShape != local || m_imageRatio != ratio) {
        const int margin = m_blurRadius * 2;
        const QSize size = (bounds.size().toSize() + QSize(2 * margin, 2 * margin)) * ratio;
        QImage alpha(size, QImage::Format_Alpha8);
        alpha.fill(0);
        {
            QPainter p(&alpha);
            p.setRenderHint(QPainter::Antialiasing);
            p.scale(ratio, ratio);
            p.translate(margin, margin);
            p.fillPath(local, Qt::black);
        }
        // Three box passes come close to a gaussian blur.
        const int passRadius = std::max(1, int(m_blurRadius * ratio / 2));
        for (int pass = 0; pass < 3; ++pass) {
            boxBlur(alpha, passRadius, true);
            boxBlur(alpha, passRadius, false);
        }
        m_image = QImage(size, QImage::Format_ARGB32_Premultiplied);
        m_image.fill(m_color);
        QPainter p(&m_image);
        p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        p.drawImage(0, 0, alpha);
        p.end();
        m_image.setDevicePixelRatio(ratio);
        m_imageShape = local;
        m_imageRatio = ratio;
    }
    const int margin = m_blurRadius * 2;
    painter->drawImage(bounds.topLeft() + QPointF(m_offset) - QPointF(margin, margin), m_image);
}
