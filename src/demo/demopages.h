#pragma once

#include "demo/democatalogue.h"

#include <QByteArray>
#include <QString>

struct DemoListing;

// The HTML of the demo site's pages, UTF-8 encoded. Results pages link listings and thumbnails
// root-relative; listing pages link their photos absolutely, under `base` (the server's own
// address, as "http://127.0.0.1:PORT"), the way sites whose photos live on an image host do.
class DemoPages
{
public:
    // A page of a search's results; its pager, search box and category links keep the search.
    static QByteArray resultsPage(const DemoCatalogue &catalogue, int page,
                                  const DemoCatalogue::Search &search = {});
    static QByteArray listingPage(const DemoListing &listing, const QString &base);
    static QByteArray notFoundPage(const QString &path);
    static QByteArray serverErrorPage();

    // The address of a search's results page: query= and cat= for a search, page= after the
    // first page.
    static QString searchPath(int page, const DemoCatalogue::Search &search = {});
    static QString listingPath(qint64 id);
    static QString photoPath(qint64 id, int k, bool thumb);
};
