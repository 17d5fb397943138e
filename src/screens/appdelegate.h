#pragma once

#include <QObject>
#include <QPointer>

class NavigationController;

// The application's delegate. It does no work of its own: the storyboard builds the window and
// the home screen does the start-up work when it is shown. It hears of the application's state
// changes and of its end, and owns the window.
class AppDelegate final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AppDelegate)

public:
    explicit AppDelegate(QObject *parent = nullptr);
    ~AppDelegate() override;

    // The application's window; the delegate takes it.
    NavigationController *window() const { return m_window; }
    void setWindow(NavigationController *window);

    bool applicationDidFinishLaunchingWithOptions() { return true; }
    void applicationWillResignActive() { }
    void applicationDidEnterBackground() { }
    void applicationWillEnterForeground() { }
    void applicationDidBecomeActive() { }
    void applicationWillTerminate() { }

private:
    QPointer<NavigationController> m_window;
};
