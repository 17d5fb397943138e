#include "common/testregistry.h"
#include "screens/homefixture.h"

#include "saved/zestofavorite.h"
#include "screens/demosession.h"
#include "screens/launchoptions.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QStringList favoriteTitles()
{
    QStringList titles;
    for (const ZestoFavorite &favorite : ZestoFavorite::getFavorites())
        titles.append(favorite.title());
    return titles;
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void launchOptions_data();
    void launchOptions();
    void demoSession_keepsItsProfileApartFromTheUsers();
    void demoSession_takesAnotherPortWhenItsOwnIsTaken();
};

void TestStartup::launchOptions_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("asked");
    // The page opened at start, with the demo site at http://127.0.0.1:9.
    QTest::addColumn<QString>("start");

    const QString page = u"https://www.example.com/search?q=sofa&page=2"_s;
    QTest::newRow("nothing") << QStringList() << QStringList() << QString();
    QTest::newRow("demo") << QStringList{ u"--demo"_s } << QStringList{ u"demo"_s } << QString();
    QTest::newRow("reset and demo") << QStringList{ u"--reset-demo"_s, u"--demo"_s }
                                    << QStringList{ u"demo"_s, u"reset"_s } << QString();
    QTest::newRow("help among others")
        << QStringList{ u"--demo"_s, u"-h"_s } << QStringList{ u"demo"_s, u"help"_s } << QString();
    QTest::newRow("unknown option")
        << QStringList{ u"--real"_s } << QStringList{ u"error"_s } << QString();
    QTest::newRow("stray argument")
        << QStringList{ u"demo"_s } << QStringList{ u"error"_s } << QString();
    QTest::newRow("page in the browser") << QStringList{ page } << QStringList() << page;
    QTest::newRow("page as a grid")
        << QStringList{ u"--grid"_s, page } << QStringList{ u"grid"_s } << page;
    QTest::newRow("demo path as a grid")
        << QStringList{ u"--demo"_s, u"--grid"_s, u"/listoro-demo/search?page=2"_s }
        << QStringList{ u"demo"_s, u"grid"_s }
        << u"http://127.0.0.1:9/listoro-demo/search?page=2"_s;
    QTest::newRow("demo path without the demo")
        << QStringList{ u"/listoro-demo/search"_s } << QStringList{ u"error"_s } << QString();
    QTest::newRow("grid without a page")
        << QStringList{ u"--grid"_s } << QStringList{ u"error"_s } << QString();
    QTest::newRow("two pages") << QStringList{ u"--grid"_s, page, page }
                               << QStringList{ u"grid"_s, u"error"_s } << QString();
    for (const QString &refused : { u"file:///etc/passwd"_s, u"javascript:alert(1)"_s,
                                    u"www.example.com"_s, u"http:///nohost"_s, u"//host/x"_s }) {
        QTest::addRow("refused: %s", qPrintable(refused))
            << QStringList{ u"--demo"_s, u"--grid"_s, refused }
            << QStringList{ u"demo"_s, u"grid"_s, u"error"_s } << QString();
    }
}

void TestStartup::launchOptions()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, asked);
    QFETCH(QString, start);

    const LaunchOptions options = LaunchOptions::parse(QStringList{ u"listoro"_s } + arguments);
    QStringList seen;
    if (options.demo)
        seen.append(u"demo"_s);
    if (options.resetDemo)
        seen.append(u"reset"_s);
    if (options.help)
        seen.append(u"help"_s);
    if (options.grid)
        seen.append(u"grid"_s);
    if (!options.error.isNull())
        seen.append(u"error"_s);
    QCOMPARE(seen, asked);
    if (options.error.isNull())
        QCOMPARE(options.startAddress(QUrl(u"http://127.0.0.1:9"_s)), start);
}

void TestStartup::demoSession_keepsItsProfileApartFromTheUsers()
{
    TemporaryProfile profile;
    ZestoFavorite(u"mine"_s, u"http://127.0.0.1:1/mine"_s).addToFavorites();
    const QString userStore = UserDefaults::storeFile();
    const QUrl userRemote = SettingsRefresh::remoteUrl();
    QVERIFY(DemoSession::resetProfile());

    {
        DemoSession session;
        QVERIFY(session.start());
        const DemoSite *site = session.site();
        QCOMPARE(UserDefaults::storeFile(), DemoSession::storeFile());
        QCOMPARE(CacheDirectory::path(), DemoSession::cacheDirectory());
        const QString searchPage = site->searchUrl().toString(QUrl::FullyEncoded);
        QCOMPARE(SiteAddresses::craigslist(), searchPage);
        QCOMPARE(SiteAddresses::backpage(), searchPage);
        QCOMPARE(SettingsRefresh::remoteUrl(),
                 site->baseUrl().resolved(QUrl(u"/ipad/settings.txt"_s)));
        QVERIFY(favoriteTitles().isEmpty());
        ZestoFavorite(u"demo"_s, site->listingUrl(0).toString()).addToFavorites();

        // The remote settings file answers from the demo site.
        bool adopted = false;
        QObject context;
        SettingsRefresh::refreshFromRemote(&context, [&adopted](bool result) { adopted = result; });
        QTRY_VERIFY(adopted);
    }
    QCOMPARE(UserDefaults::storeFile(), userStore);
    QCOMPARE(SettingsRefresh::remoteUrl(), userRemote);
    QVERIFY(SiteAddresses::craigslist().startsWith(u"https://"_s));
    QCOMPARE(favoriteTitles(), QStringList{ u"mine"_s });

    {
        DemoSession session;
        QVERIFY(session.start());
        QCOMPARE(favoriteTitles(), QStringList{ u"demo"_s });
    }
    QVERIFY(DemoSession::resetProfile());
    QVERIFY(!QFileInfo::exists(DemoSession::profileDirectory()));
    QCOMPARE(favoriteTitles(), QStringList{ u"mine"_s });
}

void TestStartup::demoSession_takesAnotherPortWhenItsOwnIsTaken()
{
    TemporaryProfile profile;
    QTcpServer squatter;
    squatter.listen(QHostAddress::LocalHost, DemoSession::preferredPort);
    DemoSession session;
    QVERIFY(session.start());
    QVERIFY(session.site()->isRunning());
    QVERIFY(session.site()->port() != DemoSession::preferredPort);
}

LISTORO_TEST(TestStartup)
#include "tst_startup.moc"
