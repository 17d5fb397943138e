#pragma once

#include <QBasicTimer>
#include <QColor>
#include <QWidget>

// A small spinning "busy" indicator: twelve spokes around a centre whose brightness fades behind
// a leading spoke. It spins on a timer only while it is animating and actually on screen.
class ActivityIndicatorView final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ActivityIndicatorView)
    Q_PROPERTY(bool hidesWhenStopped READ hidesWhenStopped WRITE setHidesWhenStopped)
    Q_PROPERTY(bool animating READ isAnimating)

public:
    enum class Style {
        WhiteLarge, // 37 by 37, white: for dark boxes
        Gray, // 20 by 20, gray: for light backgrounds
    };
    Q_ENUM(Style)

    static constexpr int spokeCount = 12;

    explicit ActivityIndicatorView(Style style = Style::WhiteLarge, QWidget *parent = nullptr);
    explicit ActivityIndicatorView(QWidget *parent);

    Style activityIndicatorViewStyle() const { return m_style; }
    // Also resizes the view to the style's size, as creating it with that style would.
    void setActivityIndicatorViewStyle(Style style);

    QColor color() const { return m_color; }
    void setColor(const QColor &color);

    // When true (the default) the view is hidden whenever it is not animating, and shown again
    // by startAnimating() once it has a parent.
    bool hidesWhenStopped() const { return m_hidesWhenStopped; }
    void setHidesWhenStopped(bool hides);

    void startAnimating();
    void stopAnimating();
    bool isAnimating() const { return m_animating; }

    // Whether the spin timer runs: animating and visible.
    bool isSpinning() const { return m_timer.isActive(); }
    // Index of the brightest spoke, advanced by one at every timer tick.
    int currentStep() const { return m_step; }

    static QSize sizeForStyle(Style style);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void updateVisibility();
    void updateTimer();

    Style m_style;
    QColor m_color;
    bool m_hidesWhenStopped = true;
    bool m_animating = false;
    int m_step = 0;
    QBasicTimer m_timer;
};
