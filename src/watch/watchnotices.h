#pragma once

#include "watch/bookmarkwatcher.h"

#include <QObject>
#include <QString>

class DesktopNotifier;

// What the watches found, told to the user: one notification per bookmark and check ("Plateau
// 4½: 3 new listings", the first new listing's title and price, its photo), and a count of the
// listings found since the user last looked, for the tray icon.
class WatchNotices final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WatchNotices)

public:
    WatchNotices(BookmarkWatcher *watcher, DesktopNotifier *notifier, QObject *parent = nullptr);

    int unseenCount() const { return m_unseen; }
    // The user opened Listoro or a bookmark it told of: the count starts again.
    void markSeen();

    static QString summary(const QString &bookmarkName, int count);
    static QString body(const BookmarkWatcher::Found &first);

Q_SIGNALS:
    void unseenCountChanged(int count);

private:
    void found(const QString &address, const QList<BookmarkWatcher::Found> &listings);

    DesktopNotifier *m_notifier;
    int m_unseen = 0;
};
