#include "ui/popoveroverlay.h"

#include "ui/theme.h"

#include <QKeyEvent>
#include <QPainter>

#include <algorithm>
#include <array>

namespace {

constexpr int windowMargin = 10;
constexpr int contentInset = 6;
constexpr int panelRadius = 10;
constexpr int arrowLength = 11;
constexpr int arrowHalfWidth = 12;

} // namespace

PopoverOverlay::PopoverOverlay(QWidget *window)
    : QWidget(window)
    , m_shadow(16, Theme::colour(Theme::Colour::Shadow), QPoint(0, 6))
{
    setFocusPolicy(Qt::StrongFocus);
    QWidget::setVisible(false);
    attach(window);
}

void PopoverOverlay::attach(QWidget *window)
{
    if (m_window == window)
        return;
    if (m_window)
        m_window->removeEventFilter(this);
    m_window = window;
    const bool visible = !isHidden();
    setParent(window);
    if (window)
        window->installEventFilter(this);
    setVisible(visible);
}

void PopoverOverlay::setContent(QWidget *content)
{
    if (m_content == content)
        return;
    m_content = content;
    if (content) {
        content->setParent(this);
        content->show();
    }
    place();
}

void PopoverOverlay::setAnchor(QWidget *view, const QRect &rect, const QSize &contentSize)
{
    m_anchorView = view;
    m_anchorRect = rect;
    m_contentSize = contentSize;
    place();
}

void PopoverOverlay::place()
{
    if (!m_window)
        return;
    setGeometry(m_window->rect());
    const QRect bounds = rect().adjusted(windowMargin, windowMargin, -windowMargin, -windowMargin);
    const QSize panelSize = (m_contentSize + QSize(2 * contentInset, 2 * contentInset))
                                .boundedTo(bounds.size().expandedTo(QSize(1, 1)));
    const bool anchored = m_anchorView && m_anchorView->window() == m_window;
    const QRect anchor = anchored
        ? QRect(m_anchorView->mapTo(m_window, m_anchorRect.topLeft()), m_anchorRect.size())
        : QRect(bounds.center(), QSize(0, 0));

    const auto clampX = [&](int x) {
        return std::clamp(x, bounds.left(),
                          std::max(bounds.left(), bounds.right() + 1 - panelSize.width()));
    };
    const auto clampY = [&](int y) {
        return std::clamp(y, bounds.top(),
                          std::max(bounds.top(), bounds.bottom() + 1 - panelSize.height()));
    };
    const int centredX = clampX(anchor.center().x() - panelSize.width() / 2);
    const int centredY = clampY(anchor.center().y() - panelSize.height() / 2);
    // Below the anchor first, then above, right and left; centred when it fits nowhere.
    const std::array<std::pair<ArrowDirection, QRect>, 4> candidates{ {
        { ArrowDirection::Up,
          QRect(QPoint(centredX, anchor.bottom() + 1 + arrowLength), panelSize) },
        { ArrowDirection::Down,
          QRect(QPoint(centredX, anchor.top() - arrowLength - panelSize.height()), panelSize) },
        { ArrowDirection::Left,
          QRect(QPoint(anchor.right() + 1 + arrowLength, centredY), panelSize) },
        { ArrowDirection::Right,
          QRect(QPoint(anchor.left() - arrowLength - panelSize.width(), centredY), panelSize) },
    } };
    m_arrowDirection = ArrowDirection::None;
    m_panelRect = QRect(QPoint(clampX(bounds.center().x() - panelSize.width() / 2),
                               clampY(bounds.center().y() - panelSize.height() / 2)),
                        panelSize);
    if (anchored) {
        for (const auto &[direction, candidate] : candidates) {
            if (bounds.contains(candidate)) {
                m_arrowDirection = direction;
                m_panelRect = candidate;
                break;
            }
        }
    }

    QPainterPath shape;
    shape.addRoundedRect(QRectF(m_panelRect), panelRadius, panelRadius);
    const int reach = panelRadius + arrowHalfWidth;
    const QRectF panel(m_panelRect);
    QPolygonF arrow;
    switch (m_arrowDirection) {
    case ArrowDirection::Up:
    case ArrowDirection::Down: {
        const qreal x = std::clamp(qreal(anchor.center().x()), panel.left() + reach,
                                   std::max(panel.left() + reach, panel.right() - reach));
        const qreal base
            = m_arrowDirection == ArrowDirection::Up ? panel.top() + 1 : panel.bottom() - 1;
        const qreal tip = m_arrowDirection == ArrowDirection::Up ? panel.top() - arrowLength
                                                                 : panel.bottom() + arrowLength;
        arrow << QPointF(x - arrowHalfWidth, base) << QPointF(x, tip)
              << QPointF(x + arrowHalfWidth, base);
        break;
    }
    case ArrowDirection::Left:
    case ArrowDirection::Right: {
        const qreal y = std::clamp(qreal(anchor.center().y()), panel.top() + reach,
                                   std::max(panel.top() + reach, panel.bottom() - reach));
        const qreal base
            = m_arrowDirection == ArrowDirection::Left ? panel.left() + 1 : panel.right() - 1;
        const qreal tip = m_arrowDirection == ArrowDirection::Left ? panel.left() - arrowLength
                                                                   : panel.right() + arrowLength;
        arrow << QPointF(base, y - arrowHalfWidth) << QPointF(tip, y)
              << QPointF(base, y + arrowHalfWidth);
        break;
    }
    case ArrowDirection::None:
        break;
    }
    if (!arrow.isEmpty()) {
        QPainterPath arrowPath;
        arrowPath.addPolygon(arrow);
        arrowPath.closeSubpath();
        shape = shape.united(arrowPath);
    }
    m_shape = shape;

    if (m_content)
        m_content->setGeometry(
            m_panelRect.adjusted(contentInset, contentInset, -contentInset, -contentInset));
    update();
}

void PopoverOverlay::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    m_shadow.paint(&p, m_shape);
    p.fillPath(m_shape, Qt::white);
    p.setPen(QPen(Theme::colour(Theme::Colour::Outline), 1.0));
    p.drawPath(m_shape.translated(0.5, 0.5));
}

void PopoverOverlay::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    if (!m_shape.contains(event->position()))
        emit dismissRequested();
}

void PopoverOverlay::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
}

void PopoverOverlay::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
}

void PopoverOverlay::wheelEvent(QWheelEvent *event)
{
    event->accept();
}

void PopoverOverlay::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        emit dismissRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool PopoverOverlay::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::Resize)
        place();
    return QWidget::eventFilter(watched, event);
}
