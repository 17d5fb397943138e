#pragma once

#include "ui/popoveroverlay.h"
#include "ui/viewcontroller.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>

class PopoverDelegate;
class QWidget;

// Shows a content screen in a panel anchored over a rectangle of a view, inside that view's
// window. A click outside the panel (or Escape) dismisses it and tells the delegate; a
// dismissal by code tells nobody. The popover owns its content screen, which gets viewDidLoad()
// once and its appearance calls on every presentation and dismissal.
class Popover final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Popover)

public:
    explicit Popover(ViewController *contentViewController, QObject *parent = nullptr);
    ~Popover() override;

    ViewController *contentViewController() const { return m_content; }
    // An empty size means the content's preferred size.
    QSize contentSize() const { return m_contentSize; }
    void setContentSize(const QSize &size);

    // Null once a delegate that is a QObject has been destroyed.
    PopoverDelegate *delegate() const;
    void setDelegate(PopoverDelegate *delegate);

    // rect is in inView's coordinates. Presenting a shown popover again moves it.
    void presentFromRect(const QRect &rect, QWidget *inView, bool animated = true);
    void dismissPopoverAnimated(bool animated);
    bool isPopoverVisible() const;

    // The panel while it exists, for tests and screenshots.
    PopoverOverlay *overlay() const { return m_overlay; }

private:
    void dismissedByUser();
    QSize effectiveContentSize() const;

    QPointer<ViewController> m_content;
    QPointer<PopoverOverlay> m_overlay;
    QSize m_contentSize;
    PopoverDelegate *m_delegate = nullptr;
    QPointer<QObject> m_delegateObject;
    bool m_delegateTracked = false;
    bool m_visible = false;
};
