#include "screens/newlistings.h"

#include "saved/bookmarkvisits.h"
#include "saved/zestobookmark.h"
#include "scrape/listingaddress.h"

#include <QSet>

namespace NewListings {

int mark(const QString &address, const LinkExtractor &listings)
{
    if (!listings.parsedLinks() || !ZestoBookmark::isBookmarked(address))
        return 0;
    const BookmarkVisits::Visit last = BookmarkVisits::last(address);
    const QSet<QString> before(last.listings.cbegin(), last.listings.cend());
    QStringList keys;
    int marked = 0;
    for (const ParsedLink::Ptr &link : *listings.parsedLinks()) {
        if (!link)
            continue;
        const QString key = ListingAddress::key(link->url());
        keys.append(key);
        // The first visit has nothing to compare with: nothing is new yet.
        const bool isNew = last.known && !before.contains(key);
        link->setNew(isNew);
        marked += isNew ? 1 : 0;
    }
    BookmarkVisits::record(address, keys, marked);
    return marked;
}

} // namespace NewListings
