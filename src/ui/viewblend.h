#pragma once

#include <QBrush>

class QAbstractScrollArea;
class QPaintEvent;

// How a scrolling view blends with what lies under it: its alpha (0 hides it and lets clicks
// through, 1 shows it, values between blend it) and the brush its viewport is painted with.
class ViewBlend final
{
public:
    explicit ViewBlend(QAbstractScrollArea *view);

    qreal alpha() const { return m_alpha; }
    void setAlpha(qreal alpha);
    // No brush paints the palette's base colour.
    QBrush brush() const { return m_brush; }
    void setBrush(const QBrush &brush);
    // Paints the viewport's background, tiled from the content's origin at contentTop so that a
    // pattern moves with the content.
    void paint(const QPaintEvent *event, qreal contentTop) const;

private:
    QBrush painted() const;
    void updateOpacity();

    QAbstractScrollArea *m_view;
    QBrush m_brush;
    qreal m_alpha = 1.0;
};
