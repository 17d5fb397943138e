#include "common/testregistry.h"

#include "platform/httpclient.h"

#include <QFile>
#include <QHttpServer>
#include <QHttpServerResponse>
#include <QNetworkAccessManager>
#include <QSignalSpy>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QUrlQuery>

using namespace Qt::StringLiterals;

class TestHttpClient : public QObject
{
    Q_OBJECT

private:
    QHttpServer server;
    quint16 port = 0;
    QByteArray lastUserAgent;
    QTcpServer silent; // accepts and never answers
    std::vector<std::unique_ptr<QHttpServerResponder>> held; // answered when a test says so
    QList<int> heldOrder; // the n of each request held, in the order they came

    void answerHeld(int count)
    {
        for (int n = 0; n < count && !held.empty(); ++n) {
            held.front()->write("held", "text/plain");
            held.erase(held.begin());
        }
    }

    QUrl url(const char *path) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(QLatin1StringView(path)));
    }

    HttpResult fetch(const QUrl &target)
    {
        std::optional<HttpResult> result;
        HttpClient::instance().get(target, this, [&](const HttpResult &r) { result = r; });
        [&] {
            QTRY_VERIFY_WITH_TIMEOUT(result.has_value(), 10000);
        }();
        return result.value_or(HttpResult());
    }

private Q_SLOTS:
    void initTestCase()
    {
        server.route("/page", [this](const QHttpServerRequest &request) {
            lastUserAgent = request.value("User-Agent");
            return QHttpServerResponse("text/html", "<html>page</html>");
        });
        server.route("/moved", [this] {
            QHttpServerResponse response(QHttpServerResponse::StatusCode::Found);
            response.setHeader("Location", url("/page").toEncoded());
            return response;
        });
        server.route("/missing", [] {
            return QHttpServerResponse("text/html", "<html>not here</html>",
                                       QHttpServerResponse::StatusCode::NotFound);
        });
        server.route(
            "/held", [this](const QHttpServerRequest &request, QHttpServerResponder &&responder) {
                heldOrder.append(request.query().queryItemValue(u"n"_s).toInt());
                held.push_back(std::make_unique<QHttpServerResponder>(std::move(responder)));
            });
        server.route("/big", [] { return QHttpServerResponse(QByteArray(4096, 'x')); });
        port = server.listen(QHostAddress::LocalHost);
        QVERIFY(port != 0);
        QVERIFY(silent.listen(QHostAddress::LocalHost));
    }

    void fetch_sendsTheDesktopUserAgent()
    {
        const HttpResult result = fetch(url("/page"));
        QVERIFY(result.ok());
        QCOMPARE(result.statusCode, 200);
        QCOMPARE(result.body, QByteArray("<html>page</html>"));
        QCOMPARE(lastUserAgent, HttpClient::userAgent());
        QVERIFY(lastUserAgent.startsWith("Mozilla/5.0 (Macintosh; Intel Mac OS X 10_8_2)"));
    }

    void redirect_isFollowedAndFinalUrlKnown()
    {
        const HttpResult result = fetch(url("/moved"));
        QVERIFY(result.ok());
        QCOMPARE(result.requestedUrl, url("/moved"));
        QCOMPARE(result.finalUrl, url("/page"));
        QCOMPARE(result.body, QByteArray("<html>page</html>"));
    }

    // A page asked for over https never travels unencrypted: such a redirect is refused.
    void httpsToHttpRedirect_isRefused()
    {
        QFile certificateFile(ListoroTest::dataDir() + "/tls/localhost.crt");
        QFile keyFile(ListoroTest::dataDir() + "/tls/localhost.key");
        QVERIFY(certificateFile.open(QIODevice::ReadOnly) && keyFile.open(QIODevice::ReadOnly));
        const QSslCertificate certificate(&certificateFile);
        const QSslKey key(&keyFile, QSsl::Rsa);
        QVERIFY(!certificate.isNull() && !key.isNull());
        const QSslConfiguration original = QSslConfiguration::defaultConfiguration();
        QSslConfiguration trusting = original;
        trusting.addCaCertificate(certificate);
        QSslConfiguration::setDefaultConfiguration(trusting);

        QHttpServer secure;
        secure.sslSetup(certificate, key);
        quint16 securePort = 0;
        secure.route("/to-http", [this] {
            QHttpServerResponse response(QHttpServerResponse::StatusCode::Found);
            response.setHeader("Location", url("/page").toEncoded());
            return response;
        });
        secure.route("/to-https", [&securePort] {
            QHttpServerResponse response(QHttpServerResponse::StatusCode::Found);
            response.setHeader(
                "Location", "https://127.0.0.1:" + QByteArray::number(securePort) + "/secure-page");
            return response;
        });
        secure.route("/secure-page", [] { return QHttpServerResponse("text/html", "secure"); });
        securePort = secure.listen(QHostAddress::LocalHost);
        QVERIFY(securePort);
        const auto secureUrl = [&securePort](const char *path) {
            return QUrl(QStringLiteral("https://127.0.0.1:%1%2")
                            .arg(securePort)
                            .arg(QLatin1StringView(path)));
        };

        const HttpResult refused = fetch(secureUrl("/to-http"));
        QSslConfiguration::setDefaultConfiguration(original);
        QVERIFY2(!refused.ok(),
                 qPrintable(refused.finalUrl.toString() + u' ' + QString::number(refused.statusCode)
                            + u' ' + QString::fromUtf8(refused.body)));
        QVERIFY2(refused.error.contains("from https to http"), qPrintable(refused.error));
        QVERIFY(refused.body.isEmpty());
        QSslConfiguration::setDefaultConfiguration(trusting);
        const HttpResult followed = fetch(secureUrl("/to-https"));
        QSslConfiguration::setDefaultConfiguration(original);
        QVERIFY2(followed.ok(), qPrintable(followed.error));
        QCOMPARE(followed.body, QByteArray("secure"));
    }

    void httpErrorStatus_isAWholeResponse()
    {
        const HttpResult result = fetch(url("/missing"));
        QVERIFY(result.ok());
        QCOMPARE(result.statusCode, 404);
        QVERIFY(!result.isSuccessStatus());
        QCOMPARE(result.body, QByteArray("<html>not here</html>"));
    }

    void unreachableHost_fails()
    {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 deadPort = closed.serverPort();
        closed.close();
        const HttpResult result
            = fetch(QUrl(QStringLiteral("http://127.0.0.1:%1/x").arg(deadPort)));
        QVERIFY(!result.ok());
        QCOMPARE(result.statusCode, 0);
    }

    void inactivity_timesOut()
    {
        HttpClient &client = HttpClient::instance();
        client.setInactivityTimeout(1);
        const HttpResult result
            = fetch(QUrl(QStringLiteral("http://127.0.0.1:%1/x").arg(silent.serverPort())));
        client.setInactivityTimeout(60);
        QVERIFY(!result.ok());
    }

    void oversizedBody_fails()
    {
        HttpClient &client = HttpClient::instance();
        client.setMaxBytes(1024);
        const HttpResult result = fetch(url("/big"));
        client.setMaxBytes(64 * 1024 * 1024);
        QVERIFY(!result.ok());
        QVERIFY(result.body.isEmpty());
    }

    void abortedFetch_neverCallsBack()
    {
        bool called = false;
        auto running = HttpClient::instance().get(url("/page"), this,
                                                  [&](const HttpResult &) { called = true; });
        QVERIFY(running->isRunning());
        running->abort();
        QVERIFY(!running->isRunning());
        const HttpResult after = fetch(url("/page")); // let the event loop turn
        QVERIFY(after.ok());
        QVERIFY(!called);
    }

    void deadContext_dropsTheResult()
    {
        bool called = false;
        auto *context = new QObject;
        HttpClient::instance().get(url("/page"), context,
                                   [&](const HttpResult &) { called = true; });
        delete context;
        fetch(url("/page"));
        QVERIFY(!called);
    }

    void fetchesBeyondAHostsConnections_waitTheirTurn()
    {
        HttpClient &client = HttpClient::instance();
        const auto slow = [this](int n) {
            return QUrl(url("/held").toString() + u"?n=%1"_s.arg(n));
        };
        QList<int> answered;
        std::shared_ptr<HttpFetch> late;
        const auto record = [&answered](int n) {
            return [&answered, n](const HttpResult &) {
                answered.append(n);
            };
        };
        for (int n = 0; n < HttpClient::maxConnectionsPerHost; ++n) {
            client.get(slow(n), this, [&, n](const HttpResult &) {
                answered.append(n);
                // Asked for as a connection comes free, it still queues behind the others.
                if (n == 0)
                    late = client.get(slow(200), this, record(200));
            });
        }
        QTRY_COMPARE(heldOrder.size(), qsizetype(HttpClient::maxConnectionsPerHost));

        auto aborted = client.get(slow(100), this, record(100));
        auto *context = new QObject;
        client.get(slow(101), context, record(101));
        auto next = client.get(slow(102), this, record(102));
        QVERIFY(aborted->isRunning() && next->isRunning());
        aborted->abort();
        QVERIFY(!aborted->isRunning());
        delete context;

        // The host's connections are all taken; a fetch elsewhere goes ahead.
        QVERIFY(fetch(QUrl(QStringLiteral("http://localhost:%1/page").arg(port))).ok());
        QCOMPARE(heldOrder.size(), qsizetype(HttpClient::maxConnectionsPerHost));

        // Freed connections go to the oldest fetches still wanted.
        answerHeld(1);
        QTRY_COMPARE(heldOrder.size(), qsizetype(HttpClient::maxConnectionsPerHost + 1));
        QCOMPARE(heldOrder.constLast(), 102);
        QVERIFY(late && late->isRunning());
        answerHeld(1);
        QTRY_COMPARE(heldOrder.size(), qsizetype(HttpClient::maxConnectionsPerHost + 2));
        QCOMPARE(heldOrder.constLast(), 200);
        answerHeld(HttpClient::maxConnectionsPerHost);
        QTRY_COMPARE(answered.size(), HttpClient::maxConnectionsPerHost + 2);
        std::sort(answered.begin(), answered.end());
        QCOMPARE(answered, (QList<int>{ 0, 1, 2, 3, 4, 5, 102, 200 }));
    }

    // Each fetch is held by the server until all that may run at once have arrived.
    void manyFetches_runInParallel()
    {
        heldOrder.clear();
        int done = 0;
        for (int i = 0; i < 20; ++i) {
            HttpClient::instance().get(QUrl(url("/held").toString() + u"?n=%1"_s.arg(i)), this,
                                       [&](const HttpResult &r) { done += r.ok() ? 1 : 0; });
        }
        QTRY_COMPARE(heldOrder.size(), qsizetype(HttpClient::maxConnectionsPerHost));
        QCOMPARE(done, 0);
        while (done < 20 && !QTest::currentTestFailed()) {
            answerHeld(int(held.size()));
            QTRY_VERIFY(done == 20 || !held.empty());
        }
        QCOMPARE(done, 20);
    }
};

LISTORO_TEST(TestHttpClient)
#include "tst_httpclient.moc"
