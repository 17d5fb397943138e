#include "widgets/stretchableimage.h"

#include <QLoggingCategory>
#include <QPainter>

#include <algorithm>
#include <array>

Q_LOGGING_CATEGORY(lcStretchableImage, "listoro.widgets.stretchableimage", QtInfoMsg)

namespace {

// One stretch of an axis: where it comes from in the image and where it goes in the target,
// both in points.
struct Span
{
    qreal sourceStart;
    qreal sourceLength;
    qreal targetStart;
    qreal targetLength;
};

// Splits an axis of the given image length into at most three spans for a target length.
// Returns how many spans are used.
int splitAxis(qreal imageLength, int cap, qreal targetStart, qreal targetLength,
              std::array<Span, 3> &spans)
{
    if (cap <= 0 || imageLength <= 1) {
        spans[0] = { 0, imageLength, targetStart, targetLength };
        return 1;
    }
    const qreal first = std::min<qreal>(cap, imageLength - 1);
    const qreal last = imageLength - first - 1;
    qreal shrink = 1.0;
    qreal middle = targetLength - first - last;
    if (middle < 0) {
        // Too small even for the caps: they share the space in proportion, no middle.
        shrink = (first + last) > 0 ? targetLength / (first + last) : 0;
        middle = 0;
    }
    spans[0] = { 0, first, targetStart, first * shrink };
    spans[1] = { first, 1, targetStart + first * shrink, middle };
    spans[2] = { first + 1, last, targetStart + first * shrink + middle, last * shrink };
    return 3;
}

} // namespace

StretchableImage::StretchableImage(const QImage &image, int leftCapWidth, int topCapHeight)
    : m_image(image)
    , m_leftCapWidth(std::max(0, leftCapWidth))
    , m_topCapHeight(std::max(0, topCapHeight))
{
    if (leftCapWidth < 0 || topCapHeight < 0)
        qCWarning(lcStretchableImage)
            << "negative cap" << leftCapWidth << topCapHeight << "taken as 0";
}

QSizeF StretchableImage::size() const
{
    return m_image.deviceIndependentSize();
}

bool StretchableImage::operator==(const StretchableImage &other) const
{
    return m_leftCapWidth == other.m_leftCapWidth && m_topCapHeight == other.m_topCapHeight
        && m_image == other.m_image;
}

void StretchableImage::draw(QPainter &painter, const QRectF &target) const
{
    if (m_image.isNull() || target.isEmpty())
        return;
    const QSizeF points = size();
    const qreal ratio = m_image.devicePixelRatio();
    std::array<Span, 3> columns{};
    std::array<Span, 3> rows{};
    const int columnCount
        = splitAxis(points.width(), m_leftCapWidth, target.left(), target.width(), columns);
    const int rowCount
        = splitAxis(points.height(), m_topCapHeight, target.top(), target.height(), rows);

    painter.save();
    for (int r = 0; r < rowCount; ++r) {
        for (int c = 0; c < columnCount; ++c) {
            const Span &col = columns[size_t(c)];
            const Span &row = rows[size_t(r)];
            if (col.targetLength <= 0 || row.targetLength <= 0 || col.sourceLength <= 0
                || row.sourceLength <= 0)
                continue;
            const QRectF source(col.sourceStart * ratio, row.sourceStart * ratio,
                                col.sourceLength * ratio, row.sourceLength * ratio);
            const QRectF destination(col.targetStart, row.targetStart, col.targetLength,
                                     row.targetLength);
            // A repeated one-point column or row must not pick up its neighbours' colours, so
            // only pieces that are genuinely resampled are filtered.
            const bool repeated = (columnCount == 3 && c == 1) || (rowCount == 3 && r == 1);
            const bool scaled = !qFuzzyCompare(col.sourceLength, col.targetLength)
                || !qFuzzyCompare(row.sourceLength, row.targetLength);
            painter.setRenderHint(QPainter::SmoothPixmapTransform, scaled && !repeated);
            painter.drawImage(destination, m_image, source);
        }
    }
    painter.restore();
}
