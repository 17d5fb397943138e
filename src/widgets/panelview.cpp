#include "widgets/panelview.h"

#include "ui/theme.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>

#include <algorithm>
#include <cmath>

PanelView::PanelView(QWidget *parent)
    : QWidget(parent)
{
    setMouseTracking(true);
}

QRect PanelView::bounds() const
{
    const int margin = shadowMargin();
    return rect().adjusted(margin, margin, -margin, -margin);
}

void PanelView::setFrame(const QRect &frame)
{
    m_frame = frame;
    applyFrame();
}

void PanelView::applyFrame()
{
    const int margin = shadowMargin();
    setContentsMargins(margin, margin, margin, margin);
    setGeometry(m_frame.adjusted(-margin, -margin, margin, margin));
    update();
}

int PanelView::shadowMargin() const
{
    if (m_shadowOpacity <= 0.0 || m_shadowColor.alpha() == 0)
        return 0;
    // The blurred copy reaches twice the radius beyond the shape, moved by the offset.
    return 2 * std::max(1, m_shadowRadius)
        + std::max(std::abs(m_shadowOffset.x()), std::abs(m_shadowOffset.y()));
}

void PanelView::shadowChanged()
{
    m_shadow.reset();
    applyFrame();
}

void PanelView::setBackgroundBrush(const QBrush &brush)
{
    m_background = brush;
    update();
}

void PanelView::setBackgroundOpacity(double opacity)
{
    m_backgroundOpacity = std::clamp(opacity, 0.0, 1.0);
    update();
}

void PanelView::setWhiteness(double whiteness)
{
    m_whiteness = std::clamp(whiteness, 0.0, 1.0);
    update();
}

void PanelView::animateToWhite(int duration)
{
    if (!m_whitening) {
        m_whitening = new QVariantAnimation(this);
        m_whitening->setEndValue(1.0);
        connect(m_whitening, &QVariantAnimation::valueChanged, this,
                [this](const QVariant &value) { setWhiteness(value.toDouble()); });
    }
    m_whitening->stop();
    m_whitening->setStartValue(m_whiteness);
    m_whitening->setDuration(std::max(0, duration));
    m_whitening->start();
}

void PanelView::stopWhitening()
{
    if (m_whitening)
        m_whitening->stop();
    setWhiteness(0.0);
}

bool PanelView::isWhitening() const
{
    return m_whitening && m_whitening->state() == QAbstractAnimation::Running;
}

void PanelView::setCornerRadius(double radius)
{
    m_cornerRadius = std::max(0.0, radius);
    m_shadow.reset();
    update();
}

void PanelView::setBorderColor(const QColor &color)
{
    m_borderColor = color;
    update();
}

void PanelView::setBorderWidth(double width)
{
    m_borderWidth = std::max(0.0, width);
    update();
}

void PanelView::setShadowColor(const QColor &color)
{
    if (m_shadowColor == color)
        return;
    m_shadowColor = color;
    shadowChanged();
}

void PanelView::setShadowOpacity(double opacity)
{
    opacity = std::clamp(opacity, 0.0, 1.0);
    if (m_shadowOpacity == opacity)
        return;
    m_shadowOpacity = opacity;
    shadowChanged();
}

void PanelView::setShadowRadius(int radius)
{
    radius = std::max(0, radius);
    if (m_shadowRadius == radius)
        return;
    m_shadowRadius = radius;
    shadowChanged();
}

void PanelView::setShadowOffset(QPoint offset)
{
    if (m_shadowOffset == offset)
        return;
    m_shadowOffset = offset;
    shadowChanged();
}

bool PanelView::isUserInteractionEnabled() const
{
    return !testAttribute(Qt::WA_TransparentForMouseEvents);
}

void PanelView::setUserInteractionEnabled(bool enabled)
{
    setAttribute(Qt::WA_TransparentForMouseEvents, !enabled);
    if (!enabled) {
        m_pressed = false;
        setHovered(false);
    }
}

void PanelView::setHighlightsOnHover(bool highlights)
{
    m_highlights = highlights;
    // A panel that reacts to the mouse is a button: the keyboard reaches it too.
    setFocusPolicy(highlights ? Qt::StrongFocus : Qt::NoFocus);
    if (!highlights && hasFocus())
        clearFocus();
    update();
}

QPainterPath PanelView::shape() const
{
    QPainterPath path;
    path.addRoundedRect(QRectF(bounds()), m_cornerRadius, m_cornerRadius);
    return path;
}

void PanelView::setHovered(bool hovered)
{
    if (m_hovered == hovered)
        return;
    m_hovered = hovered;
    if (m_highlights)
        update();
}

void PanelView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath path = shape();
    const QRectF box = path.boundingRect();

    if (shadowMargin() > 0) {
        if (!m_shadow) {
            QColor color = m_shadowColor;
            color.setAlphaF(float(color.alphaF() * m_shadowOpacity));
            m_shadow.emplace(std::max(1, m_shadowRadius), color, m_shadowOffset);
        }
        // A layer's shadow follows the alpha of what it draws: a faint background casts a
        // faint shadow.
        painter.save();
        if (m_background.style() != Qt::NoBrush)
            painter.setOpacity(m_backgroundOpacity);
        m_shadow->paint(&painter, path);
        painter.restore();
    }

    if (m_background.style() != Qt::NoBrush && m_backgroundOpacity > 0.0) {
        painter.save();
        painter.setOpacity(m_backgroundOpacity);
        painter.setBrushOrigin(box.topLeft());
        painter.fillPath(path, m_background);
        painter.restore();
    }
    if (m_whiteness > 0.0) {
        painter.save();
        painter.setOpacity(m_whiteness);
        painter.fillPath(path, Qt::white);
        painter.restore();
    }
    if (m_highlights && isUserInteractionEnabled()) {
        if (m_pressed)
            painter.fillPath(path, QColor(0, 0, 0, 22));
        else if (m_hovered)
            painter.fillPath(path, QColor(255, 255, 255, 110));
    }
    if (m_borderWidth > 0.0 && m_borderColor.alpha() > 0) {
        // The border lies inside the frame, as a layer's does.
        const double inset = m_borderWidth / 2;
        const double radius = std::max(0.0, m_cornerRadius - inset);
        painter.setPen(QPen(m_borderColor, m_borderWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(box.adjusted(inset, inset, -inset, -inset), radius, radius);
    }
    if (hasFocus() && m_highlights) {
        constexpr double focusWidth = 2.0;
        const double inset = focusWidth / 2;
        const double radius = std::max(0.0, m_cornerRadius - inset);
        painter.setPen(QPen(Theme::colour(Theme::Colour::Accent), focusWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(box.adjusted(inset, inset, -inset, -inset), radius, radius);
    }
}

void PanelView::keyPressEvent(QKeyEvent *event)
{
    const bool activates = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter
        || event->key() == Qt::Key_Space;
    if (activates && m_highlights && isUserInteractionEnabled() && !event->isAutoRepeat()) {
        event->accept();
        emit tapped();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PanelView::focusInEvent(QFocusEvent *event)
{
    update();
    QWidget::focusInEvent(event);
}

void PanelView::focusOutEvent(QFocusEvent *event)
{
    update();
    QWidget::focusOutEvent(event);
}

void PanelView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !shape().contains(event->position())) {
        event->ignore();
        return;
    }
    m_pressed = true;
    update();
}

void PanelView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !m_pressed) {
        event->ignore();
        return;
    }
    m_pressed = false;
    update();
    if (shape().contains(event->position()))
        emit tapped();
}

void PanelView::mouseMoveEvent(QMouseEvent *event)
{
    setHovered(shape().contains(event->position()));
    QWidget::mouseMoveEvent(event);
}

void PanelView::leaveEvent(QEvent *event)
{
    setHovered(false);
    QWidget::leaveEvent(event);
}
