#include "common/testregistry.h"

#include "platform/defaultskeys.h"
#include "platform/userdefaults.h"
#include "scrape/rulehealth.h"
#include "scrape/settingsrefresh.h"
#include "scrape/zestoscrapesetting.h"

#include <QFile>
#include <QHttpServer>
#include <QHttpServerResponse>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

namespace {

QString document(const QString &version, const QString &entries)
{
    return QStringLiteral("{\"version\": %1, \"settings\": [%2]}").arg(version, entries);
}

QString entry(const QString &regex,
              const QString &rules = "{\"link\": {\"select\": \"//a\", \"extract\": \"href\"}}")
{
    return QStringLiteral("{\"regex\": \"%1\", \"settings\": %2}").arg(regex, rules);
}

} // namespace

class TestZestoScrapeSetting : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;

private Q_SLOTS:
    void init() { UserDefaults::setStoreFile(dir.filePath("defaults.ini")); }
    void cleanup()
    {
        QFile::remove(dir.filePath("defaults.ini"));
        UserDefaults::setStoreFile({});
        SettingsRefresh::setRemoteUrl({});
    }

    void readSettings_readsEveryProperty()
    {
        const QString text
            = "{\"version\": 3, \"settings\": [{\"name\": \"Site\", \"regex\": \"site\", "
              "\"settings\": {"
              "            \"link\": {\"select\": \"L\", \"extract\": \"href\"}, \"next\": "
              "{\"select\": \"N\", \"extract\": \"nx\"},"
              "            \"title\": {\"select\": \"T\", \"extract\": \"@content\"},"
              "            \"innerImgsWithHref\": {\"select\": \"H\", \"extract\": \"href\"},"
              "            \"innerImgsWithSrc\": {\"select\": \"S\", \"extract\": \"src\"},"
              "            \"date\": {\"select\": \"D\", \"extract\": \"@content\"}, \"price\": "
              "{\"select\": \"P\", \"extract\": \"p\"},"
              "            \"ignored\": {\"select\": \"X\"}}, \"unknown\": 1}]}";
        const auto list = ZestoScrapeSetting::readSettings(text);
        QCOMPARE(list.size(), 1);
        const ZestoScrapeSetting &s = list.first();
        QCOMPARE(s.regex(), "site");
        QCOMPARE(s.name(), "Site");
        QCOMPARE(s.displayName(), "Site");
        const QStringList got{ s.link(),
                               s.next(),
                               s.title(),
                               s.innerImgsWithHref(),
                               s.innerImgsWithSrc(),
                               s.date(),
                               s.price(),
                               s.link_extract(),
                               s.next_extract(),
                               s.title_extract(),
                               s.innerImgsWithHref_extract(),
                               s.innerImgsWithSrc_extract(),
                               s.date_extract(),
                               s.price_extract() };
        QCOMPARE(got,
                 (QStringList{ "L", "N", "T", "H", "S", "D", "P", "href", "nx", "@content", "href",
                               "src", "@content", "p" }));
    }

    void readSettings_oddDocuments_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("version");
        QTest::newRow("not json") << "settings: none" << 0 << 0.0;
        QTest::newRow("array root") << "[1, 2]" << 0 << 0.0;
        QTest::newRow("no settings") << "{\"version\": 2}" << 0 << 2.0;
        QTest::newRow("settings not array") << "{\"settings\": {}}" << 0 << 0.0;
        QTest::newRow("string version") << "{\"version\": \"2\", \"settings\": []}" << 0 << 2.0;
        QTest::newRow("string version with tail") << "{\"version\": \" 1.5beta\"}" << 0 << 1.5;
        QTest::newRow("1.10") << "{\"version\": 1.10}" << 0 << 1.1;
        QTest::newRow("text version") << "{\"version\": \"new\"}" << 0 << 0.0;
        QTest::newRow("bool version") << "{\"version\": true}" << 0 << 0.0;
        QTest::newRow("entry without regex") << document("1", "{\"settings\": {}}") << 1 << 1.0;
        QTest::newRow("entry not an object") << document("1", "7, \"x\"") << 2 << 1.0;
    }
    void readSettings_oddDocuments()
    {
        QFETCH(QString, text);
        QFETCH(int, count);
        QFETCH(double, version);
        const auto list = ZestoScrapeSetting::readSettings(text);
        QCOMPARE(list.size(), count);
        for (const auto &s : list)
            QCOMPARE(s, ZestoScrapeSetting()); // every property absent
        QCOMPARE(ZestoScrapeSetting::getVersion(text), version);
    }

    void wrongTypes_countAsAbsent()
    {
        const auto list = ZestoScrapeSetting::readSettings(
            "{\"settings\": [{\"regex\": 5, \"settings\": {\"link\": {\"select\": \"//a\"}}},"
            "                             {\"regex\": \"x\", \"settings\": {\"link\": {\"select\": "
            "3, \"extract\": [\"a\"]},"
            "                                                         \"next\": \"not an "
            "object\"}}]}");
        QCOMPARE(list.size(), 2);
        QCOMPARE(list.at(0), ZestoScrapeSetting());
        QCOMPARE(list.at(1).regex(), "x");
        QVERIFY(list.at(1).link().isNull());
        QVERIFY(list.at(1).link_extract().isNull());
        QVERIFY(list.at(1).next().isNull());
    }

    void freshStore_hasNothing()
    {
        QVERIFY(!ZestoScrapeSetting::allSettings().has_value());
        QVERIFY(!ZestoScrapeSetting::settingsForUrl("http://sfbay.craigslist.org/").has_value());
        QCOMPARE(ZestoScrapeSetting::currentVersion(), 0.0);
    }

    void archive_roundTripsEveryPropertyAndAbsence()
    {
        ZestoScrapeSetting s;
        s.setRegex("r");
        s.setName("rules of r");
        s.setDate("//time");
        s.setDate_extract("datetime");
        s.setPrice("//span[@class='price']/text()");
        s.setPrice_extract("@content");
        s.setTitle(QStringLiteral(""));
        const ZestoScrapeSetting back = ZestoScrapeSetting::decode(s.encode());
        QCOMPARE(back, s);
        QVERIFY(back.link().isNull());
        QVERIFY(!back.title().isNull());
        QVERIFY(!s.encode().contains(QStringLiteral("link")));
    }

    void updateSettings_replacesListAndVersionWhole()
    {
        ZestoScrapeSetting::updateSettings(
            document("1", entry("craigslist") + "," + entry("kijiji")));
        QCOMPARE(ZestoScrapeSetting::allSettings()->size(), 2);
        QCOMPARE(ZestoScrapeSetting::currentVersion(), 1.0);
        ZestoScrapeSetting::updateSettings(document("0.5", entry("backpage")));
        const auto stored = ZestoScrapeSetting::allSettings();
        QCOMPARE(stored->size(), 1);
        QCOMPARE(stored->first().regex(), "backpage");
        QCOMPARE(ZestoScrapeSetting::currentVersion(), 0.5);
        QVERIFY(!ZestoScrapeSetting::settingsForUrl("http://x.craigslist.org").has_value());

        // Rules no part of the road applies are kept all the same.
        ZestoScrapeSetting::updateSettings(
            document("2",
                     entry("dated",
                           "{\"date\": {\"select\": \"//time\", \"extract\": \"datetime\"}, "
                           "\"price\": {\"select\": \"//b/text()\", \"extract\": \"@content\"}}")));
        const ZestoScrapeSetting dated = ZestoScrapeSetting::allSettings()->first();
        QCOMPARE(dated.date(), "//time");
        QCOMPARE(dated.date_extract(), "datetime");
        QCOMPARE(dated.price(), "//b/text()");
        QCOMPARE(dated.price_extract(), "@content");
    }

    void settingsForUrl_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("regex");
        QTest::newRow("first of two matches") << "http://sfbay.craigslist.org/search/bia"
                                              << "search";
        QTest::newRow("word anywhere, any case") << "http://x.com/?site=CRAIGSLIST"
                                                 << "craigslist";
        QTest::newRow("no match") << "http://ebay.com/"
                                  << "";
        QTest::newRow("broken pattern skipped") << "http://kijiji.ca/("
                                                << "kijiji";
    }
    void settingsForUrl()
    {
        QFETCH(QString, url);
        QFETCH(QString, regex);
        ZestoScrapeSetting::updateSettings(
            document("1",
                     entry("(") + "," + "{\"settings\": {}}" + "," + entry("search") + ","
                         + entry("craigslist") + "," + entry("kijiji")));
        const auto chosen = ZestoScrapeSetting::settingsForUrl(url);
        QCOMPARE(chosen.has_value(), !regex.isEmpty());
        if (chosen)
            QCOMPARE(chosen->regex(), regex);
        QCOMPARE(ZestoScrapeSetting::unusableRuleSets(), QStringList{ QStringLiteral("(") });
        const QString summary
            = RuleHealth::check(QByteArray(), url, RuleHealth::PageKind::Results, chosen)
                  .linkSummary();
        QVERIFY2(summary.contains(QStringLiteral("skipped, their address pattern does not "
                                                 "compile: (.")),
                 qPrintable(summary));
    }

    void unreadableStore_countsAsNothingStored()
    {
        UserDefaults::standard().setObject(QByteArray("\xff\x00garbage", 9),
                                           DefaultsKeys::scrapeSettings);
        QVERIFY(!ZestoScrapeSetting::allSettings().has_value());
        UserDefaults::standard().setObject(QStringLiteral("text"), DefaultsKeys::scrapeSettings);
        QVERIFY(!ZestoScrapeSetting::allSettings().has_value());
    }

    void seeding_onlyWhenNothingIsStored()
    {
        QVERIFY(SettingsRefresh::seedFromShippedDocument());
        const double shipped = ZestoScrapeSetting::getVersion(SettingsRefresh::shippedDocument());
        QCOMPARE(ZestoScrapeSetting::currentVersion(), shipped);
        ZestoScrapeSetting::updateSettings(document("99", entry("mine")));
        QVERIFY(!SettingsRefresh::seedFromShippedDocument());
        QCOMPARE(ZestoScrapeSetting::allSettings()->first().regex(), "mine");
    }

    void emptyAdoptedDocument_leadsToSeedingAgain()
    {
        ZestoScrapeSetting::updateSettings(document("50", ""));
        QCOMPARE(ZestoScrapeSetting::allSettings()->size(), 0);
        QVERIFY(SettingsRefresh::seedFromShippedDocument());
        QCOMPARE(ZestoScrapeSetting::currentVersion(),
                 ZestoScrapeSetting::getVersion(SettingsRefresh::shippedDocument()));
    }

    void adoptIfNewer_data()
    {
        QTest::addColumn<QString>("remoteVersion");
        QTest::addColumn<QString>("remoteRegex");
        QTest::addColumn<bool>("adopted");
        QTest::addColumn<bool>("refused"); // with a reason for the user
        const QString host = "new.example";
        QTest::newRow("higher") << "2.5" << host << true << false;
        QTest::newRow("equal") << "2" << host << false << false;
        QTest::newRow("equal as string") << "\"2\"" << host << false << false;
        QTest::newRow("lower") << "1" << host << false << false;
        QTest::newRow("just above a float's 2") << "2.0000001" << host << true << false;
        QTest::newRow("not a number") << "\"latest\"" << host << false << true;
        QTest::newRow("beyond a float") << "1e39" << host << false << true;
        QTest::newRow("beyond a double") << "\"1e400\"" << host << false << true;
        QTest::newRow("nan") << "\"nan\"" << host << false << true;
        QTest::newRow("negative") << "-1" << host << false << true;
        QTest::newRow("a billion") << "1e9" << host << false << true;
        QTest::newRow("just below a billion") << "999999999" << host << true << false;
        QTest::newRow("pattern for every site") << "3"
                                                << ".*" << false << true;
        QTest::newRow("pattern for any host") << "3"
                                              << "^https?://[^/]+/search" << false << true;
    }
    void adoptIfNewer()
    {
        QFETCH(QString, remoteVersion);
        QFETCH(QString, remoteRegex);
        QFETCH(bool, adopted);
        QFETCH(bool, refused);
        ZestoScrapeSetting::updateSettings(
            document("2", entry("old.example") + "," + entry("other.example")));
        SettingsRefresh::clearLastRefusal();
        QCOMPARE(SettingsRefresh::adoptIfNewer(document(remoteVersion, entry(remoteRegex))),
                 adopted);
        const auto stored = ZestoScrapeSetting::allSettings();
        QCOMPARE(stored->first().regex(), adopted ? remoteRegex : "old.example");
        QCOMPARE(stored->size(), adopted ? 1 : 2);
        QCOMPARE(ZestoScrapeSetting::currentVersion() == 2.0, !adopted);
        QCOMPARE(!SettingsRefresh::lastRefusal().isNull(), refused);
    }

    void storedInfiniteVersion_countsAsNone()
    {
        UserDefaults::standard().setFloat(std::numeric_limits<float>::infinity(),
                                          DefaultsKeys::scrapeVersion);
        QCOMPARE(ZestoScrapeSetting::currentVersion(), 0.0);
        QVERIFY(SettingsRefresh::adoptIfNewer(document("1", entry("new.example"))));
    }

    void remoteUrl_isSecureUnlessOnThisMachine_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("fetched"); // empty: nothing is fetched
        QTest::newRow("http") << "http://listoro.com/ipad/settings.txt"
                              << "https://listoro.com/ipad/settings.txt";
        QTest::newRow("http, port 80") << "http://listoro.com:80/s"
                                       << "https://listoro.com/s";
        QTest::newRow("https") << "https://listoro.com:8443/s"
                               << "https://listoro.com:8443/s";
        QTest::newRow("loopback") << "http://127.0.0.1:1/s"
                                  << "http://127.0.0.1:1/s";
        QTest::newRow("localhost") << "http://localhost:1/s"
                                   << "http://localhost:1/s";
        QTest::newRow("ipv6 loopback") << "http://[::1]:1/s"
                                       << "http://[::1]:1/s";
        QTest::newRow("private address") << "http://192.168.1.1/s"
                                         << "https://192.168.1.1/s";
        QTest::newRow("file") << "file:///etc/passwd"
                              << "";
        QTest::newRow("ftp") << "ftp://listoro.com/s"
                             << "";
    }
    void remoteUrl_isSecureUnlessOnThisMachine()
    {
        QFETCH(QString, given);
        QFETCH(QString, fetched);
        qputenv("LISTORO_SETTINGS_URL", given.toUtf8());
        QCOMPARE(SettingsRefresh::remoteUrl(), QUrl(fetched));
        qunsetenv("LISTORO_SETTINGS_URL");
    }

    void remoteRefresh_fetchesAndAdoptsOnlyNewer()
    {
        QHttpServer server;
        QByteArray served = document("7", entry("remote.example")).toUtf8();
        int status = 200;
        server.route("/ipad/settings.txt", [&] {
            return QHttpServerResponse("text/plain", served,
                                       QHttpServerResponse::StatusCode(status));
        });
        const quint16 port = server.listen(QHostAddress::LocalHost);
        QVERIFY(port);
        SettingsRefresh::setRemoteUrl(
            QUrl(QStringLiteral("http://127.0.0.1:%1/ipad/settings.txt").arg(port)));
        SettingsRefresh::seedFromShippedDocument();

        const auto refresh = [&] {
            std::optional<bool> result;
            SettingsRefresh::refreshFromRemote(this, [&](bool adopted) { result = adopted; });
            [&] {
                QTRY_VERIFY(result.has_value());
            }();
            return result.value_or(false);
        };
        QVERIFY(refresh());
        QCOMPARE(ZestoScrapeSetting::currentVersion(), 7.0);
        QVERIFY(!refresh()); // same version again
        served = document("8", entry("broken")).toUtf8();
        status = 500;
        QVERIFY(!refresh()); // an error page is not the settings file
        status = 200;
        served = QByteArray("{\"version\": 9, \"settings\": [{\"regex\": \"\xff\xfe\"}]}");
        QVERIFY(!refresh()); // not UTF-8
        QCOMPARE(ZestoScrapeSetting::allSettings()->first().regex(), "remote.example");

        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        SettingsRefresh::setRemoteUrl(
            QUrl(QStringLiteral("http://127.0.0.1:%1/ipad/settings.txt").arg(closed.serverPort())));
        closed.close();
        QVERIFY(!refresh()); // unreachable: nothing changes
        QCOMPARE(ZestoScrapeSetting::currentVersion(), 7.0);
        QCOMPARE(ZestoScrapeSetting::allSettings()->first().regex(), "remote.example");
        SettingsRefresh::setRemoteUrl({});
    }

    void remoteUrl_comesFromTheEnvironment()
    {
        qputenv("LISTORO_SETTINGS_URL", "http://127.0.0.1:1/ipad/settings.txt");
        QCOMPARE(SettingsRefresh::remoteUrl(), QUrl("http://127.0.0.1:1/ipad/settings.txt"));
        qunsetenv("LISTORO_SETTINGS_URL");
        QCOMPARE(SettingsRefresh::remoteUrl(), SettingsRefresh::defaultRemoteUrl());
        QVERIFY(SettingsRefresh::remoteUrl().path().endsWith("/ipad/settings.txt"));
    }
};

LISTORO_TEST(TestZestoScrapeSetting)
#include "tst_zestoscrapesetting.moc"
