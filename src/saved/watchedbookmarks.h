#pragma once

#include <QList>
#include <QString>

// The bookmarks the user watches, each with its period in minutes, kept in the settings store by
// bookmark address. Watches of pages no longer bookmarked go when the list is next written.
namespace WatchedBookmarks {

// A period unless the user chose another, and the periods allowed.
inline constexpr int defaultMinutes = 30;
inline constexpr int minimumMinutes = 5;
inline constexpr int maximumMinutes = 24 * 60;

struct Watch
{
    QString address;
    int minutes = 0;
};

// Of bookmarked pages only, in the bookmarks' order.
QList<Watch> all();
bool isWatched(const QString &address);
// minutes is kept within the allowed periods.
void setWatched(const QString &address, bool watched, int minutes);

} // namespace WatchedBookmarks
