#include "widgets/buttonbackground.h"

#include <QAbstractButton>
#include <QEvent>
#include <QLoggingCategory>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

Q_LOGGING_CATEGORY(lcButtonBackground, "listoro.widgets.buttonbackground", QtInfoMsg)

namespace {

// How much black is laid over the image while the button is held down.
constexpr int pressedShade = 90;

} // namespace

ButtonBackground::ButtonBackground(QAbstractButton *button)
    : QObject(button)
{
    button->installEventFilter(this);
}

ButtonBackground *ButtonBackground::find(const QAbstractButton *button)
{
    return button ? button->findChild<ButtonBackground *>(QString(), Qt::FindDirectChildrenOnly)
                  : nullptr;
}

void ButtonBackground::setBackgroundImage(QAbstractButton *button, const StretchableImage &image)
{
    if (!button)
        return;
    if (image.isNull()) {
        clearBackgroundImage(button);
        return;
    }
    ButtonBackground *background = find(button);
    if (!background)
        background = new ButtonBackground(button);
    background->m_image = image;
    qCDebug(lcButtonBackground) << "background" << image.size() << "for" << button;
    button->update();
}

void ButtonBackground::clearBackgroundImage(QAbstractButton *button)
{
    if (ButtonBackground *background = find(button)) {
        button->removeEventFilter(background);
        delete background;
        button->update();
    }
}

StretchableImage ButtonBackground::backgroundImage(const QAbstractButton *button)
{
    const ButtonBackground *background = find(button);
    return background ? background->m_image : StretchableImage();
}

bool ButtonBackground::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint && watched == parent()) {
        paint(static_cast<QAbstractButton *>(watched));
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void ButtonBackground::paint(QAbstractButton *button) const
{
    QPainter painter(button);
    const QRectF bounds = button->rect();
    if (button->isDown()) {
        const qreal ratio = button->devicePixelRatioF();
        QImage pressed((bounds.size() * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
        pressed.setDevicePixelRatio(ratio);
        pressed.fill(Qt::transparent);
        QPainter shade(&pressed);
        m_image.draw(shade, bounds);
        shade.setCompositionMode(QPainter::CompositionMode_SourceAtop);
        shade.fillRect(bounds, QColor(0, 0, 0, pressedShade));
        shade.end();
        painter.drawImage(QPointF(0, 0), pressed);
    } else {
        m_image.draw(painter, bounds);
    }

    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    option.state |= button->isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    if (button->isCheckable())
        option.state |= button->isChecked() ? QStyle::State_On : QStyle::State_Off;
    button->style()->drawControl(QStyle::CE_PushButtonLabel, &option, &painter, button);
}
