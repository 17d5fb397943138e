#pragma once

#include <QString>
#include <QStringList>

// What a bookmark's results page listed at its last visit, so that the next visit can tell the
// listings that are new, and how many were new then (the home screen shows it). Kept in the
// settings store by bookmark address; a visit's listings are bounded.
namespace BookmarkVisits {

inline constexpr qsizetype maxListings = 2000;

struct Visit
{
    bool known = false; // false: the page was never visited as a grid
    QStringList listings; // listing keys
    int newCount = 0;
};

Visit last(const QString &address);
// Replaces the visit kept for address; visits of pages no longer bookmarked go.
void record(const QString &address, const QStringList &listings, int newCount);

} // namespace BookmarkVisits
