#pragma once

#include <QList>
#include <QWidget>

#include <optional>

class NavigationBar;
class QStackedLayout;
class ViewController;

// A window with a navigation bar over a stack of screens; only the top screen is shown. The
// screens get their lifecycle calls as they come on top and leave, while the window is shown.
// The window's shape is the orientation: landscape when wider than high.
class NavigationController final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NavigationController)

public:
    explicit NavigationController(ViewController *rootViewController = nullptr,
                                  QWidget *parent = nullptr);
    ~NavigationController() override;

    // The controller takes the screen; a screen already on the stack is refused.
    void pushViewController(ViewController *viewController, bool animated);
    // Returns the popped screen, which is deleted after the current event; null at the root.
    ViewController *popViewControllerAnimated(bool animated);
    // Pops every screen above the root; they are deleted after the current event.
    QList<ViewController *> popToRootViewController(bool animated);

    ViewController *topViewController() const;
    QList<ViewController *> viewControllers() const { return m_stack; }
    NavigationBar *navigationBar() const { return m_navigationBar; }

    // The most recently shown navigation controller that is still shown, or null.
    static NavigationController *current();
    // There is no status bar on the desktop.
    static int statusBarThickness() { return 0; }

    // The window's title is the top screen's window title (where the user is) followed by this.
    void setApplicationTitle(const QString &title);

    // Size and place from the previous run, else 1024 by 768.
    void restoreWindowGeometry();
    void saveWindowGeometry() const;

signals:
    // The window turned between landscape and portrait.
    void orientationChanged();
    void resized();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    friend class ViewController;

    void forgetViewController(ViewController *viewController);
    void showTopViewController();
    void transition(ViewController *leaving, ViewController *arriving, bool animated,
                    const QList<ViewController *> &removed);
    void discard(ViewController *viewController);
    void updateWindowTitle();

    NavigationBar *m_navigationBar;
    QWidget *m_content;
    QStackedLayout *m_stackLayout;
    QList<ViewController *> m_stack;
    bool m_onScreen = false;
    std::optional<bool> m_landscape;
    QString m_applicationTitle = QStringLiteral("Listoro");
};
