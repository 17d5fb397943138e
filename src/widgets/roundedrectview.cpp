#include "widgets/roundedrectview.h"

#include <QLoggingCategory>
#include <QPainter>

Q_LOGGING_CATEGORY(lcRoundedRectView, "listoro.widgets.roundedrectview", QtInfoMsg)

RoundedRectView::RoundedRectView(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void RoundedRectView::setCornerRadius(qreal radius)
{
    if (radius < 0) {
        qCWarning(lcRoundedRectView) << "negative corner radius" << radius << "taken as 0";
        radius = 0;
    }
    m_cornerRadius = radius;
    update();
}

void RoundedRectView::setFillColor(const QColor &color)
{
    m_fillColor = color;
    update();
}

void RoundedRectView::paintEvent(QPaintEvent *)
{
    if (m_fillColor.alpha() == 0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_fillColor);
    painter.drawRoundedRect(QRectF(rect()), m_cornerRadius, m_cornerRadius);
}
