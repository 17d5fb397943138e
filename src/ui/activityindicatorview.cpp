#include "ui/activityindicatorview.h"

#include <QEvent>
#include <QLoggingCategory>
#include <QPainter>
#include <QTimerEvent>

#include <algorithm>

Q_LOGGING_CATEGORY(lcActivityIndicator, "listoro.ui.activityindicator", QtInfoMsg)

namespace {

// Twelve steps a second: one unhurried turn a second.
constexpr int stepIntervalMs = 1000 / ActivityIndicatorView::spokeCount;
// The spoke furthest behind the leading one keeps this much of the colour's opacity.
constexpr qreal faintestSpoke = 0.22;

QColor defaultColor(ActivityIndicatorView::Style style)
{
    return style == ActivityIndicatorView::Style::Gray ? QColor(128, 128, 128) : QColor(Qt::white);
}

} // namespace

ActivityIndicatorView::ActivityIndicatorView(Style style, QWidget *parent)
    : QWidget(parent)
    , m_style(style)
    , m_color(defaultColor(style))
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(sizeForStyle(style));
    // Stopped, and hiding when stopped: hidden until startAnimating().
    updateVisibility();
}

ActivityIndicatorView::ActivityIndicatorView(QWidget *parent)
    : ActivityIndicatorView(Style::WhiteLarge, parent)
{
}

QSize ActivityIndicatorView::sizeForStyle(Style style)
{
    return style == Style::Gray ? QSize(20, 20) : QSize(37, 37);
}

QSize ActivityIndicatorView::sizeHint() const
{
    return sizeForStyle(m_style);
}

void ActivityIndicatorView::setActivityIndicatorViewStyle(Style style)
{
    if (m_style == style)
        return;
    m_style = style;
    m_color = defaultColor(style);
    resize(sizeForStyle(style));
    updateGeometry();
    update();
}

void ActivityIndicatorView::setColor(const QColor &color)
{
    m_color = color;
    update();
}

void ActivityIndicatorView::setHidesWhenStopped(bool hides)
{
    m_hidesWhenStopped = hides;
    updateVisibility();
}

void ActivityIndicatorView::startAnimating()
{
    if (m_animating)
        return;
    m_animating = true;
    updateVisibility();
    updateTimer();
    update();
}

void ActivityIndicatorView::stopAnimating()
{
    if (!m_animating)
        return;
    m_animating = false;
    updateVisibility();
    updateTimer();
    update();
}

void ActivityIndicatorView::updateVisibility()
{
    if (!m_hidesWhenStopped)
        return;
    if (!m_animating)
        hide();
    else if (parentWidget())
        show();
    // A parentless indicator is a window of its own: showing it is left to its owner.
}

void ActivityIndicatorView::updateTimer()
{
    const bool wanted = m_animating && isVisible();
    if (wanted && !m_timer.isActive()) {
        qCDebug(lcActivityIndicator) << "spinning" << this;
        m_timer.start(stepIntervalMs, Qt::CoarseTimer, this);
    } else if (!wanted && m_timer.isActive()) {
        qCDebug(lcActivityIndicator) << "resting" << this;
        m_timer.stop();
    }
}

void ActivityIndicatorView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    updateTimer();
}

void ActivityIndicatorView::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    updateTimer();
}

void ActivityIndicatorView::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // Qt hides a widget that changes parents; an animating indicator should show in its new one.
    if (event->type() == QEvent::ParentChange)
        updateVisibility();
}

void ActivityIndicatorView::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_timer.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    m_step = (m_step + 1) % spokeCount;
    update();
}

void ActivityIndicatorView::paintEvent(QPaintEvent *)
{
    const qreal side = std::min(width(), height());
    if (side <= 0)
        return;

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(width() / 2.0, height() / 2.0);

    const qreal spokeWidth = side * 0.095;
    const qreal outer = side / 2.0 - spokeWidth / 2.0 - 0.25;
    const qreal inner = outer * 0.5;
    QPen pen(m_color, spokeWidth, Qt::SolidLine, Qt::RoundCap);

    // A stopped indicator that stays visible shows its spokes evenly faded, like a paused one.
    for (int i = 0; i < spokeCount; ++i) {
        const int behind = (m_step - i + spokeCount) % spokeCount;
        const qreal fade
            = m_animating ? 1.0 - (1.0 - faintestSpoke) * behind / (spokeCount - 1) : 0.5;
        QColor color = m_color;
        color.setAlphaF(float(m_color.alphaF() * fade));
        pen.setColor(color);
        painter.setPen(pen);
        painter.save();
        painter.rotate(i * 360.0 / spokeCount);
        painter.drawLine(QPointF(0, -inner), QPointF(0, -outer));
        painter.restore();
    }
}
