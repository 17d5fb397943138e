#include "demo/demopages.h"

#include "demo/democatalogue.h"

#include <QStringList>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

const QLatin1StringView siteName("Listoro Demo Classifieds");

const QLatin1StringView styleSheet(R"css(
* { box-sizing: border-box; }
body { margin: 0; font: 15px/1.45 "Helvetica Neue", Arial, sans-serif; color: #222; background: #f3f1f6; }
a { color: #5b2b9a; text-decoration: none; }
a:hover { text-decoration: underline; }
.site-header { display: flex; align-items: center; gap: 28px; padding: 12px 28px; background: #4b2587; }
.site-header .logo { color: #fff; font-size: 22px; font-weight: bold; white-space: nowrap; }
.search { display: flex; flex: 1; max-width: 520px; margin: 0; }
.search input, .search button { font: inherit; }
.search input { flex: 1; padding: 8px 10px; border: 0; border-radius: 4px 0 0 4px; }
.search button { padding: 8px 16px; border: 0; border-radius: 0 4px 4px 0; background: #ffd166; font-weight: bold; }
.layout { display: flex; gap: 28px; max-width: 1120px; margin: 22px auto; padding: 0 18px; }
.categories { width: 180px; flex: none; }
.categories h2 { font-size: 12px; text-transform: uppercase; letter-spacing: .08em; color: #777; margin: 4px 0 8px; }
.categories ul { list-style: none; margin: 0; padding: 0; }
.categories li { padding: 4px 0; }
.categories .count { color: #999; font-size: 13px; }
main { flex: 1; min-width: 0; }
h1.page-heading { font-size: 20px; margin: 0 0 12px; }
ul.results { list-style: none; margin: 0; padding: 0; background: #fff; border-radius: 6px; box-shadow: 0 1px 3px rgba(0,0,0,.12); }
li.result-row { overflow: hidden; padding: 12px 16px; border-bottom: 1px solid #eee; min-height: 72px; }
li.result-row:last-child { border-bottom: 0; }
a.result-image { float: left; margin-right: 16px; }
a.result-image img { display: block; width: 150px; height: auto; border-radius: 4px; }
li.result-row > a.result-title:first-child { margin-left: 166px; }
a.result-title { display: block; font-size: 17px; font-weight: 600; margin: 2px 0 6px; }
.result-price { color: #1b7f3b; font-weight: bold; }
.result-date { color: #888; font-size: 13px; }
.result-hood { color: #777; }
.no-results { padding: 32px; text-align: center; color: #777; }
nav.pager { display: flex; justify-content: center; align-items: center; gap: 18px; margin: 18px 0; }
nav.pager a { padding: 6px 14px; background: #fff; border: 1px solid #ccc; border-radius: 4px; }
.range { color: #555; }
.posting { background: #fff; border-radius: 6px; padding: 22px 26px; box-shadow: 0 1px 3px rgba(0,0,0,.12); }
.breadcrumbs { color: #777; font-size: 14px; margin: 0 0 10px; }
h1.posting-title { font-size: 26px; margin: 0 0 16px; }
h1.posting-title .price { color: #1b7f3b; margin-left: 10px; }
.gallery .main-photo { display: block; max-width: 100%; max-height: 540px; border-radius: 4px; margin-bottom: 10px; }
.thumbs { display: flex; flex-wrap: wrap; align-items: flex-start; gap: 8px; }
.thumbs img { display: block; width: 96px; height: auto; border-radius: 3px; border: 2px solid transparent; }
.thumbs a:hover img { border-color: #5b2b9a; }
.posting-body { font-size: 16px; margin: 20px 0; max-width: 740px; }
.posting-info { color: #888; font-size: 13px; margin: 0; }
footer { text-align: center; color: #888; font-size: 13px; padding: 18px 0 30px; }
)css");

QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

QString document(const QString &title, const QString &main, const QString &aside = QString(),
                 const DemoCatalogue::Search &search = {})
{
    QString html;
    html += u"<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
            u"<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
    html += escaped(title);
    html += u"</title>\n<style>";
    html += styleSheet;
    html += u"</style>\n</head>\n<body>\n<header class=\"site-header\">\n<a class=\"logo\" href=\"";
    html += DemoPages::searchPath(1);
    html += u"\">";
    html += siteName;
    html += u"</a>\n<form class=\"search\" action=\"/listoro-demo/search\" method=\"get\">"
            u"<input type=\"search\" name=\"query\" placeholder=\"search for sale\" "
            u"aria-label=\"search for sale\" value=\""_s;
    html += escaped(search.words);
    html += u"\">"_s;
    if (search.category >= 0)
        html += u"<input type=\"hidden\" name=\"cat\" value=\"%1\">"_s.arg(search.category);
    html += u"<button type=\"submit\">search</button></form>\n</header>\n<div "
            u"class=\"layout\">\n"_s;
    html += aside;
    html += u"<main>\n";
    html += main;
    html += u"</main>\n</div>\n<footer>";
    html += siteName;
    html += u" · a demonstration site · no real listings</footer>\n</body>\n</html>\n";
    return html;
}

QString categorySidebar(const DemoCatalogue &catalogue, int current = -1)
{
    QList<int> counts(DemoCatalogue::categoryCount(), 0);
    for (int index = 0; index < catalogue.listingCount(); ++index)
        ++counts[catalogue.listing(index).category];
    QString html = u"<aside class=\"categories\">\n<h2>for sale</h2>\n<ul>\n"_s;
    for (int category = 0; category < DemoCatalogue::categoryCount(); ++category) {
        html += u"<li%1><a href=\"%2\">%3</a> <span class=\"count\">%4</span></li>\n"_s.arg(
            category == current ? u" class=\"current\""_s : QString(),
            escaped(DemoPages::searchPath(1, { QString(), category })),
            escaped(DemoCatalogue::categoryName(category).toLower()),
            QString::number(counts.at(category)));
    }
    html += u"</ul>\n</aside>\n";
    return html;
}

QString resultRow(const DemoListing &listing)
{
    const QString link = DemoPages::listingPath(listing.id);
    QString html = u"  <li class=\"result-row\" data-id=\"%1\">\n"_s.arg(listing.id);
    if (listing.photoCount > 0) {
        html += u"    <a class=\"result-image\" href=\"%1\"><img class=\"thumb\" src=\"%2\" "
                u"alt=\"\"></a>\n"_s.arg(link, DemoPages::photoPath(listing.id, 0, true));
    }
    html += u"    <a class=\"result-title\" href=\"%1\">%2</a>\n"_s.arg(link,
                                                                        escaped(listing.title));
    html += u"    <span class=\"result-price\">%1</span> <span class=\"result-date\">%2</span> "
            u"<span class=\"result-hood\">(%3)</span>\n  </li>\n"_s.arg(
                escaped(listing.priceText()), escaped(listing.postedText()),
                escaped(listing.neighbourhood));
    return html;
}

} // namespace

QByteArray DemoPages::resultsPage(const DemoCatalogue &catalogue, int page,
                                  const DemoCatalogue::Search &search)
{
    const QList<DemoListing> listings = catalogue.listingsOnPage(page, search);
    const QString category = DemoCatalogue::categoryName(search.category).toLower();
    const QString words = search.words.simplified();
    QString heading = category.isEmpty() ? u"for sale in Montréal"_s
                                         : u"%1 for sale in Montréal"_s.arg(category);
    if (!words.isEmpty())
        heading = category.isEmpty() ? u"“%1” for sale"_s.arg(words)
                                     : u"“%1” in %2"_s.arg(words, category);
    QString main
        = u"<h1 class=\"page-heading\">%1</h1>\n<ul class=\"results\">\n"_s.arg(escaped(heading));
    for (const DemoListing &listing : listings)
        main += resultRow(listing);
    main += u"</ul>\n"_s;
    const int total
        = search.isEmpty() ? catalogue.listingCount() : int(catalogue.matching(search).size());
    if (listings.isEmpty() && total == 0)
        main += u"<p class=\"no-results\">Nothing matches: try other words or another "
                u"category.</p>\n"_s;
    else if (listings.isEmpty())
        main += u"<p class=\"no-results\">No more listings: try an earlier page.</p>\n"_s;

    main += u"<nav class=\"pager\">"_s;
    if (page > 1) {
        main += u"<a class=\"prev\" href=\"%1\">‹ prev</a>\n  "_s.arg(
            escaped(searchPath(page - 1, search)));
    }
    if (listings.isEmpty()) {
        main += u"<span class=\"range\">%1 listings in all</span>"_s.arg(total);
    } else {
        const int first = (page - 1) * catalogue.listingsPerPage() + 1;
        main += u"<span class=\"range\">%1 - %2 of %3</span>"_s.arg(first)
                    .arg(first + int(listings.size()) - 1)
                    .arg(total);
    }
    if (page < catalogue.pages(search)) {
        main += u"\n  <a class=\"next\" href=\"%1\">next ›</a>"_s.arg(
            escaped(searchPath(page + 1, search)));
    }
    main += u"</nav>\n"_s;

    const QString title = page > 1 ? u"%1, page %2 - %3"_s.arg(heading).arg(page).arg(siteName)
                                   : u"%1 - %2"_s.arg(heading, siteName);
    return document(title, main, categorySidebar(catalogue, search.category), search).toUtf8();
}

QByteArray DemoPages::listingPage(const DemoListing &listing, const QString &base)
{
    QString main
        = u"<article class=\"posting\">\n<p class=\"breadcrumbs\"><a href=\"%1\">for "
          u"sale</a> › %2 › %3</p>\n"_s.arg(
              searchPath(1), escaped(DemoCatalogue::categoryName(listing.category).toLower()),
              escaped(listing.neighbourhood));
    main += u"<h1 class=\"posting-title\"><span id=\"titletext\">%1</span> <span "
            u"class=\"price\">%2</span></h1>\n"_s.arg(escaped(listing.title),
                                                      escaped(listing.priceText()));
    main += u"<div class=\"gallery\">\n"_s;
    if (listing.photoCount > 0) {
        main += u"  <img class=\"main-photo\" src=\"%1%2\" alt=\"\">\n"_s.arg(
            base, photoPath(listing.id, 0, false));
    }
    main += u"  <div class=\"thumbs\">"_s;
    for (int k = 0; k < listing.photoCount; ++k) {
        main += u"\n    <a class=\"photo\" href=\"%1%2\"><img src=\"%1%3\" alt=\"\"></a>"_s.arg(
            base, photoPath(listing.id, k, false), photoPath(listing.id, k, true));
    }
    main += u"</div>\n</div>\n"_s;
    main += u"<section class=\"posting-body\">%1</section>\n"_s.arg(escaped(listing.description));
    main += u"<p class=\"posting-info\">posted: <time>%1</time> · id: %2</p>\n</article>\n"_s.arg(
        escaped(listing.posted), QString::number(listing.id));

    const QString title = u"%1 - %2 (%3) - %4"_s.arg(listing.title, listing.priceText(),
                                                     listing.neighbourhood, siteName);
    return document(title, main).toUtf8();
}

QByteArray DemoPages::notFoundPage(const QString &path)
{
    return u"<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
           u"<title>404 Not Found</title>\n</head>\n<body>\n<h1>404 Not Found</h1>\n"
           u"<p>There is no page at %1 on this server.</p>\n</body>\n</html>\n"_s.arg(escaped(path))
               .toUtf8();
}

QByteArray DemoPages::serverErrorPage()
{
    return QByteArrayLiteral(
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<title>500 Internal Server Error</title>\n</head>\n<body>\n"
        "<h1>500 Internal Server Error</h1>\n"
        "<p>Something went wrong on our side. Please try again later.</p>\n"
        "</body>\n</html>\n");
}

QString DemoPages::searchPath(int page, const DemoCatalogue::Search &search)
{
    QStringList items;
    if (const QString words = search.words.simplified(); !words.isEmpty())
        items << u"query="_s + QString::fromLatin1(QUrl::toPercentEncoding(words));
    if (search.category >= 0)
        items << u"cat=%1"_s.arg(search.category);
    if (page > 1)
        items << u"page=%1"_s.arg(page);
    return items.isEmpty() ? u"/listoro-demo/search"_s
                           : u"/listoro-demo/search?"_s + items.join(u'&');
}

QString DemoPages::listingPath(qint64 id)
{
    return u"/listoro-demo/item/%1.html"_s.arg(id);
}

QString DemoPages::photoPath(qint64 id, int k, bool thumb)
{
    return u"/listoro-demo/photos/%1-%2%3.jpg"_s.arg(id).arg(k).arg(thumb ? u"-thumb"_s
                                                                          : QString());
}
