#include "saved/zestobookmark.h"

#include "platform/defaultskeys.h"
#include "platform/userdefaults.h"
#include "saved/savedrecordstore.h"

QList<ZestoBookmark> ZestoBookmark::getBookmarks()
{
    QList<ZestoBookmark> bookmarks;
    for (const SavedRecordStore::Record &record : SavedRecordStore::read(DefaultsKeys::bookmarks))
        bookmarks.append(ZestoBookmark(record.title, record.url));
    return bookmarks;
}

void ZestoBookmark::setBookmarks(const QList<ZestoBookmark> &bookmarks)
{
    QList<SavedRecordStore::Record> records;
    records.reserve(bookmarks.size());
    for (const ZestoBookmark &bookmark : bookmarks)
        records.append({ bookmark.title(), bookmark.url() });
    SavedRecordStore::write(DefaultsKeys::bookmarks, records);
}

void ZestoBookmark::addToBookmarks() const
{
    QList<ZestoBookmark> bookmarks = getBookmarks();
    bookmarks.append(*this);
    setBookmarks(bookmarks);
    UserDefaults::standard().synchronize();
}

void ZestoBookmark::removeBookmarkAtIndex(int index)
{
    QList<ZestoBookmark> bookmarks = getBookmarks();
    if (index >= 0 && index < bookmarks.size())
        bookmarks.removeAt(index);
    setBookmarks(bookmarks);
}
