#include "common/testregistry.h"

#include "demo/democatalogue.h"
#include "demo/demopages.h"
#include "demo/demosite.h"
#include "htmlscan.h"
#include "rawhttp.h"

#include <QImage>
#include <QTest>

#include <algorithm>
#include <memory>
#include <set>

using namespace Qt::StringLiterals;

// The pages as the shipped scrape rules see them: classes, links and texts.
class TestDemoPages final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void resultsPage_listsThePageAndLinksItsNeighbours_data();
    void resultsPage_listsThePageAndLinksItsNeighbours();
    void listingPage_carriesTitleAndAbsolutePhotoLinks_data();
    void listingPage_carriesTitleAndAbsolutePhotoLinks();
    void photos_decodeAtTheirAnnouncedSizes();
    void search_findsWhatWasAskedAndKeepsItOnEveryPage_data();
    void search_findsWhatWasAskedAndKeepsItOnEveryPage();

private:
    static HtmlScan fetchPage(const QUrl &url);

    std::unique_ptr<DemoSite> site;
};

void TestDemoPages::initTestCase()
{
    site = std::make_unique<DemoSite>();
    QVERIFY(site->start());
}

HtmlScan TestDemoPages::fetchPage(const QUrl &url)
{
    const RawHttpResponse response = RawHttpResponse::get(url);
    if (response.status != 200 || response.contentType != "text/html; charset=utf-8")
        return HtmlScan(u"<p>status %1"_s.arg(response.status));
    return HtmlScan(QString::fromUtf8(response.body));
}

void TestDemoPages::resultsPage_listsThePageAndLinksItsNeighbours_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<int>("page");
    QTest::addColumn<QStringList>("prev");
    QTest::addColumn<QStringList>("next");
    QTest::addColumn<QString>("range");

    auto link = [](int page) {
        return QStringList{ u"/listoro-demo/search?page=%1"_s.arg(page) };
    };
    const QStringList none;
    const QString firstRange = u"1 - 20 of 100"_s;
    QTest::newRow("first") << QString() << 1 << none << link(2) << firstRange;
    QTest::newRow("page=1") << u"?page=1"_s << 1 << none << link(2) << firstRange;
    QTest::newRow("middle") << u"?page=3"_s << 3 << link(2) << link(4) << u"41 - 60 of 100"_s;
    QTest::newRow("last") << u"?page=5"_s << 5 << link(4) << none << u"81 - 100 of 100"_s;
    QTest::newRow("beyond the last")
        << u"?page=6"_s << 6 << link(5) << none << u"100 listings in all"_s;
    QTest::newRow("not a number") << u"?page=two"_s << 1 << none << link(2) << firstRange;
}

void TestDemoPages::resultsPage_listsThePageAndLinksItsNeighbours()
{
    QFETCH(QString, query);
    QFETCH(int, page);
    QFETCH(QStringList, prev);
    QFETCH(QStringList, next);
    QFETCH(QString, range);

    const HtmlScan html = fetchPage(QUrl(site->searchUrl().toString() + query));
    QVERIFY2(html.error().isEmpty(), qPrintable(html.error()));
    QCOMPARE(html.values("meta", "", -1, "charset").value(0), u"utf-8"_s);

    const QList<int> lists = html.find("ul", "results");
    QCOMPARE(lists.size(), 1);
    const QList<int> rows = html.find("li", "result-row", lists[0]);
    const QList<DemoListing> expected = site->listingsOnPage(page);
    QCOMPARE(rows.size(), expected.size());
    for (int i = 0; i < rows.size(); ++i) {
        const DemoListing &listing = expected.at(i);
        const QStringList link{ u"/listoro-demo/item/%1.html"_s.arg(listing.id) };
        const QStringList thumb{ u"/listoro-demo/photos/%1-0-thumb.jpg"_s.arg(listing.id) };
        const bool photos = listing.photoCount > 0;
        QCOMPARE(html.attribute(rows[i], "data-id"), QString::number(listing.id));
        QCOMPARE(html.values("a", "result-title", rows[i], "href"), link);
        QCOMPARE(html.values("a", "result-title", rows[i]), QStringList{ listing.title });
        QCOMPARE(html.values("span", "result-price", rows[i]),
                 QStringList{ u"$%1"_s.arg(listing.price) });
        QCOMPARE(html.values("span", "result-hood", rows[i]),
                 QStringList{ u'(' + listing.neighbourhood + u')' });
        QCOMPARE(html.values("a", "result-image", rows[i], "href"), photos ? link : QStringList());
        QCOMPARE(html.values("img", "thumb", rows[i], "src"), photos ? thumb : QStringList());
    }

    const QList<int> pager = html.find("nav", "pager");
    QCOMPARE(pager.size(), 1);
    QCOMPARE(html.values("a", "prev", pager[0], "href"), prev);
    QCOMPARE(html.values("a", "next", pager[0], "href"), next);
    QCOMPARE(html.values("span", "range", pager[0]), QStringList{ range });
}

void TestDemoPages::listingPage_carriesTitleAndAbsolutePhotoLinks_data()
{
    QTest::addColumn<int>("index");

    auto firstWhere = [this](const char *name, auto predicate) {
        int index = 0;
        while (index < site->listingCount() && !predicate(site->listing(index)))
            ++index;
        QTest::newRow(name) << (index < site->listingCount() ? index : -1);
    };
    const int most = site->options().maxPhotos;
    firstWhere("no photos", [](const DemoListing &l) { return l.photoCount == 0; });
    firstWhere("most photos", [most](const DemoListing &l) { return l.photoCount == most; });
    firstWhere("title with HTML characters", [](const DemoListing &l) {
        return l.title.contains(u'&') || l.title.contains(u'<') || l.title.contains(u'"');
    });
}

void TestDemoPages::listingPage_carriesTitleAndAbsolutePhotoLinks()
{
    QFETCH(int, index);
    QVERIFY2(index >= 0, "the default site has no such listing");
    const DemoListing listing = site->listing(index);

    const HtmlScan html = fetchPage(site->listingUrl(index));
    QVERIFY2(html.error().isEmpty(), qPrintable(html.error()));
    const QList<int> heading = html.find("h1", "posting-title");
    QCOMPARE(heading.size(), 1);
    QCOMPARE(html.values("span", "", heading[0], "id"), (QStringList{ u"titletext"_s, QString() }));
    QCOMPARE(html.values("span", "", heading[0]),
             (QStringList{ listing.title, u"$%1"_s.arg(listing.price) }));

    // Photo links are absolute, under the server's own address.
    const QString photo
        = u"http://127.0.0.1:%1/listoro-demo/photos/%2-%3.jpg"_s.arg(site->port()).arg(listing.id);
    QStringList photos, thumbs;
    for (int k = 0; k < listing.photoCount; ++k) {
        photos.append(photo.arg(k));
        thumbs.append(photo.arg(u"%1-thumb"_s.arg(k)));
    }
    const QList<int> gallery = html.find("div", "gallery");
    const QList<int> thumbList = html.find("div", "thumbs", gallery.value(0));
    QVERIFY(gallery.size() == 1 && thumbList.size() == 1);
    QCOMPARE(html.values("img", "main-photo", gallery[0], "src"), photos.mid(0, 1));
    QCOMPARE(html.values("a", "photo", thumbList[0], "href"), photos);
    QCOMPARE(html.values("img", "", thumbList[0], "src"), thumbs);
    QCOMPARE(html.values("section", "posting-body", -1), QStringList{ listing.description });
    QVERIFY(html.values("p", "posting-info", -1).value(0).endsWith(u"id: %1"_s.arg(listing.id)));
}

void TestDemoPages::photos_decodeAtTheirAnnouncedSizes()
{
    std::set<std::pair<int, int>> sizes;
    for (int index = 0; index < 30; ++index) {
        for (int k = 0; k < site->listing(index).photoCount; k += 3) {
            for (bool thumb : { false, true }) {
                const RawHttpResponse response
                    = RawHttpResponse::get(site->photoUrl(index, k, thumb));
                QCOMPARE(response.contentType, QByteArray("image/jpeg"));
                const QImage image = QImage::fromData(response.body, "JPEG");
                QCOMPARE(image.size(), site->photoSize(index, k, thumb));
                QCOMPARE(image.width() == 150, thumb);
                sizes.emplace(image.width(), image.height());
            }
        }
    }
    QVERIFY(sizes.size() >= 8); // landscape, portrait and square photos, and their thumbnails
}

LISTORO_TEST(TestDemoPages)
#include "tst_demopages.moc"

void TestDemoPages::search_findsWhatWasAskedAndKeepsItOnEveryPage_data()
{
    QTest::addColumn<QString>("words");
    QTest::addColumn<int>("category");
    QTest::newRow("a word") << u"table"_s << -1;
    QTest::newRow("two words, any case") << u"OAK Table"_s << -1;
    QTest::newRow("a category") << QString() << 2;
    QTest::newRow("a word in a category") << u"a"_s << 0;
    QTest::newRow("nothing matches") << u"zzzqqq"_s << -1;
    QTest::newRow("as a form sends it") << u"oak+table"_s << -1;
}

// The search box and the category links find only what they ask for, the pager and the box
// keep the search, and every listing found is listed once over the pages.
void TestDemoPages::search_findsWhatWasAskedAndKeepsItOnEveryPage()
{
    QFETCH(QString, words);
    QFETCH(int, category);
    // A form sends "+" for a space: the row's words are then what the address carries.
    const QString typed = QString(words).replace(u'+', u' ');
    const DemoCatalogue::Search search{ typed, category };
    QList<qint64> expected;
    for (int i = 0; i < site->listingCount(); ++i) {
        const DemoListing listing = site->listing(i);
        const QString text = listing.title + u' ' + listing.description;
        const QStringList asked = typed.split(u' ', Qt::SkipEmptyParts);
        if ((category < 0 || listing.category == category)
            && std::all_of(asked.cbegin(), asked.cend(),
                           [&](const QString &w) { return text.contains(w, Qt::CaseInsensitive); }))
            expected.append(listing.id);
    }
    QList<qint64> found;
    QString path = words.contains(u'+') ? u"/listoro-demo/search?query="_s + words
                                        : DemoPages::searchPath(1, search);
    for (int pages = 0; !path.isEmpty() && pages < 10; ++pages) {
        const HtmlScan html = fetchPage(QUrl(
            site->searchUrl().adjusted(QUrl::RemovePath | QUrl::RemoveQuery).toString() + path));
        QVERIFY2(html.error().isEmpty(), qPrintable(html.error()));
        for (int row : html.find("li", "result-row"))
            found.append(html.attribute(row, "data-id").toLongLong());
        QCOMPARE(html.values("input", "", -1, "value").value(0), typed);
        const QStringList next = html.values("a", "next", -1, "href");
        if (!next.isEmpty())
            QVERIFY(next.first().startsWith(DemoPages::searchPath(1, search)));
        path = next.value(0);
        if (expected.isEmpty())
            QCOMPARE(html.find("p", "no-results").size(), 1);
    }
    QCOMPARE(found, expected);
    QVERIFY(expected.size() < site->listingCount());
}
