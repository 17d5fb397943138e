#include "common/testregistry.h"

#include "platform/environmentproxyfactory.h"
#include "platform/imageutils.h"
#include "platform/regularexpression.h"
#include "platform/retryafter.h"
#include "platform/url.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestPlatformHelpers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void regex_matchesAnywhereIgnoringCase_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<bool>("match");
        QTest::newRow("word in host") << "craigslist"
                                      << "http://sfbay.CraigsList.org/x" << true << true;
        QTest::newRow("word in query") << "kijiji"
                                       << "http://x.com/?from=KIJIJI" << true << true;
        QTest::newRow("no match") << "kijiji"
                                  << "http://craigslist.org" << true << false;
        QTest::newRow("icu syntax")
            << "craigslist\\.(org|ca)/search/\\p{L}+"
            << "https://vancouver.craigslist.org/search/apa?x" << true << true;
        QTest::newRow("broken pattern") << "craigslist("
                                        << "craigslist(" << false << false;
        QTest::newRow("empty pattern") << ""
                                       << "anything" << true << true;
    }
    void regex_matchesAnywhereIgnoringCase()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(bool, match);
        const RegularExpression regex(pattern);
        QCOMPARE(regex.isValid(), valid);
        QCOMPARE(regex.hasMatch(text), match);
    }

    // Some 2^26 steps of backtracking: finite, but far past the bound.
    void regex_pathologicalPatternIsAbandoned()
    {
        const RegularExpression regex(QStringLiteral("(a+)+$"));
        const QString text = QString(26, u'a') + u'b';
        QCOMPARE(regex.match(text), RegularExpression::Outcome::TooCostly);
        QVERIFY(!regex.hasMatch(text));
    }

    void url_strictParsing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("parses");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("last");
        QTest::newRow("absolute") << "http://host/search/cars?q=1" << true << "host"
                                  << "/search/cars"
                                  << "cars";
        QTest::newRow("trailing slash") << "http://host/a/" << true << "host"
                                        << "/a"
                                        << "a";
        QTest::newRow("root") << "https://host/" << true << "host"
                              << "/"
                              << "/";
        QTest::newRow("no path") << "https://host" << true << "host"
                                 << ""
                                 << "";
        QTest::newRow("scheme-relative") << "//other/item/1.html" << true << "other"
                                         << "/item/1.html"
                                         << "1.html";
        QTest::newRow("relative") << "item/1.html" << true << ""
                                  << "item/1.html"
                                  << "1.html";
        QTest::newRow("encoded") << "http://h/a%20b.html" << true << "h"
                                 << "/a b.html"
                                 << "a b.html";
        QTest::newRow("space") << "a b.html" << false << ""
                               << ""
                               << "";
        QTest::newRow("null") << QString() << false << ""
                              << ""
                              << "";
    }
    void url_strictParsing()
    {
        QFETCH(QString, text);
        QFETCH(bool, parses);
        const std::optional<Url> url = Url::fromString(text);
        QCOMPARE(url.has_value(), parses);
        if (!url)
            return;
        QFETCH(QString, host);
        QFETCH(QString, path);
        QFETCH(QString, last);
        QCOMPARE(url->host(), host);
        QCOMPARE(url->path(), path);
        QCOMPARE(url->lastPathComponent(), last);
        QCOMPARE(url->absoluteString(), text);
    }

    void fitSize_data()
    {
        QTest::addColumn<float>("w");
        QTest::addColumn<float>("h");
        QTest::addColumn<float>("boxW");
        QTest::addColumn<float>("boxH");
        QTest::addColumn<float>("fitW");
        QTest::addColumn<float>("fitH");
        QTest::newRow("fits") << 200.f << 100.f << 345.f << 400.f << 200.f << 100.f;
        QTest::newRow("width limits") << 1200.f << 800.f << 345.f << 400.f << 345.f << 230.f;
        QTest::newRow("then height") << 600.f << 1600.f << 345.f << 400.f << 150.f << 400.f;
        QTest::newRow("height limits") << 250.f << 500.f << 345.f << 400.f << 200.f << 400.f;
        QTest::newRow("zero") << 0.f << 0.f << 345.f << 400.f << 0.f << 0.f;
        QTest::newRow("equal to box") << 345.f << 400.f << 345.f << 400.f << 345.f << 400.f;
        QTest::newRow("one wider")
            << 346.f << 400.f << 345.f << 400.f << 345.f << float(345.f / (346.f / 400.f));
        QTest::newRow("zero height") << 500.f << 0.f << 345.f << 400.f << 345.f << 0.f;
        QTest::newRow("not rounded") << 1000.f << 300.f << 345.f << 400.f << 345.f << 103.5f;
        QTest::newRow("tile column") << 800.f << 600.f << 339.f << 400.f << 339.f << 254.25f;
    }
    void fitSize()
    {
        QFETCH(float, w);
        QFETCH(float, h);
        QFETCH(float, boxW);
        QFETCH(float, boxH);
        QFETCH(float, fitW);
        QFETCH(float, fitH);
        const FloatSize fitted = ImageUtils::fitSize({ w, h }, { boxW, boxH });
        QCOMPARE(fitted.width, fitW);
        QCOMPARE(fitted.height, fitH);
    }

    void retryAfter_secondsOrHttpDate_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<qint64>("seconds");
        // Every date is read against 08:49:00 GMT on 6 November 1994.
        QTest::newRow("seconds") << "120"_ba << qint64(120);
        QTest::newRow("padded seconds") << " 7 "_ba << qint64(7);
        QTest::newRow("negative seconds") << "-5"_ba << qint64(-5);
        QTest::newRow("date") << "Sun, 06 Nov 1994 08:49:37 GMT"_ba << qint64(37);
        QTest::newRow("date an hour on") << "Sun, 06 Nov 1994 09:49:00 GMT"_ba << qint64(3600);
        QTest::newRow("obsolete long date") << "Sunday, 06-Nov-94 08:49:37 GMT"_ba << qint64(37);
        QTest::newRow("obsolete asctime date") << "Sun Nov  6 08:49:37 1994"_ba << qint64(37);
        QTest::newRow("date gone by") << "Sat, 05 Nov 1994 08:49:00 GMT"_ba << qint64(-86400);
        QTest::newRow("neither") << "soon"_ba << qint64(-1);
        QTest::newRow("fraction") << "1.5"_ba << qint64(-1);
        QTest::newRow("empty") << ""_ba << qint64(-1);
    }
    void retryAfter_secondsOrHttpDate()
    {
        QFETCH(QByteArray, value);
        QFETCH(qint64, seconds);
        const QDateTime now(QDate(1994, 11, 6), QTime(8, 49), Qt::UTC);
        QCOMPARE(retryAfterSeconds(value, now, -1), seconds);
    }

    void imageWithImage_scalesToExactSize()
    {
        QImage source(40, 20, QImage::Format_RGB32);
        source.fill(Qt::red);
        const QImage scaled = ImageUtils::imageWithImage(source, { 10.f, 30.f });
        const qreal dpr = ImageUtils::displayScaleFactor();
        QCOMPARE(scaled.size(), QSize(qCeil(10 * dpr), qCeil(30 * dpr)));
        QCOMPARE(scaled.devicePixelRatio(), dpr);
        QCOMPARE(QColor(scaled.pixel(scaled.width() / 2, scaled.height() / 2)), QColor(Qt::red));
        QVERIFY(ImageUtils::imageWithImage(source, { 0.f, 10.f }).isNull());
        QVERIFY(ImageUtils::imageWithImage(QImage(), { 10.f, 10.f }).isNull());
        QVERIFY(ImageUtils::imageWithImage(source, { 1e9f, 1e9f }).isNull());
    }

    void noProxy_bypass_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("noProxy");
        QTest::addColumn<bool>("bypassed");
        QTest::newRow("exact") << "127.0.0.1"
                               << "localhost,127.0.0.1" << true;
        QTest::newRow("suffix") << "www.kijiji.ca"
                                << ".kijiji.ca" << true;
        QTest::newRow("domain") << "www.kijiji.ca"
                                << "kijiji.ca" << true;
        QTest::newRow("not a suffix") << "notkijiji.ca"
                                      << "kijiji.ca" << false;
        QTest::newRow("star") << "anything"
                              << "*" << true;
        QTest::newRow("with port") << "host"
                                   << "host:8080" << true;
        QTest::newRow("empty") << "host"
                               << "" << false;
    }
    void noProxy_bypass()
    {
        QFETCH(QString, host);
        QFETCH(QString, noProxy);
        QFETCH(bool, bypassed);
        QCOMPARE(EnvironmentProxyFactory::bypassed(host, noProxy), bypassed);
    }

    void proxyFromEnvironment_byScheme()
    {
        qputenv("http_proxy", "http://proxy.example:3128");
        qputenv("https_proxy", "http://secure.example:8443");
        qputenv("no_proxy", "localhost");
        EnvironmentProxyFactory factory;
        const auto http
            = factory.queryProxy(QNetworkProxyQuery(QUrl(QStringLiteral("http://a.com/"))));
        QCOMPARE(http.first().hostName(), QStringLiteral("proxy.example"));
        QCOMPARE(http.first().port(), quint16(3128));
        const auto https
            = factory.queryProxy(QNetworkProxyQuery(QUrl(QStringLiteral("https://a.com/"))));
        QCOMPARE(https.first().hostName(), QStringLiteral("secure.example"));
        const auto direct
            = factory.queryProxy(QNetworkProxyQuery(QUrl(QStringLiteral("http://localhost/"))));
        QCOMPARE(direct.first().type(), QNetworkProxy::NoProxy);
        qunsetenv("http_proxy");
        qunsetenv("https_proxy");
        qunsetenv("no_proxy");
        const auto none
            = factory.queryProxy(QNetworkProxyQuery(QUrl(QStringLiteral("http://a.com/"))));
        QCOMPARE(none.first().type(), QNetworkProxy::NoProxy);
    }
};

LISTORO_TEST(TestPlatformHelpers)
#include "tst_platformhelpers.moc"
