#include "widgets/viewalpha.h"

#include <QGraphicsOpacityEffect>
#include <QWidget>

#include <algorithm>

void setViewAlpha(QWidget *view, double alpha)
{
    if (!view)
        return;
    alpha = std::clamp(alpha, 0.0, 1.0);
    auto *effect = qobject_cast<QGraphicsOpacityEffect *>(view->graphicsEffect());
    if (alpha >= 1.0) {
        // A fully opaque view draws straight, without the effect's offscreen pass.
        if (effect)
            view->setGraphicsEffect(nullptr);
        return;
    }
    if (!effect) {
        effect = new QGraphicsOpacityEffect(view);
        view->setGraphicsEffect(effect);
    }
    effect->setOpacity(alpha);
}

double viewAlpha(const QWidget *view)
{
    if (!view)
        return 0.0;
    const auto *effect = qobject_cast<const QGraphicsOpacityEffect *>(view->graphicsEffect());
    return effect ? effect->opacity() : 1.0;
}
