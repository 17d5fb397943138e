#include "grid/favoritebutton.h"

#include <QLoggingCategory>
#include <QPainter>

Q_LOGGING_CATEGORY(lcFavoriteButton, "listoro.grid.favoritebutton", QtInfoMsg)

namespace {

const QColor hoverTint(255, 255, 255, 70);
const QColor pressTint(0, 0, 0, 55);

} // namespace

FavoriteButton::FavoriteButton(QWidget *parent)
    : QAbstractButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setIconSize(QSize(32, 32));
}

FavoriteButton::~FavoriteButton() = default;

QSize FavoriteButton::sizeHint() const
{
    return iconSize();
}

void FavoriteButton::enterEvent(QEnterEvent *event)
{
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void FavoriteButton::leaveEvent(QEvent *event)
{
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void FavoriteButton::paintEvent(QPaintEvent *)
{
    const QSize size = iconSize().boundedTo(this->size());
    const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
    QPixmap pixmap = icon().pixmap(size, devicePixelRatioF(), mode);
    if (pixmap.isNull()) {
        qCDebug(lcFavoriteButton) << "no icon to draw";
        return;
    }
    const bool pressed = isDown();
    if (isEnabled() && (pressed || m_hovered)) {
        // Tinted through the icon's own shape, so only the round button changes.
        QPainter tint(&pixmap);
        tint.setCompositionMode(QPainter::CompositionMode_SourceAtop);
        tint.fillRect(QRect(QPoint(), pixmap.size()), pressed ? pressTint : hoverTint);
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSizeF drawn = pixmap.deviceIndependentSize();
    const QPointF at((width() - drawn.width()) / 2, (height() - drawn.height()) / 2);
    painter.drawPixmap(QRectF(at, drawn), pixmap, QRectF(pixmap.rect()));
}
