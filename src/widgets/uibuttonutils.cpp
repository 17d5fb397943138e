#include "widgets/uibuttonutils.h"

#include "widgets/buttonbackground.h"
#include "widgets/stretchableimage.h"

#include <QAbstractButton>
#include <QImage>
#include <QLoggingCategory>
#include <QPalette>

#include <algorithm>

Q_LOGGING_CATEGORY(lcButtonUtils, "listoro.widgets.buttonutils", QtInfoMsg)

namespace {

// Just under 256, so that 255 maps to a component just under 1.
constexpr float componentDivisor = 255.9999f;
constexpr int leftCapWidth = 12;
constexpr int topCapHeight = 0;

float component(float value, float divisor)
{
    return std::clamp(value / divisor, 0.0f, 1.0f);
}

} // namespace

void UIButtonUtils::setColorOfButtons(const QList<QAbstractButton *> &buttons, float red,
                                      float green, float blue, float alpha)
{
    QList<QAbstractButton *> targets = buttons;
    targets.removeAll(nullptr);
    if (targets.size() != buttons.size())
        qCWarning(lcButtonUtils) << "ignoring" << buttons.size() - targets.size() << "null buttons";
    if (targets.isEmpty())
        return;

    QAbstractButton *first = targets.constFirst();
    if (first->size().isEmpty()) {
        qCWarning(lcButtonUtils) << "cannot draw" << first << "of size" << first->size()
                                 << "- buttons left as they are";
        return;
    }

    const QColor tint
        = QColor::fromRgbF(component(red, componentDivisor), component(green, componentDivisor),
                           component(blue, componentDivisor), component(alpha, 1.0f));
    QPalette palette = first->palette();
    palette.setColor(QPalette::Button, tint);
    first->setPalette(palette);
    ButtonBackground::clearBackgroundImage(first);

    const bool wasDown = first->isDown();
    const QString title = first->text();
    first->setText(QString());
    first->setDown(true);

    const qreal ratio = first->devicePixelRatioF();
    QImage picture((QSizeF(first->size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    first->render(&picture, QPoint(), QRegion(), QWidget::DrawChildren);

    first->setDown(wasDown);
    first->setText(title);

    const StretchableImage background(picture, leftCapWidth, topCapHeight);
    for (QAbstractButton *button : std::as_const(targets))
        ButtonBackground::setBackgroundImage(button, background);
    qCDebug(lcButtonUtils) << "coloured" << targets.size() << "buttons" << tint;
}
