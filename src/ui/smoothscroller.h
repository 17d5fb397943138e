#pragma once

#include <QObject>

class QAbstractScrollArea;
class QKeyEvent;
class QScrollBar;
class QTimer;
class QVariantAnimation;
class QWheelEvent;

// Scrolls a vertical scroll area the way people expect of a list: wheel notches and keys animate
// the offset (notches arriving while one animates add to its target), touchpad pixel deltas
// apply at once, and a scroll bar floats over the right edge of the content, mirroring the area's
// own hidden one. scrollEnded() tells when the user has let go: the slider released, or a burst of
// wheel or key scrolling gone quiet.
class SmoothScroller final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SmoothScroller)

public:
    static constexpr int scrollStep = 40;

    explicit SmoothScroller(QAbstractScrollArea *area);
    ~SmoothScroller() override;

    QScrollBar *floatingBar() const { return m_bar; }
    // Over the right edge of the area's viewport.
    void placeBar();
    void setBarPageStep(int step);
    void setBarVisible(bool visible);

    // True when the event scrolled the area.
    bool wheel(QWheelEvent *event);
    bool key(QKeyEvent *event);

    void animateTo(qreal y, int duration);
    void stop();

signals:
    void scrollEnded();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int maximumOffset() const;
    void scrollBy(qreal delta, int duration);
    void begin();
    void endIfIdle();

    QAbstractScrollArea *m_area;
    QScrollBar *m_bar;
    QVariantAnimation *m_animation;
    QTimer *m_quiet;
    qreal m_target = 0;
    bool m_scrolling = false;
};
