#include "ui/celloverlay.h"

#include <QEvent>
#include <QPainter>

CellOverlay::CellOverlay(QWidget *over, const QBrush &fill, const QPen &frame, qreal radius)
    : QWidget(over)
    , m_fill(fill)
    , m_frame(frame)
    , m_radius(radius)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    over->installEventFilter(this);
    setGeometry(over->rect());
    raise();
    show();
}

bool CellOverlay::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    else if (watched == parent() && event->type() == QEvent::ChildAdded)
        raise();
    return false;
}

void CellOverlay::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal inset = m_frame.style() == Qt::NoPen ? 0 : m_frame.widthF() / 2;
    painter.setPen(m_frame);
    painter.setBrush(m_fill);
    painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), m_radius,
                            m_radius);
}
