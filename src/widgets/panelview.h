#pragma once

#include "ui/dropshadow.h"

#include <QBrush>
#include <QColor>
#include <QPoint>
#include <QWidget>

#include <optional>

class QVariantAnimation;

// A view drawn the way a styled layer is: a background brush (a colour, a gradient or a tiled
// pattern) at an opacity of its own, rounded corners, a border drawn inside the frame and a
// soft shadow around it. The shadow lies outside the frame, so the widget is larger than its
// frame by the shadow's margin: place it with setFrame(), and lay children out in its contents
// rectangle. A click inside the rounded frame emits tapped(); so do Enter and Space on a panel
// that highlights on hover, which takes the keyboard and shows it by an accent frame.
class PanelView final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PanelView)

public:
    explicit PanelView(QWidget *parent = nullptr);

    // The frame in the parent's coordinates, and the same rectangle in the widget's own.
    QRect frame() const { return m_frame; }
    void setFrame(const QRect &frame);
    QRect bounds() const;

    QBrush backgroundBrush() const { return m_background; }
    void setBackgroundBrush(const QBrush &brush);
    double backgroundOpacity() const { return m_backgroundOpacity; }
    void setBackgroundOpacity(double opacity);
    // How far the background is blended towards white, 0 to 1.
    double whiteness() const { return m_whiteness; }
    void setWhiteness(double whiteness);
    // Blends the background to white over duration milliseconds; stopWhitening() ends that and
    // shows the background as it is again.
    void animateToWhite(int duration);
    void stopWhitening();
    bool isWhitening() const;

    double cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(double radius);
    QColor borderColor() const { return m_borderColor; }
    void setBorderColor(const QColor &color);
    double borderWidth() const { return m_borderWidth; }
    void setBorderWidth(double width);
    QColor shadowColor() const { return m_shadowColor; }
    void setShadowColor(const QColor &color);
    double shadowOpacity() const { return m_shadowOpacity; }
    void setShadowOpacity(double opacity);
    int shadowRadius() const { return m_shadowRadius; }
    void setShadowRadius(int radius);
    QPoint shadowOffset() const { return m_shadowOffset; }
    void setShadowOffset(QPoint offset);

    // A view that takes no clicks lets them through to what lies beneath it.
    bool isUserInteractionEnabled() const;
    void setUserInteractionEnabled(bool enabled);
    // Lightens the panel under the mouse and darkens it while pressed.
    bool highlightsOnHover() const { return m_highlights; }
    void setHighlightsOnHover(bool highlights);

signals:
    void tapped();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    int shadowMargin() const;
    void applyFrame();
    void shadowChanged();
    QPainterPath shape() const;
    void setHovered(bool hovered);

    QRect m_frame;
    QBrush m_background;
    double m_backgroundOpacity = 1.0;
    double m_whiteness = 0.0;
    QVariantAnimation *m_whitening = nullptr;
    double m_cornerRadius = 0.0;
    QColor m_borderColor = Qt::black;
    double m_borderWidth = 0.0;
    QColor m_shadowColor = Qt::black;
    double m_shadowOpacity = 0.0;
    int m_shadowRadius = 3;
    QPoint m_shadowOffset{ 0, -3 };
    std::optional<DropShadow> m_shadow;
    bool m_highlights = false;
    bool m_hovered = false;
    bool m_pressed = false;
};
