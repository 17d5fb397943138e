#include "common/testregistry.h"

#include "hostile/hostileserver.h"
#include "platform/addresspolicy.h"
#include "platform/cachedirectory.h"
#include "platform/hostvetting.h"
#include "platform/httpclient.h"
#include "platform/userdefaults.h"
#include "scrape/linkdetailer.h"
#include "scrape/linkextractor.h"
#include "scrape/listingpage.h"
#include "scrape/parsedlinkmodified.h"
#include "scrape/resultspage.h"
#include "scrape/zestoscrapesetting.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QHostInfo>
#include <QImage>
#include <QLocale>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <zlib.h>

using namespace Qt::StringLiterals;

// The scraping road against servers that misbehave: every fault ends in bounded time and
// memory, fails only the fetch concerned, and is never taken for a good answer. Cases that bound
// memory run in a child process of their own, so that the peak they measure is theirs.

namespace {

// Sanitizers keep shadow memory and freed blocks: their bounds are wider.
#ifdef LISTORO_SANITIZED
constexpr qint64 memoryScale = 4;
#else
constexpr qint64 memoryScale = 1;
#endif

qint64 peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

bool inChild()
{
    return qEnvironmentVariableIsSet("LISTORO_HOSTILE_CHILD");
}

class Parent final : public ParsedLinkModified
{
public:
    void onParsedLinkModified(const std::shared_ptr<ParsedLink> &) override { }
    void progress(int percent) override { last = percent; }
    void onNoLinksFound() override { noLinks = true; }
    int last = 0;
    bool noLinks = false;
};

// Rules for the pages these servers make up.
const char rules[]
    = "{\"version\": 1, \"settings\": ["
      "{\"regex\": \"/item/\", \"settings\": {"
      "\"title\": {\"select\": \"//h1/text()\", \"extract\": \"@content\"},"
      "\"innerImgsWithHref\": {\"select\": \"//div[@class='thumbs']//a[@class='photo']\","
      " \"extract\": \"href\"},"
      "\"innerImgsWithSrc\": {\"select\": \"//img[@class='main']\", \"extract\": \"src\"}}},"
      "{\"regex\": \"/search\", \"settings\": {"
      "\"link\": {\"select\": \"//a[@class='l']\", \"extract\": \"href\"}}}]}";

QByteArray jpeg(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::darkYellow);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return bytes;
}

// A response whose body inflates to megabytes of text at about ratio to 1 (0: as far as zeros
// go), compressed as encoding (gzip or deflate) names. One megabyte is compressed once and its
// block repeated: a full flush makes each block stand alone. The checksum at the end is that of
// two megabytes; a client that stops at the cap never reaches it.
QByteArray compressedResponse(int megabytes, int ratio, const QByteArray &encoding)
{
    QByteArray text(1 << 20, ratio > 0 ? 'z' : '\0');
    quint32 seed = 1;
    for (qsizetype i = 0; ratio > 0 && i < text.size(); i += ratio / 3) {
        seed = seed * 1664525 + 1013904223;
        text[i] = char(seed >> 24);
    }
    z_stream stream{};
    deflateInit2(&stream, 1, Z_DEFLATED, encoding == "gzip" ? 31 : 15, 8, Z_DEFAULT_STRATEGY);
    const auto compress = [&stream](const QByteArray &in, int flush) {
        QByteArray out(int(deflateBound(&stream, uLong(in.size()))) + 64, Qt::Uninitialized);
        stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(in.constData()));
        stream.avail_in = uInt(in.size());
        stream.next_out = reinterpret_cast<Bytef *>(out.data());
        stream.avail_out = uInt(out.size());
        deflate(&stream, flush);
        out.truncate(out.size() - stream.avail_out);
        return out;
    };
    QByteArray body = compress(text, Z_FULL_FLUSH);
    body += compress(text, Z_FULL_FLUSH).repeated(megabytes - 1);
    body += compress({}, Z_FINISH);
    deflateEnd(&stream);
    return "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Encoding: " + encoding
        + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

QByteArray page(const QByteArray &body)
{
    return HostileServer::response(200, "<html><body>" + body + "</body></html>");
}

} // namespace

class TestHostileServers : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    std::unique_ptr<HostileServer> server;

    HttpResult fetch(const QUrl &url, int timeoutMs = 20000)
    {
        std::optional<HttpResult> result;
        HttpClient::instance().get(url, this, [&](const HttpResult &r) { result = r; });
        [&] {
            QTRY_VERIFY_WITH_TIMEOUT(result.has_value(), timeoutMs);
        }();
        return result.value_or(HttpResult());
    }

    // Runs the calling test function again in a child process and checks that it passed.
    // qtLeaks: the child leaves memory of Qt's own behind at exit, not checked for leaks.
    void runInChild(const char *function, bool qtLeaks = false)
    {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"LISTORO_HOSTILE_CHILD"_s, u"1"_s);
        if (qtLeaks) {
            const QString asan = environment.value(u"ASAN_OPTIONS"_s);
            environment.insert(u"ASAN_OPTIONS"_s,
                               asan + (asan.isEmpty() ? u""_s : u":"_s) + u"detect_leaks=0"_s);
        }
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        // Only the current row of a data-driven function.
        QString selected = QString::fromLatin1(function);
        if (const char *tag = QTest::currentDataTag())
            selected += u':' + QString::fromUtf8(tag);
        child.start(QCoreApplication::applicationFilePath(), { u"TestHostileServers"_s, selected });
        QVERIFY(child.waitForFinished(180000));
        const QByteArray output = child.readAll();
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
                 output.constData());
    }

    // Details one listing at path and waits until it settles.
    ParsedLink::Ptr detail(const QString &path, int timeoutMs = 30000)
    {
        auto record = std::make_shared<ParsedLink>();
        record->setTitle(u"from the results page"_s);
        record->setUrl(server->url(path).toString());
        record->setDetailer(LinkDetailer::initWithStringUrl(record->url(), record));
        [&] {
            QTRY_VERIFY_WITH_TIMEOUT(record->settled(), timeoutMs);
        }();
        return record;
    }

private Q_SLOTS:
    void initTestCase()
    {
        UserDefaults::setStoreFile(dir.filePath("defaults.ini"));
        CacheDirectory::setPath(dir.filePath("cache"));
        ZestoScrapeSetting::updateSettings(QString::fromUtf8(rules));
        server = std::make_unique<HostileServer>();
        QVERIFY(server->start());
    }
    void init() { ParsedLink::cleanCache(); }
    void cleanup() { HttpClient::instance().resetLimits(); }
    void cleanupTestCase()
    {
        server.reset();
        UserDefaults::setStoreFile({});
        CacheDirectory::setPath({});
    }

    // The trickle moves 10 bytes a second: under a low-speed limit it ends after one window,
    // above it only the deadline ends it.
    void trickle_endsAtTheLowSpeedRuleOrTheDeadline_data()
    {
        QTest::addColumn<int>("bytesPerSecond");
        QTest::addColumn<QString>("expected");
        QTest::newRow("slower than the rule") << 1024 << u"slower than"_s;
        QTest::newRow("faster than the rule") << 2 << u"not finished within"_s;
    }
    void trickle_endsAtTheLowSpeedRuleOrTheDeadline()
    {
        QFETCH(int, bytesPerSecond);
        QFETCH(QString, expected);
        server->behave(u"/trickle"_s, HostileServer::Behaviour::Trickle);
        HttpClient::instance().setLowSpeedLimit(bytesPerSecond, 1000);
        HttpClient::instance().setTransferDeadline(3500);
        const HttpResult result = fetch(server->url(u"/trickle"_s), 10000);
        QVERIFY(!result.ok());
        QVERIFY2(result.error.contains(expected), qPrintable(result.error));
        QVERIFY(result.body.isEmpty());
    }

    void oversizedBodies_refusedEarlyInBoundedMemory_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("announced") << u"/announced"_s;
        QTest::newRow("endless") << u"/endless"_s;
    }
    void oversizedBodies_refusedEarlyInBoundedMemory()
    {
        QFETCH(QString, path);
        if (!inChild())
            return runInChild(QTest::currentTestFunction());
        server->respond(u"/announced"_s,
                        "HTTP/1.1 200 OK\r\nContent-Length: 4000000000\r\n\r\n"
                            + QByteArray(1 << 20, 'a'));
        server->behave(u"/endless"_s, HostileServer::Behaviour::Endless);
        const qint64 before = peakMegabytes();
        const HttpResult result = fetch(server->url(path), 60000);
        QVERIFY(!result.ok());
        QVERIFY2(result.error.contains(u"too large"), qPrintable(result.error));
        // The cap is 64 MB: nothing is kept past it.
        const qint64 grown = peakMegabytes() - before;
        qInfo("peak grew by %lld MB", grown);
        QVERIFY2(grown < (64 + 32) * memoryScale, qPrintable(u"grew by %1 MB"_s.arg(grown)));
    }

    // Compressed bodies that inflate past the cap fail as soon as they pass it, whatever the
    // ratio, and within the bound on memory.
    void compressedBombs_failAtTheCap_data()
    {
        QTest::addColumn<QByteArray>("encoding");
        QTest::addColumn<int>("ratio");
        QTest::newRow("gzip of zeros") << QByteArrayLiteral("gzip") << 0;
        QTest::newRow("gzip, 20 to 1") << QByteArrayLiteral("gzip") << 20;
        QTest::newRow("deflate, 20 to 1") << QByteArrayLiteral("deflate") << 20;
    }
    void compressedBombs_failAtTheCap()
    {
        QFETCH(QByteArray, encoding);
        QFETCH(int, ratio);
        if (!inChild())
            return runInChild(QTest::currentTestFunction());
        const QByteArray path = "/bomb-" + encoding + QByteArray::number(ratio);
        server->respond(QString::fromLatin1(path), compressedResponse(200, ratio, encoding));
        const qint64 before = peakMegabytes();
        QElapsedTimer clock;
        clock.start();
        const HttpResult result = fetch(server->url(QString::fromLatin1(path)), 60000);
        QVERIFY(!result.ok());
        // Qt stops a body that inflates like a bomb before the cap, in its own words.
        QVERIFY2(result.error.contains(u"too large") || result.error.contains(u"Decompression"),
                 qPrintable(result.error));
        QVERIFY2(clock.elapsed() < 30000, qPrintable(u"%1 ms"_s.arg(clock.elapsed())));
        const qint64 grown = peakMegabytes() - before;
        qInfo("peak grew by %lld MB in %lld ms", grown, clock.elapsed());
        QVERIFY2(grown < (64 + 32) * memoryScale, qPrintable(u"grew by %1 MB"_s.arg(grown)));
    }

    void redirects_endInFewRequests_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<int>("most");
        QTest::newRow("to itself") << u"/self"_s << QStringList{ u"/self"_s } << 1;
        QTest::newRow("a loop of two")
            << u"/loop-a"_s << QStringList{ u"/loop-a"_s, u"/loop-b"_s } << 2;
        QStringList chain;
        for (int i = 0; i < 20; ++i)
            chain << u"/chain-%1"_s.arg(i);
        QTest::newRow("longer than ten") << u"/chain-0"_s << chain << 11;
    }
    void redirects_endInFewRequests()
    {
        QFETCH(QString, start);
        QFETCH(QStringList, paths);
        QFETCH(int, most);
        server->respond(u"/self"_s, HostileServer::response(302, {}, { "Location: /self" }));
        server->respond(u"/loop-a"_s, HostileServer::response(302, {}, { "Location: /loop-b" }));
        server->respond(u"/loop-b"_s, HostileServer::response(302, {}, { "Location: /loop-a" }));
        for (int i = 0; i < 20; ++i) {
            server->respond(u"/chain-%1"_s.arg(i),
                            HostileServer::response(
                                302, {}, { "Location: /chain-" + QByteArray::number(i + 1) }));
        }
        QList<int> before;
        for (const QString &path : paths)
            before.append(server->requests(path));
        const HttpResult result = fetch(server->url(start));
        QVERIFY2(
            !result.ok(),
            qPrintable(result.finalUrl.toString() + u' ' + QString::number(result.statusCode)));
        // Qt sends a request once more when the server closed a kept-alive connection under it
        // (on a loaded machine): the hops reached count, and each at most twice.
        int made = 0;
        int reached = 0;
        for (int i = 0; i < paths.size(); ++i) {
            made += server->requests(paths.at(i)) - before.at(i);
            reached += server->requests(paths.at(i)) > before.at(i) ? 1 : 0;
        }
        QVERIFY2(reached <= most && made <= 2 * most,
                 qPrintable(u"%1 requests to %2 addresses"_s.arg(made).arg(reached)));
    }

    // Qt may end a redirected fetch on a connection the server closed without any final
    // response and without an error: that is a failure, never an empty success.
    void redirectsOverClosedConnections_neverPassForSuccess()
    {
        for (int i = 0; i < 5; ++i) {
            server->respondAndClose(
                u"/closing-%1"_s.arg(i),
                HostileServer::response(302, {},
                                        { "Location: /closing-" + QByteArray::number(i + 1) }));
        }
        server->respondAndClose(u"/closing-5"_s, HostileServer::response(200, "arrived"));
        const HttpResult result = fetch(server->url(u"/closing-0"_s));
        QVERIFY2(!result.ok() || (result.statusCode == 200 && result.body == "arrived"),
                 qPrintable(QString::number(result.statusCode)));
    }

    // Both name a wait longer than the one taken when a server names none.
    void refusingServer_isAskedOnceMoreWithFewerConnections_data()
    {
        QTest::addColumn<bool>("asDate");
        QTest::newRow("seconds") << false;
        QTest::newRow("date") << true;
    }
    void refusingServer_isAskedOnceMoreWithFewerConnections()
    {
        QFETCH(bool, asDate);
        const qint64 leastWaitMs = 2700; // three seconds, less what a coarse timer may take off
        // Whole seconds in the date and in the wait: eight from now leaves at least three, even
        // on a machine that stalls the test for a few seconds before the answer is read.
        const QByteArray retryAfter = asDate
            ? QLocale::c()
                  .toString(QDateTime::currentDateTimeUtc().addSecs(8),
                            u"ddd, dd MMM yyyy hh:mm:ss 'GMT'"_s)
                  .toLatin1()
            : "3"_ba;
        QVERIFY(leastWaitMs > HttpClient::defaultRetryAfterSeconds * 1000);
        const QString path = u"/limited/"_s + QString::fromLatin1(QTest::currentDataTag());
        server->respond(
            path, HostileServer::response(429, "slow down", { "Retry-After: " + retryAfter }));
        const QUrl limited = server->url(path);
        QElapsedTimer clock;
        clock.start();
        const HttpResult result = fetch(limited);
        QVERIFY(result.ok());
        QCOMPARE(result.statusCode, 429);
        QCOMPARE(server->requests(path), 2);
        QVERIFY2(clock.elapsed() >= leastWaitMs, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(HttpClient::instance().connectionLimit(limited)
                < HttpClient::maxConnectionsPerHost);
    }

    void errorOrRefusalPage_isAFailedListingThatSaysWhy_data()
    {
        QTest::addColumn<QByteArray>("statusLine");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("why");
        QTest::newRow("forbidden") << "403 Forbidden"_ba << true << u"refused (HTTP 403)"_s;
        QTest::newRow("too many requests") << "429 Too"_ba << true << u"refused (HTTP 429)"_s;
        QTest::newRow("unavailable") << "503 Unavailable"_ba << true << u"refused (HTTP 503)"_s;
        QTest::newRow("not found") << "404 Not Found"_ba << false << u"HTTP 404"_s;
        QTest::newRow("gone") << "410 Gone"_ba << false << u"HTTP 410"_s;
        QTest::newRow("server error") << "500 Oops"_ba << false << u"HTTP 500"_s;
        QTest::newRow("unknown status") << "299 Odd"_ba << false << QString();
    }
    void errorOrRefusalPage_isAFailedListingThatSaysWhy()
    {
        QFETCH(QByteArray, statusLine);
        QFETCH(bool, refused);
        QFETCH(QString, why);
        const QString path = u"/item/status-"_s + QString::fromLatin1(statusLine.left(3));
        const QByteArray body = "<html><h1>ERROR PAGE " + statusLine + "</h1></html>";
        server->respond(path,
                        "HTTP/1.1 " + statusLine
                            + "\r\nContent-Type: text/html\r\nRetry-After: 0\r\nContent-Length: "
                            + QByteArray::number(body.size()) + "\r\n\r\n" + body);
        const auto record = detail(path);
        if (why.isNull()) { // a 2xx status is a listing page
            QVERIFY(!record->detailFailed());
            QCOMPARE(record->title(), u"ERROR PAGE "_s + QString::fromLatin1(statusLine));
            return;
        }
        QVERIFY(record->detailFailed());
        QCOMPARE(record->refused(), refused);
        QCOMPARE(record->detailFailure(), why);
        QVERIFY(!record->done());
        QCOMPARE(record->title(), u"from the results page"_s);
        QVERIFY(!ParsedLink::isCachedUrl(record->url()));
    }

    void undecodableBody_isAFailureAndNeverCached()
    {
        // A deflate stream of 256 MB of zeros: far past the ratio the network manager accepts.
        const QByteArray bomb = qCompress(QByteArray(256 * 1024 * 1024, '\0'), 9).mid(4);
        server->respond(
            u"/item/bomb"_s,
            "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Encoding: deflate\r\n"
            "Content-Length: "
                + QByteArray::number(bomb.size()) + "\r\nConnection: close\r\n\r\n" + bomb);
        const HttpResult result = fetch(server->url(u"/item/bomb"_s));
        QVERIFY(!result.ok());
        const auto record = detail(u"/item/bomb"_s);
        QVERIFY(record->detailFailed());
        QVERIFY(!ParsedLink::isCachedUrl(record->url()));
    }

    void photosWithAnErrorStatus_areNeverCached_data()
    {
        QTest::addColumn<int>("status");
        for (int status : { 403, 404, 429, 500 })
            QTest::newRow(QByteArray::number(status).constData()) << status;
    }
    void photosWithAnErrorStatus_areNeverCached()
    {
        QFETCH(int, status);
        const QString photo = u"/photo-%1.jpg"_s.arg(status);
        server->respond(
            photo,
            HostileServer::response(status, jpeg(64, 48), { "Retry-After: 0" }, "image/jpeg"));
        const QString listing = u"/item/with-photo-%1"_s.arg(status);
        server->respond(listing, page("<h1>t</h1><img class='main' src='" + photo.toUtf8() + "'>"));
        const auto record = detail(listing);
        QCOMPARE(record->imagesUrls()->size(), 1);
        QVERIFY(!ParsedLink::isCachedImageWithUrl(server->url(photo).toString()));
    }

    void samePhotoWrittenThousandsOfTimes_isFetchedOnce()
    {
        server->respond(u"/same.jpg"_s,
                        HostileServer::response(200, jpeg(32, 32), {}, "image/jpeg"));
        server->respond(
            u"/item/repeated"_s,
            page("<h1>t</h1>" + QByteArray("<img class='main' src='/same.jpg'>").repeated(3000)));
        const auto record = detail(u"/item/repeated"_s);
        QVERIFY(record->done());
        QCOMPARE(record->imagesUrls()->size(), ListingPage::maxPhotos);
        QCOMPARE(server->requests(u"/same.jpg"_s), 1);
    }

    void amplifyingListingPage_settlesInBoundedTime()
    {
        // Nested galleries around 30,000 photo links: every gallery's links are merged with
        // the links found so far, at a cost that grows with their square (minutes unbounded).
        QByteArray body = "<h1>t</h1>" + QByteArray("<div class='thumbs'>").repeated(100);
        for (int i = 0; i < 30000; ++i)
            body += "<a class='photo' href='/p/" + QByteArray::number(i) + ".jpg'>p</a>";
        server->respond(u"/item/amplifying"_s, page(body));
        QElapsedTimer clock;
        clock.start();
        const auto record = detail(u"/item/amplifying"_s, 60000);
        QVERIFY(record->done());
        QCOMPARE(record->title(), u"t"_s);
        QVERIFY(record->imagesUrls()->isEmpty());
        QCOMPARE_LT(clock.elapsed(), 30000);
    }

    void floodingServer_failsAloneAndOthersFinish_data()
    {
        QTest::addColumn<int>("behaviour");
        QTest::newRow("endless headers") << int(HostileServer::Behaviour::FloodHeaders);
        QTest::newRow("endless 100 Continue") << int(HostileServer::Behaviour::FloodContinue);
    }
    void floodingServer_failsAloneAndOthersFinish()
    {
        // Qt 6.4 goes on reading a response whose headers never end after its fetch has been
        // aborted, and leaves that connection behind at exit; no interface of it closes the
        // connection. The fetch fails and the others finish, which is what is checked here.
        if (!inChild())
            return runInChild(QTest::currentTestFunction(), true);
        QFETCH(int, behaviour);
        server->behave(u"/flood"_s, HostileServer::Behaviour(behaviour));
        HostileServer good;
        QVERIFY(good.start());
        good.respond(u"/photo.jpg"_s,
                     HostileServer::response(200, jpeg(1600, 1200), {}, "image/jpeg"));
        HttpClient::instance().setHeaderDeadline(3000);

        std::optional<HttpResult> flooded;
        HttpClient::instance().get(server->url(u"/flood"_s), this,
                                   [&](const HttpResult &r) { flooded = r; });
        QTRY_VERIFY(server->requests(u"/flood"_s) > 0); // the flood is under way
        const HttpResult photo = fetch(good.url(u"/photo.jpg"_s), 10000);
        QVERIFY2(photo.ok(), qPrintable(photo.error));
        QVERIFY(!photo.body.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(flooded.has_value(), 10000);
        QVERIFY(!flooded->ok());
    }

    // A page on the internet (played by 127.0.0.1) names local addresses as listings and
    // photos: literal, IPv4-mapped, localhost, a name that resolves to loopback, and redirects
    // to them. None is asked; the literal and named ones are no listings and no photos.
    void publicPage_neverLeadsToLocalAddresses()
    {
        AddressPolicy::setPublicStandInForTesting(u"127.0.0.1"_s);
        const auto restore = qScopeGuard([] { AddressPolicy::setPublicStandInForTesting({}); });
        const QByteArray port = QByteArray::number(server->url({}).port());
        const QByteArray local = "http://localhost:" + port;
        // A name of this machine that resolves only to loopback, when it has one.
        const QString name = QHostInfo::localHostName();
        const bool named = AddressPolicy::allLocal(QHostInfo::fromName(name).addresses());
        const QByteArray byName = "http://" + name.toUtf8() + ':' + port;

        QByteArray links = "<a class='l' href='/item/fine'>fine</a>"
                           "<a class='l' href='"
            + local
            + "/item/secret'>s</a>"
              "<a class='l' href='http://[::ffff:127.0.0.1]:"
            + port
            + "/item/mapped'>m</a>"
              "<a class='l' href='ftp://127.0.0.1:"
            + port
            + "/item/ftp'>f</a>"
              "<a class='l' href='/item/redirect'>r</a>";
        QByteArray photos = "<img class='main' src='/fine.jpg'>"
                            "<img class='main' src='"
            + local
            + "/secret.jpg'>"
              "<img class='main' src='/photo-redirect.jpg'>";
        if (named) {
            links += "<a class='l' href='" + byName + "/item/named'>n</a>";
            photos += "<img class='main' src='" + byName + "/named.jpg'>";
        }
        server->respond(u"/item/fine"_s, page("<h1>fine</h1>" + photos));
        server->respond(u"/fine.jpg"_s, HostileServer::response(200, jpeg(8, 8), {}, "image/jpeg"));
        server->respond(
            u"/item/redirect"_s,
            HostileServer::response(302, {}, { "Location: " + local + "/item/private" }));
        server->respond(
            u"/photo-redirect.jpg"_s,
            HostileServer::response(
                302, {}, { "Location: " + (named ? byName : local) + "/redirected.jpg" }));
        const QStringList neverAsked{ u"/item/secret"_s, u"/item/mapped"_s,   u"/item/ftp"_s,
                                      u"/item/named"_s,  u"/item/private"_s,  u"/secret.jpg"_s,
                                      u"/named.jpg"_s,   u"/redirected.jpg"_s };
        for (const QString &path : neverAsked)
            server->respond(path, page("<h1>local</h1>"));

        // The road of the grid: scrape, look the names up, detail what is left.
        const QString searchUrl = server->url(u"/search"_s).toString();
        ResultsPage results
            = ResultsPage::scrape("<html><body>" + links + "</body></html>", searchUrl,
                                  ZestoScrapeSetting::settingsForUrl(searchUrl));
        QCOMPARE(results.reach, AddressPolicy::Reach::PublicWeb);
        QStringList urls;
        for (const ResultsPage::Link &link : std::as_const(results.links))
            urls.append(link.url);
        std::optional<QList<AddressPolicy::Refusal>> refused;
        HostVetting::vet(urls, results.reach, this,
                         [&](const QList<AddressPolicy::Refusal> &r) { refused = r; });
        QTRY_VERIFY(refused.has_value());
        results.drop(*refused);
        QStringList left;
        for (const ResultsPage::Link &link : std::as_const(results.links))
            left.append(QUrl(link.url).path() + u' ' + QString::number(link.idInList));
        QCOMPARE(left, QStringList({ u"/item/fine 0"_s, u"/item/redirect 1"_s }));
        QCOMPARE(results.refused.size(), named ? 4 : 3);

        Parent parent;
        const LinkExtractor::Ptr extractor
            = LinkExtractor::initWithPage(results, {}, &parent, searchUrl);
        extractor->startDetailing();
        const ParsedLink::Ptr fine = extractor->parsedLinks()->value(0);
        const ParsedLink::Ptr redirect = extractor->parsedLinks()->value(1);
        QTRY_VERIFY_WITH_TIMEOUT(fine->settled() && redirect->settled(), 20000);
        QVERIFY(redirect->detailFailed());
        QVERIFY(!redirect->refused()); // not the site's refusal: it was never asked
        QCOMPARE(fine->imagesUrls()->size(), 2); // fine.jpg and the redirecting one
        QCOMPARE(fine->refusedImages().size(), named ? 2 : 1);
        QCOMPARE(fine->failedImages(), QSet<int>{ 1 });
        QVERIFY(ParsedLink::isCachedImageWithUrl(server->url(u"/fine.jpg"_s).toString()));
        for (const QString &path : neverAsked)
            QVERIFY2(server->requests(path) == 0, qPrintable(path));
        extractor->stop();
    }

    void tagSoupListingPage_costsBoundedTimeAndMemory_data()
    {
        QTest::addColumn<int>("megabytes");
        QTest::newRow("2.4 MB") << 2400;
        QTest::newRow("5 MB") << 5000;
    }
    void tagSoupListingPage_costsBoundedTimeAndMemory()
    {
        QFETCH(int, megabytes);
        if (!inChild())
            return runInChild(QTest::currentTestFunction());
        // Runs of unclosed thumbnail boxes, each run closed by its table cell: every box holds
        // the rest of its run, so copying out every match with its subtree costs the square of
        // the run. The larger page matches more nodes than a query may; the smaller one has its
        // subtrees cut.
        const QByteArray run = "<table><tr><td>"
            + QByteArray("<div class=\"thumbs\"><a class=\"photo\" href=\"/p.jpg\">").repeated(120)
            + "</td></tr></table>";
        QByteArray soup = "<html><body><h1>soup</h1>";
        while (soup.size() < megabytes * 1024)
            soup += run;
        server->respond(u"/item/soup"_s, HostileServer::response(200, soup));
        const auto record = detail(u"/item/soup"_s, 60000);
        QCOMPARE(record->title(), u"soup"_s);
        const qint64 peak = peakMegabytes();
        qInfo("peak %lld MB, %lld photos", peak, qint64(record->imagesUrls()->size()));
        QVERIFY2(peak < 400 * memoryScale, qPrintable(u"peak %1 MB"_s.arg(peak)));
    }
};

LISTORO_TEST(TestHostileServers)
#include "tst_hostileservers.moc"
