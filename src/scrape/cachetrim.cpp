#include "scrape/cachetrim.h"

#include "platform/cachelimit.h"
#include "platform/httpclient.h"
#include "platform/pagecache.h"
#include "saved/zestofavorite.h"
#include "scrape/listingpage.h"
#include "scrape/zestoscrapesetting.h"

#include <QFile>

QSet<QString> CacheTrim::favoriteFiles()
{
    QSet<QString> files;
    for (const ZestoFavorite &favorite : ZestoFavorite::getFavorites()) {
        const QString url = favorite.url();
        if (url.isEmpty())
            continue;
        files.insert(PageCache::fileName(url));
        QFile page(PageCache::pagePath(url));
        if (!page.open(QIODevice::ReadOnly))
            continue;
        const ListingPage listing = ListingPage::scrape(page.read(HttpClient::defaultMaxBytes), url,
                                                        ZestoScrapeSetting::settingsForUrl(url));
        for (const QString &photo : listing.photos)
            files.insert(PageCache::fileName(photo));
    }
    return files;
}

qint64 CacheTrim::trimKeepingFavorites(qint64 limit)
{
    return CacheLimit::trim(limit, favoriteFiles());
}
