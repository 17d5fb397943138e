#pragma once

#include <QColor>
#include <QWidget>

// A plain box filled with one colour, possibly translucent, with rounded corners; what shows
// through its corners is whatever lies beneath it.
class RoundedRectView final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RoundedRectView)

public:
    explicit RoundedRectView(QWidget *parent = nullptr);

    qreal cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(qreal radius);
    QColor fillColor() const { return m_fillColor; }
    void setFillColor(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal m_cornerRadius = 0;
    QColor m_fillColor = Qt::transparent;
};
