#include "common/testregistry.h"

#include "roadenvironment.h"
#include "roadparent.h"

#include "demo/demosite.h"
#include "platform/httpclient.h"
#include "scrape/linkdetailer.h"
#include "scrape/linkextractor.h"
#include "scrape/parsedlink.h"

#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

// The road when it does not run to its end by itself: stopped half-way, or on a site whose
// listing pages and photos fail now and then.

namespace {

constexpr int roadTimeoutMs = 30000;

const QString itemPath = u"/listoro-demo/item/"_s;
const QString photoPath = u"/listoro-demo/photos/"_s;

} // namespace

class TestRoadInterrupted final : public QObject
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

    void stopWhileDetailing_endsEveryFetchAndSilencesTheParent()
    {
        DemoSite::Options options;
        options.listingsPerPage = 10;
        options.pages = 1;
        options.maxPhotos = 3;
        options.delayMs = 400;
        DemoSite site(options);
        QVERIFY(site.start());
        int expectedRequests = site.listingCount();
        for (int i = 0; i < site.listingCount(); ++i)
            expectedRequests += site.listing(i).photoCount;

        const QByteArray html = RoadEnvironment::fetch(site.searchUrl(1));
        RoadParent parent;
        const auto extractor
            = LinkExtractor::initWithData(html, &parent, site.searchUrl(1).toString());
        const QMap<int, ParsedLink::Ptr> records = *extractor->parsedLinks();
        extractor->startDetailing();

        // Some listing pages have come back and their photos are on the way.
        QTRY_VERIFY_WITH_TIMEOUT(site.requestCount(photoPath) > 0, roadTimeoutMs);
        QVERIFY(extractor->progress() < 100);
        extractor->stop();

        const qsizetype heard = parent.calls.size();
        QHash<int, int> settledPhotos;
        for (const ParsedLink::Ptr &record : records) {
            QVERIFY(!record->detailer());
            settledPhotos.insert(record->idInList(), record->settledImagesCount());
        }
        // Requests already on the wire reach the server within a moment; count after it.
        QTest::qWait(50);
        const int requested = site.requestCount(itemPath) + site.requestCount(photoPath);
        QVERIFY(requested < expectedRequests);

        // Longer than the site takes to answer whatever was pending when the road stopped.
        QTest::qWait(3 * options.delayMs);
        QCOMPARE(site.requestCount(itemPath) + site.requestCount(photoPath), requested);
        QCOMPARE(parent.calls.size(), heard);
        for (const ParsedLink::Ptr &record : records)
            QCOMPARE(record->settledImagesCount(), settledPhotos.value(record->idInList()));
        QCOMPARE(extractor->progress(), 0);
        QVERIFY(!extractor->parsedLinks());
    }

    void cutOffConnections_leaveTheHostsOtherFetchesAlone()
    {
        DemoSite::Options options;
        options.listingsPerPage = 60;
        options.pages = 1;
        options.maxPhotos = 4;
        options.failRate = 0.3;
        DemoSite site(options);
        QVERIFY(site.start());

        // Pages and photos cut off half-way, each asked for amid healthy photos of the same host.
        QList<QUrl> cutOff;
        QList<QUrl> healthy;
        for (int i = 0; i < site.listingCount(); ++i) {
            if (site.listingFailure(i) == DemoFailure::CutOff)
                cutOff.append(site.listingUrl(i));
            for (int k = 0; k < site.listing(i).photoCount; ++k) {
                if (site.photoFailure(i, k) == DemoFailure::None)
                    healthy.append(site.photoUrl(i, k));
                else if (site.photoFailure(i, k) == DemoFailure::CutOff)
                    cutOff.append(site.photoUrl(i, k));
            }
        }
        QVERIFY(cutOff.size() >= 10);
        QList<QUrl> urls;
        for (qsizetype n = 0; n < healthy.size(); ++n) {
            if (n % 4 == 0 && n / 4 < cutOff.size())
                urls.append(cutOff.at(n / 4));
            urls.append(healthy.at(n));
        }

        QList<std::optional<HttpResult>> results(urls.size());
        QList<std::shared_ptr<HttpFetch>> fetches;
        for (qsizetype n = 0; n < urls.size(); ++n) {
            fetches.append(HttpClient::instance().get(
                urls.at(n), this, [&results, n](const HttpResult &r) { results[n] = r; }));
        }
        QTRY_VERIFY_WITH_TIMEOUT(std::all_of(results.cbegin(), results.cend(),
                                             [](const auto &r) { return r.has_value(); }),
                                 roadTimeoutMs);
        for (qsizetype n = 0; n < urls.size(); ++n) {
            const bool wasCutOff = cutOff.contains(urls.at(n));
            QVERIFY2(results.at(n)->ok() != wasCutOff, qPrintable(urls.at(n).toString()));
        }
    }

    void failingPagesAndPhotos_settleAndTheRoadFinishes()
    {
        DemoSite::Options options;
        options.listingsPerPage = 24;
        options.pages = 1;
        options.maxPhotos = 4;
        options.failRate = 0.3;
        DemoSite site(options);
        QVERIFY(site.start());

        // The failures are fixed by the site's paths; make sure this page has each kind.
        QHash<DemoFailure, int> listingFailures;
        QHash<DemoFailure, int> photoFailures;
        for (int i = 0; i < site.listingCount(); ++i) {
            ++listingFailures[site.listingFailure(i)];
            if (site.listingFailure(i) == DemoFailure::None) {
                for (int k = 0; k < site.listing(i).photoCount; ++k)
                    ++photoFailures[site.photoFailure(i, k)];
            }
        }
        for (const DemoFailure kind : { DemoFailure::ServerError, DemoFailure::CutOff }) {
            QVERIFY(listingFailures.value(kind) > 0);
            QVERIFY(photoFailures.value(kind) > 0);
        }

        const QByteArray html = RoadEnvironment::fetch(site.searchUrl(1));
        RoadParent parent;
        const auto extractor
            = LinkExtractor::initWithData(html, &parent, site.searchUrl(1).toString());
        extractor->startDetailing();
        QTRY_COMPARE_WITH_TIMEOUT(extractor->progress(), 100, roadTimeoutMs);

        for (const ParsedLink::Ptr &record : *extractor->parsedLinks()) {
            const int i = record->idInList();
            const DemoListing listing = site.listing(i);
            QVERIFY(record->settled());
            switch (site.listingFailure(i)) {
            case DemoFailure::CutOff:
            case DemoFailure::ServerError:
                // An error page is no listing page: the title stays the results page's.
                QVERIFY(record->detailFailed());
                QVERIFY(!record->done());
                QCOMPARE(record->title(), listing.title);
                QVERIFY(!record->imagesUrls());
                QVERIFY(!ParsedLink::isCachedUrl(record->url()));
                continue;
            case DemoFailure::None:
                break;
            }

            QVERIFY(!record->detailFailed());
            QVERIFY(ParsedLink::isCachedUrl(record->url()));
            const QStringList photos = record->imagesUrls().value_or(QStringList());
            QCOMPARE(photos.size(), listing.photoCount);
            const QMap<int, QString> images = record->images().value_or(QMap<int, QString>());
            const QSet<int> failed = record->failedImages();
            bool allCompleted = true;
            for (int k = 0; k < listing.photoCount; ++k) {
                const QByteArray where = QByteArray::number(i) + '-' + QByteArray::number(k);
                QCOMPARE(photos.at(k), site.photoUrl(i, k).toString());
                const FloatSize size = record->getSizeForImageByUrl(photos.at(k));
                switch (site.photoFailure(i, k)) {
                case DemoFailure::CutOff:
                    QVERIFY2(failed.contains(k) && !images.contains(k), where);
                    QVERIFY2(!ParsedLink::isCachedImageWithUrl(photos.at(k)), where);
                    allCompleted = false;
                    break;
                case DemoFailure::ServerError:
                    // Bytes that are no image complete the photo, which has no file nor size.
                    QVERIFY2(failed.contains(k) && images.contains(k), where);
                    QVERIFY2(!ParsedLink::isCachedImageWithUrl(photos.at(k)), where);
                    QCOMPARE(size, FloatSize());
                    break;
                case DemoFailure::None:
                    QVERIFY2(!failed.contains(k) && images.contains(k), where);
                    QCOMPARE(QSize(int(size.width), int(size.height)), site.photoSize(i, k));
                    break;
                }
            }
            QCOMPARE(record->done(), allCompleted);
        }
        extractor->stop();
    }
};

LISTORO_TEST(TestRoadInterrupted)
#include "tst_roadinterrupted.moc"
