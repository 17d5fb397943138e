#include "widgets/panelstyling.h"

#include "ui/viewtag.h"
#include "widgets/panelview.h"

#include <QLinearGradient>

namespace {

// The colours UIKit names light gray and dark gray, and black at a tenth.
const QColor lightGray = QColor::fromRgbF(2.0f / 3, 2.0f / 3, 2.0f / 3);
const QColor darkGray = QColor::fromRgbF(1.0f / 3, 1.0f / 3, 1.0f / 3);
const QColor faintBlack = QColor::fromRgbF(0, 0, 0, 0.1f);

// The rectangle of view that stands for its frame: a panel's frame lies inside its shadow.
QRect boundsOf(QWidget *view)
{
    if (auto *panel = qobject_cast<PanelView *>(view))
        return panel->bounds();
    return view->rect();
}

} // namespace

namespace PanelStyling {

void styleCard(PanelView *panel)
{
    panel->setCornerRadius(12);
    panel->setBorderColor(faintBlack);
    panel->setBorderWidth(1);
    panel->setShadowColor(lightGray);
    panel->setShadowOpacity(0.6);
    panel->setShadowRadius(5);
    panel->setShadowOffset(QPoint(0, 0));
}

void addInnerShadow(QWidget *view, int distance, int cornerRadius)
{
    if (!view)
        return;
    PanelView *inner = nullptr;
    for (QObject *child : view->children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (widget && viewTag(widget) == innerShadowTag) {
            inner = qobject_cast<PanelView *>(widget);
            break;
        }
    }
    if (!inner) {
        inner = new PanelView(view);
        setViewTag(inner, innerShadowTag);
        inner->setBackgroundBrush(Qt::white);
        // Decoration only: clicks belong to the view it sits in.
        inner->setUserInteractionEnabled(false);
        inner->lower();
        inner->show();
    }
    inner->setCornerRadius(cornerRadius);
    inner->setBorderColor(faintBlack);
    inner->setBorderWidth(1);
    inner->setShadowColor(Qt::black);
    inner->setShadowOffset(QPoint(0, 0));
    inner->setShadowOpacity(0.2);
    inner->setShadowRadius(distance / 2);
    const QRect bounds = boundsOf(view);
    inner->setFrame(QRect(bounds.x() + distance, bounds.y() + distance,
                          bounds.width() - 2 * distance, bounds.height() - 2 * distance));
}

void addGradientLayer(QWidget *view)
{
    if (!view)
        return;
    QLinearGradient gradient(0, 0, 0, 1);
    gradient.setCoordinateMode(QGradient::ObjectBoundingMode);
    gradient.setColorAt(0.0, darkGray);
    gradient.setColorAt(0.03, Qt::white);
    gradient.setColorAt(0.97, Qt::white);
    gradient.setColorAt(1.0, darkGray);
    auto *layer = new PanelView(view);
    layer->setObjectName(QStringLiteral("gradientLayer"));
    layer->setBackgroundBrush(gradient);
    layer->setUserInteractionEnabled(false);
    layer->setFrame(boundsOf(view));
    layer->lower();
    layer->show();
}

} // namespace PanelStyling
