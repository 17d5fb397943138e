#pragma once

#include <QBrush>
#include <QPen>
#include <QWidget>

// A layer over a widget and all its children, clicks passing through: a fill (a veil that dims)
// and a frame (a marker), following the widget's size and staying on top of children added later.
class CellOverlay final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CellOverlay)

public:
    CellOverlay(QWidget *over, const QBrush &fill, const QPen &frame, qreal radius);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QBrush m_fill;
    QPen m_frame;
    qreal m_radius;
};
