#include "saved/zestobookmark.h"

#include "platform/defaultskeys.h"
#include "saved/savedrecordstore.h"

#include <QSet>

#include <algorithm>

QList<ZestoBookmark> ZestoBookmark::getBookmarks()
{
    return SavedRecordStore::readAll<ZestoBookmark>(DefaultsKeys::bookmarks);
}

void ZestoBookmark::setBookmarks(const QList<ZestoBookmark> &bookmarks)
{
    SavedRecordStore::writeAll(DefaultsKeys::bookmarks, bookmarks);
}

void ZestoBookmark::addToBookmarks() const
{
    SavedRecordStore::append(DefaultsKeys::bookmarks, *this);
}

void ZestoBookmark::removeBookmarkAtIndex(int index)
{
    QList<ZestoBookmark> bookmarks = getBookmarks();
    if (index >= 0 && index < bookmarks.size())
        bookmarks.removeAt(index);
    setBookmarks(bookmarks);
}

bool ZestoBookmark::isBookmarked(const QString &url)
{
    const QList<ZestoBookmark> bookmarks = getBookmarks();
    return std::any_of(bookmarks.cbegin(), bookmarks.cend(),
                       [&url](const ZestoBookmark &bookmark) { return bookmark.url() == url; });
}

QVariantMap ZestoBookmark::onlyBookmarked(const QVariantMap &byAddress, const QString &also)
{
    QSet<QString> kept{ also };
    for (const ZestoBookmark &bookmark : getBookmarks())
        kept.insert(bookmark.url());
    QVariantMap entries;
    for (auto it = byAddress.cbegin(); it != byAddress.cend(); ++it) {
        if (kept.contains(it.key()))
            entries.insert(it.key(), it.value());
    }
    return entries;
}
