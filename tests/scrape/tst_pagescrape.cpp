#include "common/testregistry.h"

#include "scrape/listingpage.h"
#include "scrape/resultspage.h"

#include <QTest>

namespace {

ZestoScrapeSetting rules(const QString &link, const QString &linkExtract, const QString &next = {},
                         const QString &nextExtract = {})
{
    ZestoScrapeSetting s;
    s.setRegex("host");
    s.setLink(link);
    s.setLink_extract(linkExtract);
    s.setNext(next);
    s.setNext_extract(nextExtract);
    return s;
}

QByteArray html(const QByteArray &body)
{
    return "<html><body>" + body + "</body></html>";
}

} // namespace

class TestPageScrape : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void links_withoutValueAreDroppedWithoutGaps()
    {
        const QByteArray page
            = html("<a class='l' href='/1.html'>one</a><a class='l' href='2.html'>two</a>"
                   "<a class='l'>no href</a><a class='l' href='http://o/4'>four</a>"
                   "<a class='l' href='a b'>five</a>");
        const ResultsPage r = ResultsPage::scrape(page, "http://host/dir/index.html",
                                                  rules("//a[@class='l']", "href"));
        QVERIFY(!r.noLinkNodes);
        QCOMPARE(r.links.size(), 4);
        QCOMPARE(r.links.at(0).url, "http://host/1.html");
        QCOMPARE(r.links.at(1).url, "http://host/dir/index.html/2.html");
        QCOMPARE(r.links.at(2).url, "http://o/4");
        QCOMPARE(r.links.at(2).title, "four");
        QCOMPARE(r.links.at(3).idInList, 3);
        QVERIFY(r.links.at(3).url.isNull()); // "a b" cannot form a URL but is registered
        QVERIFY(r.nextLink.isNull());
    }

    // One listing per address, its text from whichever of its links has some.
    void links_oneListingPerAddress_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QStringList>("listings"); // "title url" per listing
        QTest::newRow("photo link then title link")
            << QByteArray("<a href='/1'><img src='p.jpg'></a><a href='/1'>Sofa</a>"
                          "<a href='/2'>Chair</a>")
            << QStringList{ "Sofa http://host/1", "Chair http://host/2" };
        QTest::newRow("fragment, tracking, case, default port")
            << QByteArray("<a href='/1?id=7'>A</a><a href='HTTP://HOST:80/1?id=7#photos'>B</a>"
                          "<a href='/1?utm_source=x&id=7&fbclid=y'>C</a><a href='/1?id=8'>D</a>")
            << QStringList{ "A http://host/1?id=7", "D http://host/1?id=8" };
        QTest::newRow("same path on another host stays")
            << QByteArray("<a href='/1'>A</a><a href='//other/1'>B</a>")
            << QStringList{ "A http://host/1", "B http://other/1" };
    }
    void links_oneListingPerAddress()
    {
        QFETCH(QByteArray, body);
        QFETCH(QStringList, listings);
        const ResultsPage r
            = ResultsPage::scrape(html(body), "http://host/s", rules("//a", "href"));
        QStringList found;
        for (const ResultsPage::Link &link : r.links) {
            found << link.title + u' ' + link.url;
            QCOMPARE(link.idInList, found.size() - 1);
        }
        QCOMPARE(found, listings);
    }

    void noLinkNodes_reported_data()
    {
        QTest::addColumn<bool>("withRules");
        QTest::addColumn<QString>("query");
        QTest::newRow("no rule set") << false << "";
        QTest::newRow("no link query") << true << QString();
        QTest::newRow("nothing matched") << true << "//table";
    }
    void noLinkNodes_reported()
    {
        QFETCH(bool, withRules);
        QFETCH(QString, query);
        const QByteArray page = html("<a href='/1'>1</a><a class='next' href='/p2'>next</a>");
        std::optional<ZestoScrapeSetting> set;
        if (withRules)
            set = rules(query, "href", "//a[@class='next']", "href");
        const ResultsPage r = ResultsPage::scrape(page, "http://host/", set);
        QVERIFY(r.noLinkNodes);
        QVERIFY(r.links.isEmpty());
        QVERIFY(r.nextLink.isNull());
    }

    void linksWithoutValues_stillLookForNextLink()
    {
        const QByteArray page = html("<a class='l'>x</a><a class='next' href='/p2'>next</a>");
        const ResultsPage r = ResultsPage::scrape(
            page, "http://host/s",
            rules("//a[@class='l']", QString(), "//a[@class='next']", "href"));
        QVERIFY(!r.noLinkNodes);
        QVERIFY(r.links.isEmpty());
        QCOMPARE(r.nextLink, "http://host/p2");
    }

    void contentDirective_takesAttributeNodeText()
    {
        const QByteArray page = html("<a href='http://o/1'>t</a>");
        const ResultsPage r
            = ResultsPage::scrape(page, "http://host/", rules("//a/@href", "@content"));
        QCOMPARE(r.links.size(), 1);
        QCOMPARE(r.links.first().title, "http://o/1");
        QCOMPARE(r.links.first().url, "http://o/1");
    }

    void nextLink_data()
    {
        QTest::addColumn<QString>("pageUrl");
        QTest::addColumn<QByteArray>("nextHtml");
        QTest::addColumn<QString>("next");
        QTest::newRow("absolute stays as found")
            << "http://host/dir/index.html"
            << QByteArray("<a class='n' href='http://h2/p?x=1&amp;y'>n</a>") << "http://h2/p?x=1&y";
        QTest::newRow("relative file")
            << "http://host/dir/index.html" << QByteArray("<a class='n' href='page2.html'>n</a>")
            << "http://host/dir/page2.html";
        QTest::newRow("root-relative") << "http://host/dir/index.html"
                                       << QByteArray("<a class='n' href='/dir/page2.html'>n</a>")
                                       << "http://host/dir/page2.html";
        QTest::newRow("query only") << "https://bend.craigslist.org/search/jjj"
                                    << QByteArray("<a class='n' href='/search/jjj?s=120'>n</a>")
                                    << "https://bend.craigslist.org/search/jjj?s=120";
        QTest::newRow("last node wins")
            << "http://host/s"
            << QByteArray("<a class='n' href='/p2'>2</a><a class='n' href='/p3'>3</a>")
            << "http://host/p3";
        QTest::newRow("equals a listing")
            << "http://host/s" << QByteArray("<a class='n' href='http://o/1'>n</a>") << QString();
        QTest::newRow("no href") << "http://host/s" << QByteArray("<a class='n'>n</a>")
                                 << QString();
        QTest::newRow("page url does not parse")
            << "http://host/a b" << QByteArray("<a class='n' href='p2'>n</a>") << QString();
        QTest::newRow("scheme-relative takes the page's scheme")
            << "https://host/s" << QByteArray("<a class='n' href='//host/search?s=2'>n</a>")
            << "https://host/search?s=2";
        QTest::newRow("javascript is no next page")
            << "http://host/s" << QByteArray("<a class='n' href='javascript:next()'>n</a>")
            << QString();
    }
    void nextLink()
    {
        QFETCH(QString, pageUrl);
        QFETCH(QByteArray, nextHtml);
        QFETCH(QString, next);
        const QByteArray page = html("<a class='l' href='http://o/1'>1</a>" + nextHtml);
        const ResultsPage r = ResultsPage::scrape(
            page, pageUrl, rules("//a[@class='l']", "href", "//a[@class='n']", "href"));
        QCOMPARE(r.nextLink, next);
        QCOMPARE(r.nextLink.isNull(), next.isNull());
    }

    void nextLink_usesLinkDirectiveForContent()
    {
        // With "@content" links, the next node's text is taken whatever next's own directive.
        const QByteArray page = html("<p class='l'>http://o/1</p><p class='n'>http://o/page2</p>");
        const ResultsPage r = ResultsPage::scrape(
            page, "http://host/", rules("//p[@class='l']", "@content", "//p[@class='n']", "href"));
        QCOMPARE(r.links.first().url, "http://o/1");
        QCOMPARE(r.nextLink, "http://o/page2");
    }

    void listingTitle_lastNonEmptyWins_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("extract");
        QTest::addColumn<QString>("title");
        QTest::newRow("three") << QByteArray("<h2>First</h2><h2></h2><h2>Second</h2>") << "@content"
                               << "Second";
        QTest::newRow("two") << QByteArray("<h2>First</h2><h2></h2>") << "@content"
                             << "First";
        QTest::newRow("none") << QByteArray("<p>x</p>") << "@content" << QString();
        QTest::newRow("attribute") << QByteArray("<h2 data-t='Attr'>x</h2>") << "data-t"
                                   << "Attr";
        QTest::newRow("missing attribute") << QByteArray("<h2>x</h2>") << "data-t" << QString();
    }
    void listingTitle_lastNonEmptyWins()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, extract);
        QFETCH(QString, title);
        ZestoScrapeSetting s;
        s.setTitle(extract == "@content" ? "//h2/text() | //h2[not(node())]" : "//h2");
        s.setTitle_extract(extract);
        const ListingPage page = ListingPage::scrape(html(body), "http://host/1.html", s);
        QCOMPARE(page.title, title);
    }

    void listingPhotos_duplicateTestBeforeResolution()
    {
        ZestoScrapeSetting s;
        s.setInnerImgsWithHref("//a[@class='big']");
        s.setInnerImgsWithHref_extract("href");
        s.setInnerImgsWithSrc("//img[@class='main']");
        s.setInnerImgsWithSrc_extract("src");
        const QByteArray page = html(
            "<a class='big' href='http://img/1.jpg'>1</a><a class='big' href='rel.jpg'>r</a>"
            "<a class='big' href='rel.jpg'>r again</a><a class='big'>none</a>"
            "<a class='big' href='javascript:zoom(1)'>zoom</a>"
            "<img class='main' src='http://img/1.jpg'><img class='main' src='http://img/2.jpg'>"
            "<img class='main' src='data:image/gif;base64,R0lGODlhAQABAAAAACw='>");
        const ListingPage result
            = ListingPage::scrape(page, "http://host/item/1.html", s, { "http://img/known.jpg" });
        QCOMPARE(result.photos,
                 (QStringList{ "http://img/known.jpg", "http://img/1.jpg",
                               "http://host/item/1.html/rel.jpg", "http://host/item/1.html/rel.jpg",
                               "http://img/2.jpg" }));
        QVERIFY(result.title.isNull());
    }

    void listingPhotos_stopAtTheCap()
    {
        ZestoScrapeSetting s;
        s.setInnerImgsWithSrc("//img");
        s.setInnerImgsWithSrc_extract("src");
        QByteArray body;
        for (int i = 0; i < 5000; ++i)
            body += "<img src='http://img/" + QByteArray::number(i) + ".jpg'>";
        const ListingPage result = ListingPage::scrape(html(body), "http://host/item/1.html", s);
        QCOMPARE(result.photos.size(), ListingPage::maxPhotos);
        QCOMPARE(result.photos.last(),
                 QStringLiteral("http://img/%1.jpg").arg(ListingPage::maxPhotos - 1));
    }

    void listingWithoutRules_givesNothingNew()
    {
        const ListingPage result
            = ListingPage::scrape(html("<h2>x</h2>"), "http://host/1", std::nullopt, { "a" });
        QVERIFY(result.title.isNull());
        QCOMPARE(result.photos, QStringList{ "a" });
    }
};

LISTORO_TEST(TestPageScrape)
#include "tst_pagescrape.moc"
