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
    void storyboard_startsAtHomeWithEverySegue();
    void demoSession_keepsItsProfileApartFromTheUsers();
    void demoSession_takesAnotherPortWhenItsOwnIsTaken();
};

void TestStartup::launchOptions_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("demo");
    QTest::addColumn<bool>("resetDemo");
    QTest::addColumn<bool>("help");
    QTest::addColumn<bool>("error");

    QTest::newRow("nothing") << QStringList() << false << false << false << false;
    QTest::newRow("demo") << QStringList{ u"--demo"_s } << true << false << false << false;
    QTest::newRow("reset and demo")
        << QStringList{ u"--reset-demo"_s, u"--demo"_s } << true << true << false << false;
    QTest::newRow("reset only") << QStringList{ u"--reset-demo"_s } << false << true << false
                                << false;
    QTest::newRow("short help") << QStringList{ u"-h"_s } << false << false << true << false;
    QTest::newRow("help among others")
        << QStringList{ u"--demo"_s, u"--help"_s } << true << false << true << false;
    QTest::newRow("unknown option")
        << QStringList{ u"--real"_s } << false << false << false << true;
    QTest::newRow("stray argument") << QStringList{ u"demo"_s } << false << false << false << true;
}

void TestStartup::launchOptions()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, demo);
    QFETCH(bool, resetDemo);
    QFETCH(bool, help);
    QFETCH(bool, error);

    const LaunchOptions options = LaunchOptions::parse(QStringList{ u"listoro"_s } + arguments);
    QCOMPARE(options.demo, demo);
    QCOMPARE(options.resetDemo, resetDemo);
    QCOMPARE(options.help, help);
    QCOMPARE(!options.error.isNull(), error);
}

void TestStartup::storyboard_startsAtHomeWithEverySegue()
{
    TemporaryProfile profile;
    confirmHowto();
    std::unique_ptr<Storyboard> storyboard(ListoroStoryboard::create());
    for (const QLatin1StringView identifier :
         { ListoroStoryboard::homeToListoro, ListoroStoryboard::surf,
           ListoroStoryboard::howtopopover, ListoroStoryboard::detailedView })
        QVERIFY2(storyboard->hasSegue(identifier), qPrintable(QString(identifier)));

    std::unique_ptr<NavigationController> window(
        ListoroStoryboard::instantiateInitialWindow(storyboard.get()));
    QCOMPARE(window->viewControllers().size(), 1);
    QVERIFY(qobject_cast<HomeViewController *>(window->topViewController()));
    QCOMPARE(window->size(), QSize(1024, 768));
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
    {
        DemoSession session;
        QVERIFY(session.start());
        QVERIFY(favoriteTitles().isEmpty());
    }
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
