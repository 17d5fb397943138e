#include "watch/watchnotices.h"

#include "saved/zestobookmark.h"
#include "watch/desktopnotifier.h"

WatchNotices::WatchNotices(BookmarkWatcher *watcher, DesktopNotifier *notifier, QObject *parent)
    : QObject(parent)
    , m_notifier(notifier)
{
    connect(watcher, &BookmarkWatcher::newListings, this, &WatchNotices::found);
}

void WatchNotices::markSeen()
{
    if (m_unseen == 0)
        return;
    m_unseen = 0;
    emit unseenCountChanged(m_unseen);
}

QString WatchNotices::summary(const QString &bookmarkName, int count)
{
    return count == 1 ? tr("%1: 1 new listing").arg(bookmarkName)
                      : tr("%1: %2 new listings").arg(bookmarkName).arg(count);
}

QString WatchNotices::body(const BookmarkWatcher::Found &first)
{
    const QString title = first.title.isEmpty() ? first.url : first.title;
    return first.price.isEmpty() ? title : tr("%1 · %2").arg(title, first.price);
}

void WatchNotices::found(const QString &address, const QList<BookmarkWatcher::Found> &listings)
{
    if (listings.isEmpty())
        return;
    QString name = address;
    for (const ZestoBookmark &bookmark : ZestoBookmark::getBookmarks()) {
        if (bookmark.url() == address) {
            name = bookmark.title();
            break;
        }
    }
    m_notifier->notify(address, summary(name.simplified(), int(listings.size())),
                       body(listings.first()), listings.first().photoFile);
    m_unseen += int(listings.size());
    emit unseenCountChanged(m_unseen);
}
