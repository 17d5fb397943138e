#pragma once

#include "ui/navigationcontroller.h"
#include "ui/storyboard.h"

#include <QPointer>
#include <QWidget>

class NavigationItem;
struct StoryboardSegue;

// The base of every screen. The navigation controller (or a popover) that shows a screen calls
// its lifecycle operations: viewDidLoad() once, before the first appearance, then
// viewWillAppear() and viewDidAppear() each time it comes on top, and viewWillDisappear() and
// viewDidDisappear() each time it leaves. A screen's orientation is its window's shape.
class ViewController : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ViewController)

public:
    explicit ViewController(QWidget *parent = nullptr);
    ~ViewController() override;

    virtual void viewDidLoad() { }
    virtual void viewWillAppear(bool animated) { Q_UNUSED(animated) }
    virtual void viewDidAppear(bool animated) { Q_UNUSED(animated) }
    virtual void viewWillDisappear(bool animated) { Q_UNUSED(animated) }
    virtual void viewDidDisappear(bool animated) { Q_UNUSED(animated) }
    // Called on the top screen after its window turned between landscape and portrait.
    virtual void didRotateFromInterfaceOrientation(bool wasLandscape) { Q_UNUSED(wasLandscape) }

    bool isViewLoaded() const { return m_viewLoaded; }
    // Runs viewDidLoad() unless it already ran.
    void loadViewIfNeeded();

    NavigationItem *navigationItem() const { return m_navigationItem; }
    // The navigation controller this screen is pushed on, or null.
    NavigationController *navigationController() const { return m_navigationController; }

    Storyboard *storyboard() const { return m_storyboard; }
    void setStoryboard(Storyboard *storyboard);
    // Asks the storyboard to perform the segue with this screen as source.
    void performSegue(const QString &identifier, QObject *sender);
    // Called by the storyboard after it created the destination and before it shows it.
    virtual void prepareForSegue(StoryboardSegue &segue, QObject *sender);

    // True when the window is wider than it is high.
    bool isLandscape() const;

private:
    friend class NavigationController;

    NavigationItem *m_navigationItem;
    QPointer<NavigationController> m_navigationController;
    QPointer<Storyboard> m_storyboard;
    bool m_viewLoaded = false;
};
