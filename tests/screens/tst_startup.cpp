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

    QTest::newRow("nothing") << QStringList() << QStringList();
    QTest::newRow("demo") << QStringList{ u"--demo"_s } << QStringList{ u"demo"_s };
    QTest::newRow("reset and demo")
        << QStringList{ u"--reset-demo"_s, u"--demo"_s } << QStringList{ u"demo"_s, u"reset"_s };
    QTest::newRow("help among others")
        << QStringList{ u"--demo"_s, u"-h"_s } << QStringList{ u"demo"_s, u"help"_s };
    QTest::newRow("unknown option") << QStringList{ u"--real"_s } << QStringList{ u"error"_s };
    QTest::newRow("stray argument") << QStringList{ u"demo"_s } << QStringList{ u"error"_s };
}

void TestStartup::launchOptions()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, asked);

    const LaunchOptions options = LaunchOptions::parse(QStringList{ u"listoro"_s } + arguments);
    QStringList seen;
    if (options.demo)
        seen.append(u"demo"_s);
    if (options.resetDemo)
        seen.append(u"reset"_s);
    if (options.help)
        seen.append(u"help"_s);
    if (!options.error.isNull())
        seen.append(u"error"_s);
    QCOMPARE(seen, asked);
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
