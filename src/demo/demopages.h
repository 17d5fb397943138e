#pragma once

#include <QByteArray>
#include <QString>

class DemoCatalogue;
struct DemoListing;

// The HTML of the demo site's pages, UTF-8 encoded. Results pages link listings and thumbnails
// root-relative; listing pages link their photos absolutely, under `base` (the server's own
// address, as "http://127.0.0.1:PORT"), the way sites whose photos live on an image host do.
class DemoPages
{
public:
    static QByteArray resultsPage(const DemoCatalogue &catalogue, int page);
    static QByteArray listingPage(const DemoListing &listing, const QString &base);
    static QByteArray notFoundPage(const QString &path);
    static QByteArray serverErrorPage();

    static QString searchPath(int page);
    static QString listingPath(qint64 id);
    static QString photoPath(qint64 id, int k, bool thumb);
};
