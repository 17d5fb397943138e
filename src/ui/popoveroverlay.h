#pragma once

#include "ui/dropshadow.h"

#include <QPainterPath>
#include <QPointer>
#include <QWidget>

// What a popover shows: a transparent layer over a whole window that holds a rounded panel with
// the content, its arrow pointing at the anchor rectangle. A click on the layer outside the
// panel, or Escape, asks for the popover to be dismissed.
class PopoverOverlay final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PopoverOverlay)

public:
    // Where the arrow points; None when the panel fits on no side of the anchor.
    enum class ArrowDirection { None, Up, Down, Left, Right };
    Q_ENUM(ArrowDirection)

    explicit PopoverOverlay(QWidget *window);

    // Moves the overlay onto another window.
    void attach(QWidget *window);
    void setContent(QWidget *content);
    // The anchor is rect in view's coordinates; it is followed when the window is resized.
    void setAnchor(QWidget *view, const QRect &rect, const QSize &contentSize);

    ArrowDirection arrowDirection() const { return m_arrowDirection; }
    QRect panelRect() const { return m_panelRect; }

signals:
    void dismissRequested();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void place();

    QPointer<QWidget> m_window;
    QPointer<QWidget> m_content;
    QPointer<QWidget> m_anchorView;
    QRect m_anchorRect;
    QSize m_contentSize;
    ArrowDirection m_arrowDirection = ArrowDirection::None;
    QRect m_panelRect;
    QPainterPath m_shape;
    DropShadow m_shadow;
};
