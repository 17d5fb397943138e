#include "common/testregistry.h"

#include "roadenvironment.h"
#include "roadparent.h"

#include "demo/demosite.h"
#include "saved/zestofavorite.h"
#include "scrape/linkextractor.h"
#include "scrape/parsedlink.h"

#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

// A results page of the demo site all the way to detailed, measured listings, as the grid sees it.

namespace {

constexpr int roadTimeoutMs = 30000;

DemoSite::Options siteOptions(int listingsPerPage, int pages, int maxPhotos)
{
    DemoSite::Options options;
    options.listingsPerPage = listingsPerPage;
    options.pages = pages;
    options.maxPhotos = maxPhotos;
    return options;
}

} // namespace

class TestRoad final : public QObject
{
    Q_OBJECT

    std::unique_ptr<RoadEnvironment> environment;

private slots:
    void init()
    {
        environment = std::make_unique<RoadEnvironment>();
        QVERIFY(environment->isValid());
    }

    void cleanup() { environment.reset(); }

    void resultsPage_detailsEveryListing_data()
    {
        QTest::addColumn<int>("listingsPerPage");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("maxPhotos");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("nextPage"); // 0: no next link

        QTest::newRow("first page") << 12 << 3 << 4 << 1 << 2;
        QTest::newRow("middle page") << 6 << 3 << 3 << 2 << 3;
        QTest::newRow("last page") << 6 << 2 << 2 << 2 << 0;
        QTest::newRow("no photos anywhere") << 5 << 1 << 0 << 1 << 0;
    }

    void resultsPage_detailsEveryListing()
    {
        QFETCH(int, listingsPerPage);
        QFETCH(int, pages);
        QFETCH(int, maxPhotos);
        QFETCH(int, page);
        QFETCH(int, nextPage);

        DemoSite site(siteOptions(listingsPerPage, pages, maxPhotos));
        QVERIFY(site.start());
        const QByteArray html = RoadEnvironment::fetch(site.searchUrl(page));
        QVERIFY(!html.isEmpty());

        RoadParent parent;
        const auto extractor
            = LinkExtractor::initWithData(html, &parent, site.searchUrl(page).toString());
        QCOMPARE(parent.noLinksFound, 0);
        QCOMPARE(extractor->nextLink(), nextPage ? site.searchUrl(nextPage).toString() : QString());
        QCOMPARE(extractor->parsedLinks()->size(), listingsPerPage);

        extractor->startDetailing();
        QTRY_COMPARE_WITH_TIMEOUT(extractor->progress(), 100, roadTimeoutMs);

        const int first = (page - 1) * listingsPerPage;
        for (const ParsedLink::Ptr &record : *extractor->parsedLinks()) {
            const QStringList wrong
                = RoadEnvironment::differences(site, first + record->idInList(), *record);
            QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u"; ")));
            // Sizes were recorded as the photos were stored.
            const auto sizes = record->imagesSizes();
            QVERIFY(sizes);
            QCOMPARE(sizes->size(), record->imagesUrls()->size());
            QVERIFY(record->failedImages().isEmpty());
            QVERIFY(!record->detailFailed());
        }

        // Every change was reported, each followed by its percentage, the last one 100.
        QVERIFY(!parent.calls.isEmpty());
        QCOMPARE(parent.calls.size(), 2 * parent.modified.size());
        for (qsizetype i = 0; i < parent.calls.size(); ++i) {
            QCOMPARE(parent.calls.at(i),
                     i % 2 == 0 ? RoadParent::Call::Modified : RoadParent::Call::Progress);
        }
        QCOMPARE(parent.percents.constLast(), 100);
        for (int id = 0; id < listingsPerPage; ++id)
            QVERIFY2(parent.modified.contains(id), qPrintable(QString::number(id)));
        extractor->stop();
    }

    void pageWithoutListingLinks_saysSoDuringConstruction_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("beyond the last page") << u"/listoro-demo/search?page=3"_s;
        QTest::newRow("a listing page") << u"/listoro-demo/item/7000001.html"_s;
        QTest::newRow("missing page") << u"/listoro-demo/nothing-here"_s;
    }

    void pageWithoutListingLinks_saysSoDuringConstruction()
    {
        QFETCH(QString, path);
        DemoSite site(siteOptions(4, 2, 2));
        QVERIFY(site.start());
        const QUrl url(site.baseUrl().toString() + path);
        const QByteArray html = RoadEnvironment::fetch(url);
        QVERIFY(!html.isEmpty());

        RoadParent parent;
        const auto extractor = LinkExtractor::initWithData(html, &parent, url.toString());
        QCOMPARE(parent.noLinksFound, 1);
        QVERIFY(extractor->parsedLinks());
        QVERIFY(extractor->parsedLinks()->isEmpty());
        QVERIFY(extractor->nextLink().isNull());

        site.resetCounters();
        extractor->startDetailing();
        QCOMPARE(extractor->progress(), 0);
        QVERIFY(parent.calls.isEmpty());
        QCOMPARE(site.requestCount(), 0);
    }

    void tenListings_progressStepsThroughTruncatedPercentages()
    {
        DemoSite site(siteOptions(10, 1, 3));
        QVERIFY(site.start());
        const QByteArray html = RoadEnvironment::fetch(site.searchUrl(1));
        RoadParent parent;
        const auto extractor
            = LinkExtractor::initWithData(html, &parent, site.searchUrl(1).toString());
        parent.extractor = extractor.get();
        extractor->startDetailing();
        QTRY_COMPARE_WITH_TIMEOUT(extractor->progress(), 100, roadTimeoutMs);

        // The percentage of n settled listings of 10, with the quotient in 32-bit floats.
        const QList<int> percentOf{ 0, 10, 20, 30, 40, 50, 60, 69, 80, 89, 100 };
        QCOMPARE(parent.settledAtProgress.size(), parent.percents.size());
        for (qsizetype i = 0; i < parent.percents.size(); ++i)
            QCOMPARE(parent.percents.at(i), percentOf.at(parent.settledAtProgress.at(i)));
        QVERIFY(std::is_sorted(parent.percents.cbegin(), parent.percents.cend()));
        QCOMPARE(parent.percents.constLast(), 100);
        extractor->stop();
    }

    void favorites_detailLikePageListings()
    {
        DemoSite site(siteOptions(6, 1, 3));
        QVERIFY(site.start());
        QList<ZestoFavorite> favorites;
        for (int i : { 4, 0, 2 })
            favorites.append({ u"kept listing %1"_s.arg(i), site.listingUrl(i).toString() });
        // A favorite whose listing has gone: the site answers 404, and the favorite fails.
        const QString gone = site.baseUrl().toString() + u"/listoro-demo/item/1.html"_s;
        favorites.append({ u"gone"_s, gone });

        RoadParent parent;
        const auto extractor = LinkExtractor::initWithFavorites(favorites, &parent);
        QVERIFY(extractor->nextLink().isNull());
        QCOMPARE(extractor->parsedLinks()->size(), 4);
        extractor->startDetailing();
        QTRY_COMPARE_WITH_TIMEOUT(extractor->progress(), 100, roadTimeoutMs);

        const auto &records = *extractor->parsedLinks();
        const QList<int> demoIndex{ 4, 0, 2 };
        for (int id = 0; id < 3; ++id) {
            QCOMPARE(records.value(id)->idInList(), id);
            const QStringList wrong
                = RoadEnvironment::differences(site, demoIndex.at(id), *records.value(id));
            QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u"; ")));
        }
        const ParsedLink::Ptr missing = records.value(3);
        QCOMPARE(missing->title(), u"gone"_s);
        QCOMPARE(missing->url(), gone);
        QVERIFY(missing->detailFailed());
        QCOMPARE(missing->detailFailure(), u"HTTP 404"_s);
        QVERIFY(!missing->done());
        QVERIFY(!missing->imagesUrls());
        // An error page is not kept in the cache.
        QVERIFY(!ParsedLink::isCachedUrl(gone));
        extractor->stop();
    }

    void secondRun_takesPagesAndPhotosFromTheCache()
    {
        DemoSite site(siteOptions(8, 1, 3));
        QVERIFY(site.start());
        const QByteArray html = RoadEnvironment::fetch(site.searchUrl(1));
        const QString url = site.searchUrl(1).toString();
        {
            RoadParent parent;
            const auto first = LinkExtractor::initWithData(html, &parent, url);
            first->startDetailing();
            QTRY_COMPARE_WITH_TIMEOUT(first->progress(), 100, roadTimeoutMs);
            first->stop();
        }
        QVERIFY(site.requestCount(u"/listoro-demo/item/"_s) >= 8);
        site.resetCounters();

        RoadParent parent;
        const auto second = LinkExtractor::initWithData(html, &parent, url);
        second->startDetailing();
        QTRY_COMPARE_WITH_TIMEOUT(second->progress(), 100, roadTimeoutMs);
        QCOMPARE(site.requestCount(u"/listoro-demo/item/"_s), 0);
        QCOMPARE(site.requestCount(u"/listoro-demo/photos/"_s), 0);
        for (const ParsedLink::Ptr &record : *second->parsedLinks()) {
            // Sizes now come from the cached files.
            const QStringList wrong
                = RoadEnvironment::differences(site, record->idInList(), *record);
            QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u"; ")));
        }
        second->stop();
    }
};

LISTORO_TEST(TestRoad)
#include "tst_road.moc"
