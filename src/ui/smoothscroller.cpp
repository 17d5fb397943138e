#include "ui/smoothscroller.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QVariantAnimation>
#include <QWheelEvent>

#include <algorithm>

namespace {

constexpr int wheelScrollDuration = 150;
constexpr int keyScrollDuration = 200;
// Quiet time after the last wheel notch or key press that ends a user's scroll.
constexpr int quietDelay = 150;

} // namespace

SmoothScroller::SmoothScroller(QAbstractScrollArea *area)
    : QObject(area)
    , m_area(area)
    , m_bar(new QScrollBar(Qt::Vertical, area))
    , m_animation(new QVariantAnimation(this))
    , m_quiet(new QTimer(this))
{
    QScrollBar *offsetBar = area->verticalScrollBar();
    offsetBar->setSingleStep(scrollStep);
    m_bar->setSingleStep(scrollStep);
    m_bar->hide();
    m_bar->installEventFilter(this);
    connect(offsetBar, &QScrollBar::rangeChanged, m_bar, &QScrollBar::setRange);
    connect(offsetBar, &QScrollBar::valueChanged, m_bar, &QScrollBar::setValue);
    connect(m_bar, &QScrollBar::valueChanged, offsetBar, &QScrollBar::setValue);
    connect(m_bar, &QScrollBar::sliderPressed, this, [this] {
        stop();
        m_quiet->stop();
        m_scrolling = true;
    });
    connect(m_bar, &QScrollBar::sliderReleased, this, &SmoothScroller::endIfIdle);
    connect(m_bar, &QScrollBar::actionTriggered, this, [this](int action) {
        if (action != QAbstractSlider::SliderMove)
            begin();
    });

    m_animation->setEasingCurve(QEasingCurve::OutCubic);
    connect(m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant &y) {
        m_area->verticalScrollBar()->setValue(qRound(y.toReal()));
    });
    connect(m_animation, &QVariantAnimation::finished, this, &SmoothScroller::endIfIdle);
    m_quiet->setSingleShot(true);
    m_quiet->setInterval(quietDelay);
    connect(m_quiet, &QTimer::timeout, this, &SmoothScroller::endIfIdle);
}

SmoothScroller::~SmoothScroller()
{
    m_animation->stop();
    m_quiet->stop();
    disconnect(m_bar, nullptr, this, nullptr);
}

void SmoothScroller::placeBar()
{
    const QRect area = m_area->viewport()->geometry();
    const int extent = m_area->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_bar);
    m_bar->setGeometry(area.right() + 1 - extent, area.top(), extent, area.height());
    m_bar->raise();
}

void SmoothScroller::setBarPageStep(int step)
{
    m_bar->setPageStep(step);
}

void SmoothScroller::setBarVisible(bool visible)
{
    m_bar->setVisible(visible);
}

int SmoothScroller::maximumOffset() const
{
    return m_area->verticalScrollBar()->maximum();
}

bool SmoothScroller::wheel(QWheelEvent *event)
{
    const QPoint pixels = event->pixelDelta();
    const QPoint degrees = event->angleDelta();
    if (maximumOffset() <= 0 || (pixels.y() == 0 && degrees.y() == 0))
        return false;
    QScrollBar *offsetBar = m_area->verticalScrollBar();
    if (!pixels.isNull()) {
        stop();
        offsetBar->setValue(offsetBar->value() - pixels.y());
        begin();
    } else {
        const qreal notches = degrees.y() / 120.0;
        scrollBy(-notches * QApplication::wheelScrollLines() * offsetBar->singleStep(),
                 wheelScrollDuration);
    }
    return true;
}

bool SmoothScroller::key(QKeyEvent *event)
{
    const int step = m_area->verticalScrollBar()->singleStep();
    const int page = std::max(step, m_area->viewport()->height() - step);
    switch (event->key()) {
    case Qt::Key_Up:
        scrollBy(-step, keyScrollDuration);
        return true;
    case Qt::Key_Down:
        scrollBy(step, keyScrollDuration);
        return true;
    case Qt::Key_PageUp:
        scrollBy(-page, keyScrollDuration);
        return true;
    case Qt::Key_PageDown:
        scrollBy(page, keyScrollDuration);
        return true;
    case Qt::Key_Home:
        animateTo(0, keyScrollDuration);
        begin();
        return true;
    case Qt::Key_End:
        animateTo(maximumOffset(), keyScrollDuration);
        begin();
        return true;
    default:
        return false;
    }
}

void SmoothScroller::scrollBy(qreal delta, int duration)
{
    // Notches arriving while the last one still animates add to its target.
    const bool running = m_animation->state() == QAbstractAnimation::Running;
    const qreal from = running ? m_target : m_area->verticalScrollBar()->value();
    animateTo(std::clamp(from + delta, qreal(0), qreal(maximumOffset())), duration);
    begin();
}

void SmoothScroller::animateTo(qreal y, int duration)
{
    m_animation->stop();
    m_target = y;
    const int from = m_area->verticalScrollBar()->value();
    if (qRound(y) == from)
        return;
    m_animation->setDuration(duration);
    m_animation->setStartValue(qreal(from));
    m_animation->setEndValue(y);
    m_animation->start();
}

void SmoothScroller::stop()
{
    m_animation->stop();
}

void SmoothScroller::begin()
{
    m_scrolling = true;
    m_quiet->start();
}

void SmoothScroller::endIfIdle()
{
    if (!m_scrolling || m_quiet->isActive() || m_bar->isSliderDown()
        || m_animation->state() == QAbstractAnimation::Running)
        return;
    m_scrolling = false;
    emit scrollEnded();
}

bool SmoothScroller::eventFilter(QObject *watched, QEvent *event)
{
    // Wheel over the floating scroll bar scrolls as smoothly as over the content.
    if (watched == m_bar && event->type() == QEvent::Wheel) {
        if (wheel(static_cast<QWheelEvent *>(event)))
            event->accept();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
