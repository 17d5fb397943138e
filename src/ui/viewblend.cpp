#include "ui/viewblend.h"

#include <QAbstractScrollArea>
#include <QGraphicsOpacityEffect>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

ViewBlend::ViewBlend(QAbstractScrollArea *view)
    : m_view(view)
{
    m_view->viewport()->setAutoFillBackground(false);
    updateOpacity();
}

void ViewBlend::setAlpha(qreal alpha)
{
    m_alpha = std::clamp(alpha, qreal(0), qreal(1));
    // Fully transparent: draw nothing at all. An opacity effect at zero still takes part in
    // the window's composition, which shows black where an embedded browser lives.
    m_view->viewport()->setVisible(m_alpha > 0);
    if (m_alpha >= 1 || m_alpha <= 0) {
        m_view->setGraphicsEffect(nullptr);
    } else {
        auto *effect = qobject_cast<QGraphicsOpacityEffect *>(m_view->graphicsEffect());
        if (!effect) {
            effect = new QGraphicsOpacityEffect(m_view);
            m_view->setGraphicsEffect(effect);
        }
        effect->setOpacity(m_alpha);
    }
    m_view->setAttribute(Qt::WA_TransparentForMouseEvents, m_alpha <= 0);
    updateOpacity();
}

void ViewBlend::setBrush(const QBrush &brush)
{
    m_brush = brush;
    updateOpacity();
    m_view->viewport()->update();
}

void ViewBlend::paint(const QPaintEvent *event, qreal contentTop) const
{
    QPainter painter(m_view->viewport());
    QBrush brush = painted();
    brush.setTransform(brush.transform() * QTransform::fromTranslate(0, -contentTop));
    painter.fillRect(event->rect(), brush);
}

QBrush ViewBlend::painted() const
{
    return m_brush.style() == Qt::NoBrush ? m_view->palette().brush(QPalette::Base) : m_brush;
}

void ViewBlend::updateOpacity()
{
    // An opaque viewport hides what lies under the view, even while the view is blended.
    m_view->viewport()->setAttribute(Qt::WA_OpaquePaintEvent, m_alpha >= 1 && painted().isOpaque());
}
