#include "buttonartwork.h"

#include <QLinearGradient>
#include <QLoggingCategory>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

Q_LOGGING_CATEGORY(lcButtonArtwork, "listoro.artwork.buttons", QtInfoMsg)

namespace {

constexpr qreal grid = 32; // design units across the button
constexpr QPointF centre(16, 15.5);
constexpr qreal radius = 13.5;

QPainterPath symbolPath(ButtonArtwork::Symbol symbol)
{
    // Bars on whole design units so they stay crisp at 32 and 64 pixels.
    QPainterPath path;
    const QRectF across(8, 13.5, 16, 4);
    path.addRoundedRect(across, 1.2, 1.2);
    if (symbol == ButtonArtwork::Symbol::Plus) {
        QPainterPath upright;
        upright.addRoundedRect(QRectF(14, 7.5, 4, 16), 1.2, 1.2);
        path = path.united(upright);
    }
    return path;
}

} // namespace

QImage ButtonArtwork::addButton(int pixels)
{
    return roundButton(pixels, QColor(58, 168, 72), Symbol::Plus);
}

QImage ButtonArtwork::deleteButton(int pixels)
{
    return roundButton(pixels, QColor(214, 52, 56), Symbol::Minus);
}

QImage ButtonArtwork::roundButton(int pixels, const QColor &base, Symbol symbol)
{
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    painter.scale(pixels / grid, pixels / grid);
    painter.setPen(Qt::NoPen);

    // Soft shadow beneath, a little lower than the body.
    QRadialGradient shadow(centre + QPointF(0, 1.2), radius + 2.2);
    shadow.setColorAt(0.0, QColor(0, 0, 0, 110));
    shadow.setColorAt(radius / (radius + 2.2) - 0.02, QColor(0, 0, 0, 95));
    shadow.setColorAt(1.0, QColor(0, 0, 0, 0));
    painter.setBrush(shadow);
    painter.drawEllipse(centre + QPointF(0, 1.2), radius + 2.2, radius + 2.2);

    // The body: lit from above.
    QLinearGradient body(0, centre.y() - radius, 0, centre.y() + radius);
    body.setColorAt(0.0, base.lighter(135));
    body.setColorAt(0.55, base);
    body.setColorAt(1.0, base.darker(135));
    painter.setBrush(body);
    painter.drawEllipse(centre, radius, radius);

    // Rim: darker edge, with a faint light line just inside it.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(base.darker(175), 0.9));
    painter.drawEllipse(centre, radius - 0.45, radius - 0.45);
    painter.setPen(QPen(QColor(255, 255, 255, 60), 0.7));
    painter.drawEllipse(centre, radius - 1.4, radius - 1.4);
    painter.setPen(Qt::NoPen);

    // Gloss over the upper half.
    QPainterPath bodyPath;
    bodyPath.addEllipse(centre, radius - 1, radius - 1);
    QPainterPath glossPath;
    glossPath.addEllipse(QPointF(centre.x(), centre.y() - 6.2), radius - 3.2, 7.6);
    QLinearGradient gloss(0, centre.y() - radius, 0, centre.y() + 1);
    gloss.setColorAt(0.0, QColor(255, 255, 255, 150));
    gloss.setColorAt(1.0, QColor(255, 255, 255, 12));
    painter.setBrush(gloss);
    painter.drawPath(glossPath.intersected(bodyPath));

    // The symbol, white, with a slight engraved shadow.
    const QPainterPath mark = symbolPath(symbol);
    painter.setBrush(QColor(0, 0, 0, 70));
    painter.drawPath(mark.translated(0, 0.8));
    painter.setBrush(Qt::white);
    painter.drawPath(mark);
    painter.end();

    qCDebug(lcButtonArtwork) << "button" << pixels << base;
    return image;
}
