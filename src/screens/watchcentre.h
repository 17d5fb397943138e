#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class BookmarkWatcher;
class DesktopNotifier;
class QAction;
class QMenu;
class QSystemTrayIcon;
class QWidget;
class WatchNotices;

// The application's watches: the watcher that checks the watched bookmarks, the notifications of
// what it finds, and the tray icon shown while any bookmark is watched (the count of new
// listings, a menu to open Listoro, pause every watch or quit). Closing the window with watches
// on keeps Listoro in the tray, said once, unless the user chose that closing quits.
class WatchCentre final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WatchCentre)

public:
    explicit WatchCentre(QObject *parent = nullptr);
    ~WatchCentre() override;

    // The application's, while one exists.
    static WatchCentre *instance();

    // The application's window, brought back by the tray and an opened notification.
    void setWindow(QWidget *window);
    BookmarkWatcher *watcher() const { return m_watcher; }
    QSystemTrayIcon *tray() const { return m_tray; }
    QMenu *trayMenu() const { return m_menu; }
    void setWatched(const QString &address, bool watched);
    // A word on the watch of address for its bookmark row; empty when it is not watched.
    QString note(const QString &address) const;

Q_SIGNALS:
    // A notification (or the tray) asked for a bookmark: open it as a grid.
    void openRequested(const QString &address);
    // Watches or what they know changed: rows showing them are drawn again.
    void changed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showWindow();
    void updateTray();

    QPointer<QWidget> m_window;
    BookmarkWatcher *m_watcher;
    DesktopNotifier *m_notifier;
    WatchNotices *m_notices;
    QSystemTrayIcon *m_tray;
    QMenu *m_menu;
    QAction *m_pause;
};
