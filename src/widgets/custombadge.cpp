#include "widgets/custombadge.h"

#include "platform/imageutils.h"
#include "widgets/systemfont.h"

#include <QFontMetricsF>
#include <QImage>
#include <QLineF>
#include <QLinearGradient>
#include <QLoggingCategory>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

Q_LOGGING_CATEGORY(lcCustomBadge, "listoro.widgets.custombadge", QtInfoMsg)

namespace {

// Angles of the capsule's arcs, in single precision.
constexpr float halfPi = 1.5707964f;
constexpr float pi = 3.1415927f;
constexpr float threeHalfPi = 4.712389f;
constexpr float twoPi = 6.2831855f;

constexpr QPointF shadowOffset(1, 1);
constexpr qreal shadowBlur = 3;

// Adds an arc as a y-down drawing context does for a "counter-clockwise" arc: the angle grows
// from +x towards +y (clockwise on screen) from startAngle round to endAngle. A line joins the
// previous point unless the arc starts there. The curves are built here rather than with
// QPainterPath::arcTo, whose degree-based angles leave slivers of zero-length curves and lines
// between the quarter arcs that upset the stroker's joins on small badges.
void addArc(QPainterPath &path, QPointF centre, float radius, float startAngle, float endAngle)
{
    double sweep = double(endAngle) - double(startAngle);
    if (sweep < 0)
        sweep += double(twoPi);
    const double r = std::max(0.0f, radius);
    auto point = [&](double angle) {
        return QPointF(centre.x() + r * std::cos(angle), centre.y() + r * std::sin(angle));
    };
    const QPointF start = point(startAngle);
    if (path.elementCount() == 0)
        path.moveTo(start);
    else if (QLineF(path.currentPosition(), start).length() > 1e-4)
        path.lineTo(start);
    if (r == 0)
        return;

    // At most a quarter turn per cubic keeps the curve within a hair of the circle.
    const int pieces = std::max(1, int(std::ceil(sweep / (std::numbers::pi / 2) - 1e-6)));
    const double step = sweep / pieces;
    const double handle = 4.0 / 3.0 * std::tan(step / 4) * r;
    const QPointF first(path.elementAt(0).x, path.elementAt(0).y);
    double angle = startAngle;
    for (int i = 0; i < pieces; ++i) {
        const double next = angle + step;
        const QPointF from = point(angle);
        QPointF to = point(next);
        // Ending exactly on the first point lets closing the path add no zero-length line.
        if (QLineF(to, first).length() < 1e-4)
            to = first;
        path.cubicTo(from + handle * QPointF(-std::sin(angle), std::cos(angle)),
                     to - handle * QPointF(-std::sin(next), std::cos(next)), to);
        angle = next;
    }
}

// Separable Gaussian blur of a premultiplied image; pixels beyond its edges count as clear.
void gaussianBlur(QImage &image, qreal sigma)
{
    if (sigma <= 0 || image.isNull())
        return;
    const int radius = qCeil(sigma * 3);
    std::vector<float> kernel(size_t(2 * radius + 1));
    float sum = 0;
    for (int i = -radius; i <= radius; ++i) {
        kernel[size_t(i) + size_t(radius)] = float(std::exp(-(i * i) / (2 * sigma * sigma)));
        sum += kernel[size_t(i) + size_t(radius)];
    }
    for (float &k : kernel)
        k /= sum;

    const int w = image.width();
    const int h = image.height();
    std::vector<float> rows(size_t(w) * size_t(h) * 4, 0.0f);
    auto at = [&](int x, int y) {
        return (size_t(y) * size_t(w) + size_t(x)) * 4;
    };

    for (int y = 0; y < h; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            float acc[4] = { 0, 0, 0, 0 };
            for (int k = -radius; k <= radius; ++k) {
                const int sx = x + k;
                if (sx < 0 || sx >= w)
                    continue;
                const QRgb p = line[sx];
                const float weight = kernel[size_t(k) + size_t(radius)];
                acc[0] += weight * float(qAlpha(p));
                acc[1] += weight * float(qRed(p));
                acc[2] += weight * float(qGreen(p));
                acc[3] += weight * float(qBlue(p));
            }
            std::copy(acc, acc + 4, rows.begin() + std::ptrdiff_t(at(x, y)));
        }
    }
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            float acc[4] = { 0, 0, 0, 0 };
            for (int k = -radius; k <= radius; ++k) {
                const int sy = y + k;
                if (sy < 0 || sy >= h)
                    continue;
                const float weight = kernel[size_t(k) + size_t(radius)];
                for (int c = 0; c < 4; ++c)
                    acc[c] += weight * rows[at(x, sy) + size_t(c)];
            }
            auto channel = [](float v) {
                return qBound(0, qRound(v), 255);
            };
            line[x] = qRgba(channel(acc[1]), channel(acc[2]), channel(acc[3]), channel(acc[0]));
        }
    }
}

} // namespace

CustomBadge::CustomBadge(const QString &badgeString, float scale, bool shining, QWidget *parent)
    : CustomBadge(badgeString, Qt::white, Qt::red, true, Qt::white, scale, shining, parent)
{
}

CustomBadge::CustomBadge(const QString &badgeString, const QColor &stringColor,
                         const QColor &insetColor, bool badgeFrameYesNo, const QColor &frameColor,
                         float scale, bool shining, QWidget *parent)
    : QWidget(parent)
    , m_badgeText(badgeString)
    , m_badgeTextColor(stringColor)
    , m_badgeInsetColor(insetColor)
    , m_badgeFrame(badgeFrameYesNo)
    , m_badgeFrameColor(frameColor)
    , m_badgeShining(shining)
    , m_badgeCornerRoundness(0.4f)
    , m_badgeScaleFactor(scale)
    , m_contentScaleFactor(ImageUtils::displayScaleFactor())
{
    setGeometry(0, 0, 25, 25);
    setAttribute(Qt::WA_TranslucentBackground);
    autoBadgeSizeWithString(badgeString);
}

CustomBadge *CustomBadge::customBadgeWithString(const QString &badgeString, QWidget *parent)
{
    return new CustomBadge(badgeString, 1.0f, true, parent);
}

CustomBadge *CustomBadge::customBadgeWithString(const QString &badgeString,
                                                const QColor &stringColor, const QColor &insetColor,
                                                bool badgeFrameYesNo, const QColor &frameColor,
                                                float scale, bool shining, QWidget *parent)
{
    return new CustomBadge(badgeString, stringColor, insetColor, badgeFrameYesNo, frameColor, scale,
                           shining, parent);
}

QSizeF CustomBadge::sizeWithFont(const QString &text, const QFont &font, const QPaintDevice *device)
{
    if (text.isNull())
        return { 0, 0 };
    const QFontMetricsF metrics(font, device);
    return { std::ceil(metrics.horizontalAdvance(text)), std::ceil(metrics.height()) };
}

void CustomBadge::autoBadgeSizeWithString(const QString &badgeString)
{
    const float scale = m_badgeScaleFactor;
    const QSizeF measured
        = sizeWithFont(badgeString, SystemFont::boldSystemFontOfSize(12, this), this);
    const qsizetype length = badgeString.size();
    float width = 25.0f * scale;
    const float height = 25.0f * scale;
    if (length >= 2)
        width = (float(measured.width()) + float(length) + 25.0f) * scale;

    resize(qCeil(width), qCeil(height));
    m_badgeText = badgeString;
    qCDebug(lcCustomBadge) << "badge" << badgeString << "sized" << size();
    update();
}

QPainterPath CustomBadge::capsulePath(const QRectF &rect) const
{
    const float maxX = float(rect.right());
    const float maxY = float(rect.bottom());
    const float minX = float(rect.left());
    const float minY = float(rect.top());
    const float radius = maxY * m_badgeCornerRoundness;
    const float puffer = float(double(maxY) * 0.1);

    QPainterPath path;
    addArc(path, { maxX - puffer - radius, minY + puffer + radius }, radius, threeHalfPi, 0);
    addArc(path, { maxX - puffer - radius, maxY - puffer - radius }, radius, 0, halfPi);
    addArc(path, { minX + puffer + radius, maxY - puffer - radius }, radius, halfPi, pi);
    addArc(path, { minX + puffer + radius, minY + puffer + radius }, radius, pi, threeHalfPi);
    return path;
}

void CustomBadge::drawRoundedRectWithContext(QPainter &context, const QRectF &rect) const
{
    context.save();
    const QPainterPath path = capsulePath(rect);

    // The shadow: the capsule's coverage in black, blurred, drawn offset beneath the body.
    // Blur in points is taken as twice the Gaussian's standard deviation.
    const qreal sigma = shadowBlur / 2.0;
    const qreal margin = std::ceil(sigma * 3) + 1;
    const QRectF area = path.boundingRect().adjusted(-margin, -margin, margin, margin);
    const qreal scale = m_contentScaleFactor > 0 ? m_contentScaleFactor : 1.0;
    const QSize pixels(qCeil(area.width() * scale), qCeil(area.height() * scale));
    if (!pixels.isEmpty()) {
        QImage shadow(pixels, QImage::Format_ARGB32_Premultiplied);
        shadow.setDevicePixelRatio(scale);
        shadow.fill(Qt::transparent);
        {
            QPainter shape(&shadow);
            shape.setRenderHint(QPainter::Antialiasing);
            shape.translate(-area.topLeft());
            shape.fillPath(path, QColor::fromRgbF(0, 0, 0, m_badgeInsetColor.alphaF()));
        }
        gaussianBlur(shadow, sigma * scale);
        context.drawImage(area.topLeft() + shadowOffset, shadow);
    }

    context.fillPath(path, m_badgeInsetColor);
    context.restore();
}

void CustomBadge::drawShineWithContext(QPainter &context, const QRectF &rect) const
{
    const float maxY = float(rect.bottom());
    const qreal end = maxY - float(double(maxY) * 0.1);
    if (end <= 0)
        return;
    context.save();
    const QPainterPath path = capsulePath(rect);
    context.setClipPath(path, Qt::IntersectClip);

    QLinearGradient gloss(QPointF(0, 0), QPointF(0, end));
    gloss.setColorAt(0.0, QColor::fromRgbF(0.92f, 0.92f, 0.92f, 1.0f));
    gloss.setColorAt(0.4, QColor::fromRgbF(0.82f, 0.82f, 0.82f, 0.4f));
    // The gradient does not extend past its ends: nothing above y = 0 or below its end point.
    const QRectF bounds = path.boundingRect();
    context.fillRect(QRectF(bounds.left(), 0, bounds.width(), end), gloss);
    context.restore();
}

void CustomBadge::drawFrameWithContext(QPainter &context, const QRectF &rect) const
{
    const float lineWidth = m_badgeScaleFactor > 1.0f ? 2.0f + 0.25f * m_badgeScaleFactor : 2.0f;
    QPen pen(m_badgeFrameColor, lineWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    context.setPen(pen);
    context.setBrush(Qt::NoBrush);
    QPainterPath path = capsulePath(rect);
    path.closeSubpath();
    context.drawPath(path);
}

void CustomBadge::drawText(QPainter &context, const QRectF &rect) const
{
    const qsizetype length = m_badgeText.size();
    if (length < 1)
        return;
    double size = 13.5f * m_badgeScaleFactor;
    if (length < 2)
        size += size * 0.2;
    const QFont font = SystemFont::boldSystemFontOfSize(size, context.device());
    const QSizeF textSize = sizeWithFont(m_badgeText, font, context.device());
    const QFontMetricsF metrics(font, context.device());

    // The point is the top left of the text's line; Qt draws from the baseline.
    const QPointF topLeft(rect.width() / 2 - textSize.width() / 2,
                          rect.height() / 2 - textSize.height() / 2);
    context.setPen(m_badgeTextColor);
    context.setFont(font);
    context.drawText(topLeft + QPointF(0, metrics.ascent()), m_badgeText);
}

void CustomBadge::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    // Always the whole badge: the capsule's geometry depends on the full bounds, not on the
    // part that needs repainting.
    const QRectF bounds = rect();
    drawRoundedRectWithContext(painter, bounds);
    if (m_badgeShining)
        drawShineWithContext(painter, bounds);
    if (m_badgeFrame)
        drawFrameWithContext(painter, bounds);
    drawText(painter, bounds);
}
