#include "scrape/cachetrim.h"

#include "platform/cachelimit.h"
#include "platform/httpclient.h"
#include "platform/pagecache.h"
#include "saved/zestofavorite.h"
#include "scrape/listingpage.h"

#include <QFile>

QList<CacheTrim::KeptListing> CacheTrim::keptListings()
{
    QList<KeptListing> listings;
    for (const ZestoFavorite &favorite : ZestoFavorite::getFavorites()) {
        const QString url = favorite.url();
        if (!url.isEmpty())
            listings.append({ url, ZestoScrapeSetting::settingsForUrl(url) });
    }
    return listings;
}

QSet<QString> CacheTrim::filesOf(const QList<KeptListing> &listings)
{
    QSet<QString> files;
    for (const KeptListing &listing : listings) {
        files.insert(PageCache::fileName(listing.url));
        QFile page(PageCache::pagePath(listing.url));
        if (!page.open(QIODevice::ReadOnly))
            continue;
        const ListingPage scraped = ListingPage::scrape(page.read(HttpClient::defaultMaxBytes),
                                                        listing.url, listing.rules);
        for (const QString &photo : scraped.photos)
            files.insert(PageCache::fileName(photo));
    }
    return files;
}

QSet<QString> CacheTrim::favoriteFiles()
{
    return filesOf(keptListings());
}

qint64 CacheTrim::trimKeepingFavorites(qint64 limit)
{
    return CacheLimit::trim(limit, favoriteFiles());
}
