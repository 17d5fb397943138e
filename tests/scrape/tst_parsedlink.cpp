#include "common/testregistry.h"

#include "platform/cachedirectory.h"
#include "scrape/parsedlink.h"
#include "scrape/urlencoding.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QHttpServer>
#include <QHttpServerResponse>
#include <QImage>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Stands in for the link extractor: records every refresh it is told of.
class RecordingExtractor : public LinkExtractorInterface
{
public:
    void refresh(const std::shared_ptr<ParsedLink> &record) override
    {
        ++count;
        lastDone = record->done();
    }
    int count = 0;
    bool lastDone = false;
};

QByteArray jpeg(int w, int h, QColor color = Qt::darkCyan)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 90);
    return bytes;
}

// A JPEG header announcing 65000 x 65000 pixels, with no real image data behind it.
QByteArray hugeJpegHeader()
{
    QByteArray small = jpeg(8, 8);
    const qsizetype sof = small.indexOf(QByteArray("\xFF\xC0", 2));
    Q_ASSERT(sof > 0);
    small[sof + 5] = char(0xFD);
    small[sof + 6] = char(0xE8);
    small[sof + 7] = char(0xFD);
    small[sof + 8] = char(0xE8);
    return small;
}

} // namespace

class TestParsedLink : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir cacheDir;
    QHttpServer server;
    quint16 port = 0;
    quint16 deadPort = 0;
    QHash<QString, int> hits;

    QString url(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(path);
    }

    std::pair<std::shared_ptr<RecordingExtractor>, ParsedLink::Ptr> record(
        const QStringList &photos)
    {
        auto extractor = std::make_shared<RecordingExtractor>();
        auto link = std::make_shared<ParsedLink>(extractor);
        link->setUrl(url("/item/1.html"));
        link->setImagesUrls(photos);
        return { extractor, link };
    }

private Q_SLOTS:
    void initTestCase()
    {
        CacheDirectory::setPath(cacheDir.path());
        server.route("/p/<arg>", [this](const QString &name) {
            ++hits[name];
            if (name == u"landscape.jpg")
                return QHttpServerResponse("image/jpeg", jpeg(1200, 800));
            if (name == u"portrait.png") {
                QImage image(60, 160, QImage::Format_ARGB32);
                image.fill(Qt::transparent);
                QByteArray png;
                QBuffer buffer(&png);
                buffer.open(QIODevice::WriteOnly);
                image.save(&buffer, "PNG");
                return QHttpServerResponse("image/png", png);
            }
            if (name == u"huge.jpg")
                return QHttpServerResponse("image/jpeg", hugeJpegHeader());
            if (name == u"error.jpg")
                return QHttpServerResponse("text/html", "<html>gone</html>",
                                           QHttpServerResponse::StatusCode::NotFound);
            // A placeholder picture served with an error status.
            if (name == u"refused.jpg")
                return QHttpServerResponse("image/jpeg", jpeg(40, 30),
                                           QHttpServerResponse::StatusCode::TooManyRequests);
            return QHttpServerResponse("text/html", "<html>not a photo</html>");
        });
        port = server.listen(QHostAddress::LocalHost);
        QVERIFY(port);
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        deadPort = closed.serverPort();
    }
    void init()
    {
        ParsedLink::cleanCache();
        hits.clear();
    }
    void cleanupTestCase() { CacheDirectory::setPath({}); }

    void cacheNames_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<float>("fitW");
        QTest::addColumn<float>("fitH");
        QTest::addColumn<QString>("name");
        QTest::newRow("page") << "http://h/a?b=1" << 0.f << 0.f << "http%3A%2F%2Fh%2Fa%3Fb%3D1";
        QTest::newRow("fitted") << "http://h/p.jpg" << 300.9f << 200.2f
                                << "http%3A%2F%2Fh%2Fp.jpg300x200";
        QTest::newRow("fit truncates")
            << "http://h/p.jpg" << 299.99f << 150.5f << "http%3A%2F%2Fh%2Fp.jpg299x150";
    }
    void cacheNames()
    {
        QFETCH(QString, url);
        QFETCH(float, fitW);
        QFETCH(float, fitH);
        QFETCH(QString, name);
        const QString path = fitW > 0 ? ParsedLink::getImagePathFromStringURL(url, { fitW, fitH })
                                      : ParsedLink::getFilePathFromStringURL(url);
        QCOMPARE(path, cacheDir.path() + "/" + name);
        QCOMPARE(ParsedLink::getImagePathFromStringURL(url),
                 ParsedLink::getFilePathFromStringURL(url));
    }

    void cacheNames_distinctAndLongOnesFit()
    {
        QVERIFY(ParsedLink::cacheFileName("http://h/a b")
                != ParsedLink::cacheFileName("http://h/a%20b"));
        QVERIFY(ParsedLink::cacheFileName("http://h/a/b")
                != ParsedLink::cacheFileName("http://h/a%2Fb"));
        const QString longUrl
            = "http://images.example.com/" + QString(80, u'/') + QString(120, u'x') + ".jpg";
        const QString name = ParsedLink::cacheFileName(longUrl);
        QVERIFY(urlEncodeUsingEncoding(longUrl).size() > 255);
        QVERIFY(name.size() <= 255);
        QCOMPARE(name, ParsedLink::cacheFileName(longUrl));
        QVERIFY(name != ParsedLink::cacheFileName(longUrl + "?v=2"));
        const QString longFit = ParsedLink::getImagePathFromStringURL(longUrl, { 300, 200 });
        QVERIFY(QFileInfo(longFit).fileName().size() <= 255);
        ParsedLink::cacheUrlOnDisk("page", longUrl);
        QVERIFY(ParsedLink::isCachedUrl(longUrl));
    }

    void pageCache_roundTripsAndCleans()
    {
        const QString page = url("/item/9.html");
        QVERIFY(!ParsedLink::isCachedUrl(page));
        ParsedLink::cacheUrlOnDisk("<html>9</html>", page);
        QVERIFY(ParsedLink::isCachedUrl(page));
        QFile file(ParsedLink::getFilePathFromStringURL(page));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("<html>9</html>"));
        ParsedLink::cleanCache();
        QVERIFY(!ParsedLink::isCachedUrl(page));
        QVERIFY(QDir(cacheDir.path()).isEmpty());
    }

    void noPhotos_doneAtOnceAndReportsTwice()
    {
        auto [extractor, link] = record({});
        link->refresh();
        QVERIFY(link->done());
        QVERIFY(link->settled());
        QCOMPARE(extractor->count, 2);
    }

    void unreachableSecondPhoto_staysNotDoneButSettles()
    {
        auto [extractor, link] = record(
            { url("/p/landscape.jpg"), QStringLiteral("http://127.0.0.1:%1/p/x.jpg").arg(deadPort),
              url("/p/portrait.png") });
        link->refresh();
        QTRY_VERIFY_WITH_TIMEOUT(link->settled(), 10000);
        QVERIFY(!link->done());
        QCOMPARE(link->images()->keys(), (QList<int>{ 0, 2 }));
        QCOMPARE(link->failedImages(), QSet<int>{ 1 });
        QCOMPARE(link->imagesSizes()->value(url("/p/landscape.jpg")), (FloatSize{ 1200, 800 }));
        QCOMPARE(link->getSizeForImageByUrl(url("/p/portrait.png")), (FloatSize{ 60, 160 }));
        QVERIFY(ParsedLink::isCachedImageWithUrl(url("/p/landscape.jpg")));
        const QImage stored(ParsedLink::getImagePathFromStringURL(url("/p/portrait.png")));
        QCOMPARE(stored.size(), QSize(60, 160));
        QVERIFY(QColor(stored.pixel(30, 80)).lightness() > 240); // transparency laid on white
    }

    void cachedPhoto_isNotFetchedAgain()
    {
        {
            auto [extractor, link] = record({ url("/p/landscape.jpg") });
            link->refresh();
            QTRY_VERIFY_WITH_TIMEOUT(link->done(), 10000);
        }
        QCOMPARE(hits.value("landscape.jpg"), 1);
        auto [extractor, link] = record({ url("/p/landscape.jpg") });
        link->refresh();
        QVERIFY(!link->done());
        QTRY_VERIFY_WITH_TIMEOUT(link->done(), 10000);
        QCOMPARE(hits.value("landscape.jpg"), 1);
        QVERIFY(!link->imagesSizes()->contains(url("/p/landscape.jpg")));
        QCOMPARE(link->getSizeForImageByUrl(url("/p/landscape.jpg")), (FloatSize{ 1200, 800 }));
    }

    void samePhotoListedTwice_isFetchedAndDecodedOnce()
    {
        const QString portrait = url("/p/portrait.png");
        auto [extractor, link] = record({ portrait, url("/p/landscape.jpg"), portrait, portrait });
        auto [otherExtractor, other] = record({ portrait });
        link->refresh();
        other->refresh(); // another listing wants it while it is on its way
        QTRY_VERIFY_WITH_TIMEOUT(link->done() && other->done(), 10000);
        QCOMPARE(hits.value("portrait.png"), 1);
        QCOMPARE(link->images()->keys(), (QList<int>{ 0, 1, 2, 3 }));
        QCOMPARE(other->getSizeForImageByUrl(portrait), (FloatSize{ 60, 160 }));
    }

    void notImages_completeWithoutFileAndCountAsFailed_data()
    {
        QTest::addColumn<QString>("photo");
        QTest::newRow("html page") << "/p/page.jpg";
        QTest::newRow("error status") << "/p/error.jpg";
        QTest::newRow("image with an error status") << "/p/refused.jpg";
        QTest::newRow("65000 x 65000") << "/p/huge.jpg";
    }
    void notImages_completeWithoutFileAndCountAsFailed()
    {
        QFETCH(QString, photo);
        auto [extractor, link] = record({ url(photo) });
        link->refresh();
        QTRY_VERIFY_WITH_TIMEOUT(link->done(), 10000);
        QCOMPARE(link->failedImages(), QSet<int>{ 0 });
        QVERIFY(!ParsedLink::isCachedImageWithUrl(url(photo)));
        QCOMPARE(link->getSizeForImageByUrl(url(photo)), FloatSize());
        QCOMPARE(link->imagesSizes()->value(url(photo)), FloatSize());
    }

    void invalidPhotoUrl_fails()
    {
        auto [extractor, link] = record({ "not a url", url("/p/landscape.jpg") });
        link->refresh();
        QTRY_VERIFY_WITH_TIMEOUT(link->settled(), 10000);
        QVERIFY(!link->done());
        QCOMPARE(link->failedImages(), QSet<int>{ 0 });
    }

    void secondDownloadImages_startsNothing()
    {
        auto [extractor, link] = record({ url("/p/landscape.jpg") });
        link->refresh();
        QTRY_VERIFY_WITH_TIMEOUT(link->done(), 10000);
        link->downloadImages();
        QVERIFY(!link->done());
        link->checkAllImagesDownloaded();
        QVERIFY(link->done());
        QCOMPARE(hits.value("landscape.jpg"), 1);
    }

    void stopDownloads_abandonsRunningFetches()
    {
        auto [extractor, link] = record({ url("/p/landscape.jpg"), url("/p/portrait.png") });
        link->refresh();
        const int reported = extractor->count;
        link->stopDownloads();
        QTest::qWait(300);
        QCOMPARE(extractor->count, reported);
        QCOMPARE(link->imagesCount(), 0);
    }

    void emptyList_checkSetsDone()
    {
        auto [extractor, link] = record({});
        link->checkAllImagesDownloaded();
        QVERIFY(link->done());
    }

    void resizeOnDisk_writesTheFittedCopy()
    {
        auto [extractor, link] = record({ url("/p/landscape.jpg") });
        link->refresh();
        QTRY_VERIFY_WITH_TIMEOUT(link->done(), 10000);
        ParsedLink::resizeImageOnDiskWithUrl(url("/p/landscape.jpg"), { 339, 226 });
        QVERIFY(ParsedLink::isCachedImageWithUrl(url("/p/landscape.jpg"), { 339.5f, 226.9f }));
    }
};

LISTORO_TEST(TestParsedLink)
#include "tst_parsedlink.moc"
