#include "common/testregistry.h"

#include "demo/demosite.h"
#include "rawhttp.h"

#include <QElapsedTimer>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QTcpSocket>
#include <QTest>

#include <map>
#include <memory>

using namespace Qt::StringLiterals;

// The server beyond its pages: unknown paths, the settings file, failures, delays, counters
// and the life of its thread.
class TestDemoServer final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void paths_answerTheirStatus_data();
    void paths_answerTheirStatus();
    void settingsFile_servesTheShippedDocumentUntilReplaced();
    void failures_happenAsAnnouncedOnEveryRequest();
    void delay_delaysEachResponseButNotTheOthers();
    void delay_answersOutliveNeitherTheirClientNorTheSite();
    void counters_countRequestsByPathPrefix();

private:
    std::unique_ptr<QNetworkReply> fetch(const QUrl &url);
    static DemoFailure outcome(const RawHttpResponse &response);

    std::unique_ptr<DemoSite> site;
    QNetworkAccessManager network;
};

void TestDemoServer::initTestCase()
{
    network.setProxy(QNetworkProxy::NoProxy);
    site = std::make_unique<DemoSite>();
    QVERIFY(site->start());
}

std::unique_ptr<QNetworkReply> TestDemoServer::fetch(const QUrl &url)
{
    return std::unique_ptr<QNetworkReply>(network.get(QNetworkRequest(url)));
}

DemoFailure TestDemoServer::outcome(const RawHttpResponse &response)
{
    if (response.status == 500)
        return DemoFailure::ServerError;
    if (response.status == 200 && response.closedEarly && !response.body.isEmpty())
        return DemoFailure::CutOff;
    return response.status == 200 && response.body.size() == response.contentLength
        ? DemoFailure::None
        : DemoFailure(-1);
}

void TestDemoServer::paths_answerTheirStatus_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("status");

    int noPhotos = 0;
    while (site->listing(noPhotos).photoCount > 0)
        ++noPhotos;
    const qint64 first = site->listing(0).id;
    const QString item = u"/listoro-demo/item/%1.html"_s;
    const QString photo = u"/listoro-demo/photos/%1-%2.jpg"_s;

    QTest::newRow("listing") << item.arg(first) << 200;
    QTest::newRow("settings") << u"/ipad/settings.txt"_s << 200;
    QTest::newRow("root") << u"/"_s << 404;
    QTest::newRow("below search") << u"/listoro-demo/search/2"_s << 404;
    QTest::newRow("id after the last") << item.arg(first + site->listingCount()) << 404;
    QTest::newRow("nested listing") << u"/listoro-demo/item/x/%1.html"_s.arg(first) << 404;
    QTest::newRow("photo past the last")
        << photo.arg(first).arg(site->listing(0).photoCount) << 404;
    QTest::newRow("photo of a listing without")
        << photo.arg(site->listing(noPhotos).id).arg(0) << 404;
}

void TestDemoServer::paths_answerTheirStatus()
{
    QFETCH(QString, path);
    QFETCH(int, status);

    const RawHttpResponse response = RawHttpResponse::get(QUrl(site->baseUrl().toString() + path));
    QCOMPARE(response.status, status);
    QCOMPARE(response.body.size(), response.contentLength);
    QCOMPARE(response.body.contains("404 Not Found"), status == 404);
}

void TestDemoServer::settingsFile_servesTheShippedDocumentUntilReplaced()
{
    DemoSite own;
    QVERIFY(own.start());
    const QUrl url(own.baseUrl().toString() + u"/ipad/settings.txt"_s);
    QFile shipped(u":/settings.txt"_s);
    QVERIFY(shipped.open(QIODevice::ReadOnly));
    QCOMPARE(RawHttpResponse::get(url).body, shipped.readAll());

    const QByteArray newer = R"({"version": 7, "settings": [{"regex": "café"}]})";
    own.setSettingsDocument(newer);
    QCOMPARE(RawHttpResponse::get(url).body, newer);
    own.setSettingsDocument(QByteArray());
    QCOMPARE(RawHttpResponse::get(url).status, 404);
}

void TestDemoServer::failures_happenAsAnnouncedOnEveryRequest()
{
    DemoSite::Options options;
    options.maxPhotos = 3;
    options.failRate = 0.5;
    DemoSite failing(options);
    QVERIFY(failing.start());

    std::map<DemoFailure, int> seen;
    for (int index = 0; index < failing.listingCount(); index += 2) {
        ++seen[outcome(RawHttpResponse::get(failing.listingUrl(index)))];
        QCOMPARE(outcome(RawHttpResponse::get(failing.listingUrl(index))),
                 failing.listingFailure(index));
        if (failing.listing(index).photoCount > 0) {
            QCOMPARE(outcome(RawHttpResponse::get(failing.photoUrl(index, 0))),
                     failing.photoFailure(index, 0));
        }
    }
    QVERIFY(seen[DemoFailure::ServerError] > 5 && seen[DemoFailure::CutOff] > 5);
    QVERIFY(seen[DemoFailure::None] > 5);
    for (int page = 1; page <= options.pages + 1; ++page)
        QCOMPARE(outcome(RawHttpResponse::get(failing.searchUrl(page))), DemoFailure::None);

    // A body cut short is an error to the network client the application uses.
    int cut = 0;
    while (failing.listingFailure(cut) != DemoFailure::CutOff)
        ++cut;
    const auto reply = fetch(failing.listingUrl(cut));
    QTRY_VERIFY(reply->isFinished());
    QCOMPARE(reply->error(), QNetworkReply::RemoteHostClosedError);
}

void TestDemoServer::delay_delaysEachResponseButNotTheOthers()
{
    DemoSite::Options options;
    options.delayMs = 200;
    DemoSite slow(options);
    QVERIFY(slow.start());

    QElapsedTimer timer;
    timer.start();
    QCOMPARE(RawHttpResponse::get(slow.searchUrl()).status, 200);
    QVERIFY(timer.elapsed() >= 190);

    std::vector<std::unique_ptr<QNetworkReply>> replies;
    replies.reserve(10);
    timer.restart();
    for (int index = 0; index < 10; ++index)
        replies.push_back(fetch(slow.listingUrl(index)));
    for (const auto &reply : replies)
        QTRY_VERIFY_WITH_TIMEOUT(reply->isFinished(), 5000);
    // One after another would take 2 s; the client's six connections need 0.4 s.
    QVERIFY2(timer.elapsed() < 1500, qPrintable(QString::number(timer.elapsed())));
    for (const auto &reply : replies)
        QCOMPARE(reply->error(), QNetworkReply::NoError);
}

void TestDemoServer::delay_answersOutliveNeitherTheirClientNorTheSite()
{
    DemoSite::Options options;
    options.delayMs = 150;
    auto slow = std::make_unique<DemoSite>(options);
    QVERIFY(slow->start());
    for (int i = 0; i < 3; ++i) {
        QTcpSocket socket; // hangs up as it goes out of scope
        socket.connectToHost(u"127.0.0.1"_s, slow->port());
        QVERIFY(socket.waitForConnected(5000));
        socket.write("GET /listoro-demo/search HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
        QVERIFY(socket.waitForBytesWritten(5000));
    }
    QTRY_COMPARE(slow->requestCount(), 3);
    // This answer comes due after the abandoned ones.
    QCOMPARE(outcome(RawHttpResponse::get(slow->searchUrl())), DemoFailure::None);

    const auto reply = fetch(slow->searchUrl());
    QTRY_COMPARE(slow->requestCount(), 5);
    slow.reset(); // without waiting for the answer still due
    QTRY_VERIFY(reply->isFinished());
    QVERIFY(reply->error() != QNetworkReply::NoError);
}

void TestDemoServer::counters_countRequestsByPathPrefix()
{
    DemoSite own;
    QVERIFY(own.start());
    for (const QUrl &url : { own.searchUrl(), own.searchUrl(2), own.listingUrl(3),
                             QUrl(own.baseUrl().toString() + u"/nowhere"_s) }) {
        QVERIFY(RawHttpResponse::get(url).status != 0);
    }
    QCOMPARE(own.requestCount(u"/listoro-demo/search"_s), 2);
    QCOMPARE(own.requestCount(u"/listoro-demo/item/"_s), 1);
    QCOMPARE(own.requestCount(), 4);
    own.resetCounters();
    QCOMPARE(own.requestCount(), 0);
}

LISTORO_TEST(TestDemoServer)
#include "tst_demoserver.moc"
