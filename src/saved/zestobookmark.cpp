#include "saved/zestobookmark.h"

#include "platform/defaultskeys.h"
#include "saved/savedrecordstore.h"

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
