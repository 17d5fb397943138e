#include "common/testregistry.h"

#include "platform/cachedirectory.h"
#include "platform/httpclient.h"
#include "platform/userdefaults.h"
#include "scrape/linkdetailer.h"
#include "scrape/linkextractor.h"
#include "scrape/parsedlinkmodified.h"
#include "scrape/zestoscrapesetting.h"

#include <QBuffer>
#include <QFile>
#include <QHttpServer>
#include <QHttpServerResponse>
#include <QImage>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

namespace {

class RecordingParent : public ParsedLinkModified
{
public:
    void onParsedLinkModified(const std::shared_ptr<ParsedLink> &link) override
    {
        modified.append(link->idInList());
    }
    void progress(int percent) override { percents.append(percent); }
    void onNoLinksFound() override { ++noLinks; }

    QList<int> modified;
    QList<int> percents;
    int noLinks = 0;
};

const char settingsDocument[]
    = "{\"version\": 1, \"settings\": [{\"regex\": \"127\\\\.0\\\\.0\\\\.1\", \"settings\": {"
      "\"link\": {\"select\": \"//a[@class='l']\", \"extract\": \"href\"},"
      "\"next\": {\"select\": \"//a[@class='next']\", \"extract\": \"href\"},"
      "\"title\": {\"select\": \"//h1/text()\", \"extract\": \"@content\"},"
      "\"innerImgsWithHref\": {\"select\": \"//a[@class='photo']\", \"extract\": \"href\"},"
      "\"innerImgsWithSrc\": {\"select\": \"//img[@class='main']\", \"extract\": \"src\"}}}]}";

QByteArray jpeg()
{
    QImage image(320, 240, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return bytes;
}

} // namespace

class TestLinkExtractor : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    QHttpServer server;
    QTcpServer silent; // accepts connections and never answers
    quint16 port = 0;
    QHash<QString, int> hits;
    int listings = 3;

    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(port); }

    QByteArray resultsPage() const
    {
        QByteArray html = "<html><body><ul>";
        for (int i = 0; i < listings; ++i)
            html += "<li><a class='l' href='/item/" + QByteArray::number(i) + ".html'>link "
                + QByteArray::number(i) + "</a></li>";
        // A listing whose page never answers and one whose page is missing.
        html += "<li><a class='l' href='http://127.0.0.1:" + QByteArray::number(silent.serverPort())
            + "/slow.html'>slow</a></li>";
        return html + "</ul><a class='next' href='/search?page=2'>next</a></body></html>";
    }

private Q_SLOTS:
    void initTestCase()
    {
        UserDefaults::setStoreFile(dir.filePath("defaults.ini"));
        CacheDirectory::setPath(dir.filePath("cache"));
        ZestoScrapeSetting::updateSettings(QString::fromUtf8(settingsDocument));
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        server.route("/item/<arg>", [this](const QString &name) {
            ++hits["item"];
            const QByteArray n = name.chopped(5).toUtf8();
            QByteArray html = "<html><body><h1>Listing " + n + "</h1>";
            const QByteArray photo = base().toUtf8() + "/photo/" + n;
            if (n == "1") // a dead photo beside a good one
                html += "<a class='photo' href='" + photo + "-dead.jpg'>x</a>";
            html += "<a class='photo' href='" + photo + ".jpg'>p</a><img class='main' src='" + photo
                + ".jpg'>";
            return QHttpServerResponse("text/html", html + "</body></html>");
        });
        server.route("/moved/<arg>", [this](const QString &n) {
            QHttpServerResponse response(QHttpServerResponse::StatusCode::Found);
            response.setHeader("Location", (base() + "/item/" + n + ".html").toUtf8());
            return response;
        });
        server.route("/photo/<arg>", [this](const QString &name) {
            ++hits["photo"];
            if (name.endsWith(u"-dead.jpg"))
                return QHttpServerResponse(QHttpServerResponse::StatusCode::NotFound);
            return QHttpServerResponse("image/jpeg", jpeg());
        });
        port = server.listen(QHostAddress::LocalHost);
        QVERIFY(port);
    }
    void init()
    {
        ParsedLink::cleanCache();
        hits.clear();
    }
    void cleanupTestCase()
    {
        UserDefaults::setStoreFile({});
        CacheDirectory::setPath({});
    }

    void percentage_data()
    {
        QTest::addColumn<int>("settled");
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("percent");
        const int tenths[] = { 10, 20, 30, 40, 50, 60, 69, 80, 89, 100 };
        for (int i = 1; i <= 10; ++i)
            QTest::addRow("%d of 10", i) << i << 10 << tenths[i - 1];
        QTest::newRow("29 of 100") << 29 << 100 << 28;
        QTest::newRow("57 of 100") << 57 << 100 << 56;
        QTest::newRow("1 of 3") << 1 << 3 << 33;
        QTest::newRow("2 of 3") << 2 << 3 << 66;
        QTest::newRow("none") << 0 << 0 << 0;
    }
    void percentage()
    {
        QFETCH(int, settled);
        QFETCH(int, total);
        QFETCH(int, percent);
        QCOMPARE(LinkExtractor::percentage(settled, total), percent);
    }

    void parse_numbersListingsAndFindsNextLink()
    {
        RecordingParent parent;
        const auto extractor
            = LinkExtractor::initWithData(resultsPage(), &parent, base() + "/search");
        QCOMPARE(parent.noLinks, 0);
        QCOMPARE(extractor->parsedLinks()->size(), listings + 1);
        const auto &first = extractor->parsedLinks()->value(0);
        QCOMPARE(first->idInList(), 0);
        QCOMPARE(first->title(), "link 0");
        QCOMPARE(first->url(), base() + "/item/0.html");
        QCOMPARE(extractor->nextLink(), base() + "/search?page=2");
        QCOMPARE(extractor->progress(), 0);
        extractor->stop();
    }

    void listingsShownOnAnEarlierPage_areDroppedAndTheRestRenumbered()
    {
        RecordingParent parent;
        const auto extractor
            = LinkExtractor::initWithData(resultsPage(), &parent, base() + "/search");
        const int count = int(extractor->parsedLinks()->size());
        QSet<QString> shown{ base() + "/item/0.html", base() + "/item/2.html" };
        extractor->dropListingsShown(shown);
        const auto &kept = *extractor->parsedLinks();
        QCOMPARE(kept.size(), count - 2);
        QCOMPARE(kept.value(0)->url(), base() + "/item/1.html");
        QCOMPARE(kept.lastKey(), count - 3);
        QCOMPARE(kept.last()->idInList(), count - 3);
        QCOMPARE(shown.size(), count); // the kept ones are remembered for the next page
        extractor->stop();
    }

    void pageWithoutLinks_tellsTheParentDuringConstruction()
    {
        RecordingParent parent;
        const auto extractor = LinkExtractor::initWithData("<html><p>nothing</p></html>", &parent,
                                                           base() + "/search");
        QCOMPARE(parent.noLinks, 1);
        QVERIFY(extractor->parsedLinks()->isEmpty());
        QVERIFY(extractor->nextLink().isNull());
        QVERIFY(parent.modified.isEmpty());
    }

    void wholeRoad_detailsEveryListingAndSettles()
    {
        RecordingParent parent;
        const auto extractor
            = LinkExtractor::initWithData(resultsPage(), &parent, base() + "/search");
        HttpClient::instance().setInactivityTimeout(2);
        extractor->startDetailing();
        // The silent listing settles when its fetch times out; the others as their photos land.
        QTRY_COMPARE_WITH_TIMEOUT(extractor->progress(), 100, 20000);
        HttpClient::instance().setInactivityTimeout(60);
        QCOMPARE(parent.percents.last(), 100);
        QCOMPARE(parent.modified.size(), parent.percents.size());
        const auto links = *extractor->parsedLinks();
        QCOMPARE(links.value(0)->title(), "Listing 0");
        QCOMPARE(links.value(0)->imagesUrls()->size(), 1); // the main photo repeats the link
        QVERIFY(links.value(0)->done());
        QVERIFY(!links.value(1)->done()); // its dead photo never completes
        QVERIFY(links.value(1)->settled());
        QVERIFY(links.value(listings)->detailFailed());
        QCOMPARE(links.value(listings)->title(), "slow");
        QVERIFY(ParsedLink::isCachedUrl(base() + "/item/2.html"));
        extractor->stop();
    }

    void secondRun_readsListingPagesFromTheCache()
    {
        listings = 3;
        for (int run = 0; run < 2; ++run) {
            RecordingParent parent;
            const auto extractor
                = LinkExtractor::initWithData(resultsPage(), &parent, base() + "/search");
            HttpClient::instance().setInactivityTimeout(1);
            extractor->startDetailing();
            QTRY_COMPARE_WITH_TIMEOUT(extractor->progress(), 100, 20000);
            HttpClient::instance().setInactivityTimeout(60);
            extractor->stop();
            if (run == 0) {
                QCOMPARE(hits.value("item"), listings);
                hits.clear();
            }
        }
        QCOMPARE(hits.value("item"), 0);
        QCOMPARE(hits.value("photo"), 1); // only the dead photo is asked for again
    }

    void stop_inTheMiddle_silencesEverything()
    {
        RecordingParent parent;
        const auto extractor
            = LinkExtractor::initWithData(resultsPage(), &parent, base() + "/search");
        extractor->startDetailing();
        QTRY_VERIFY_WITH_TIMEOUT(!parent.modified.isEmpty(), 10000);
        const auto slow = extractor->parsedLinks()->value(listings);
        const auto detailer = slow->detailer();
        QVERIFY(detailer->isLoading());
        extractor->stop();
        const qsizetype heard = parent.modified.size();
        QVERIFY(!extractor->parsedLinks().has_value());
        QVERIFY(!detailer->isLoading());
        QVERIFY(!slow->detailer());
        extractor->computeProgress();
        QCOMPARE(extractor->progress(), 0);
        extractor->refresh(slow);
        QTest::qWait(500);
        QCOMPARE(parent.modified.size(), heard);
        QCOMPARE(parent.percents.size(), heard);
    }

    void favorites_becomeRecordsUnchanged()
    {
        RecordingParent parent;
        const QList<ZestoFavorite> favorites{ { "First", "http://a/1" },
                                              { "Second", "relative/2" },
                                              { QString(), "http://a/3" } };
        const auto extractor = LinkExtractor::initWithFavorites(favorites, &parent);
        const auto links = *extractor->parsedLinks();
        QCOMPARE(links.size(), 3);
        QCOMPARE(links.value(1)->title(), "Second");
        QCOMPARE(links.value(1)->url(), "relative/2");
        QCOMPARE(links.value(2)->idInList(), 2);
        QVERIFY(links.value(2)->title().isNull());
        QVERIFY(extractor->nextLink().isNull());
        QVERIFY(parent.modified.isEmpty());

        const auto none = LinkExtractor::initWithFavorites(std::nullopt, &parent);
        QVERIFY(!none->parsedLinks().has_value());
        const auto empty = LinkExtractor::initWithFavorites(QList<ZestoFavorite>(), &parent);
        QVERIFY(empty->parsedLinks()->isEmpty());
    }

    void cachedListingPage_isScrapedLikeAFreshOne()
    {
        const QString listing = base() + "/item/2.html";
        auto fresh = std::make_shared<ParsedLink>();
        const auto fetched = LinkDetailer::initWithStringUrl(listing, fresh);
        QTRY_VERIFY_WITH_TIMEOUT(fresh->done(), 5000);
        QCOMPARE(hits.value("item"), 1);
        QVERIFY(ParsedLink::isCachedUrl(listing));

        auto cached = std::make_shared<ParsedLink>();
        const auto read = LinkDetailer::initWithStringUrl(listing, cached);
        QTRY_VERIFY_WITH_TIMEOUT(cached->done(), 5000);
        QCOMPARE(hits.value("item"), 1); // no request for the cached page
        QCOMPARE(cached->title(), fresh->title());
        QCOMPARE(cached->title(), "Listing 2");
        QCOMPARE(cached->imagesUrls(), fresh->imagesUrls());
    }

    void redirectedListingPage_isCachedUnderItsFinalAddress()
    {
        const QString moved = base() + "/moved/2";
        auto record = std::make_shared<ParsedLink>();
        const auto detailer = LinkDetailer::initWithStringUrl(moved, record);
        QTRY_VERIFY_WITH_TIMEOUT(record->done(), 5000);
        QCOMPARE(record->title(), "Listing 2");
        QVERIFY(ParsedLink::isCachedUrl(base() + "/item/2.html"));
        QVERIFY(!ParsedLink::isCachedUrl(moved));
    }

    void unusableListingUrl_settlesAsFailedThroughTheRecord_data()
    {
        QTest::addColumn<QString>("url");
        QTest::newRow("absent") << QString();
        QTest::newRow("empty") << QString("");
        QTest::newRow("javascript") << QString("javascript:void(0)");
    }
    void unusableListingUrl_settlesAsFailedThroughTheRecord()
    {
        QFETCH(QString, url);
        ParsedLink::cacheUrlOnDisk("<html><h1>x</h1></html>", base() + "/other.html");
        auto record = std::make_shared<ParsedLink>();
        const int before = record->revision();
        const auto detailer = LinkDetailer::initWithStringUrl(url, record);
        QTRY_VERIFY_WITH_TIMEOUT(record->detailFailed(), 5000);
        QVERIFY(record->settled());
        QVERIFY(!record->done());
        // A tile drawn before the failure must learn of it.
        QVERIFY(record->revision() > before);
        QCOMPARE(hits.value("item"), 0);
    }
};

LISTORO_TEST(TestLinkExtractor)
#include "tst_linkextractor.moc"
