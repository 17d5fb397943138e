#include "common/testregistry.h"
#include "homefixture.h"

#include "platform/cachelimit.h"
#include "platform/pagecache.h"
#include "saved/zestofavorite.h"
#include "scrape/userrulesets.h"
#include "screens/preferencesviewcontroller.h"
#include "ui/barbuttonitem.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

// The preferences screen, reached from the home screen: the cache's limit as the user writes
// it, the cache trimmed to it, and "Clear cache" keeping the favorites' pages and photos.

class TestPreferences final : public QObject
{
    Q_OBJECT

    std::unique_ptr<TemporaryProfile> profile;
    std::unique_ptr<HomeWindow> home;

    PreferencesViewController *open()
    {
        home->home()->btnPreferences()->trigger();
        auto *screen = qobject_cast<PreferencesViewController *>(home->window->topViewController());
        if (screen)
            waitForMeasure(screen);
        return screen;
    }
    static bool waitForMeasure(PreferencesViewController *screen)
    {
        return QTest::qWaitFor([screen] { return !screen->isBusy(); }, 10000);
    }
    static void fill(const QString &url, qint64 bytes)
    {
        QVERIFY(PageCache::writeAtomically(PageCache::pagePath(url), QByteArray(bytes, 'x')));
    }

private slots:
    void init()
    {
        profile = std::make_unique<TemporaryProfile>();
        confirmHowto();
        home = std::make_unique<HomeWindow>();
        home->window->show();
    }
    void cleanup()
    {
        home.reset();
        profile.reset();
    }

    void takesTheLimitAsWritten_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("stored");
        const qint64 unset = CacheLimit::defaultBytes;
        QTest::newRow("offered") << u"512 MB"_s << (qint64(512) << 20);
        QTest::newRow("typed") << u"3G"_s << (qint64(3) << 30);
        QTest::newRow("no size") << u"lots"_s << unset;
        QTest::newRow("fraction") << u"1.5 GB"_s << unset;
        QTest::newRow("too small") << u"1 MB"_s << unset;
    }
    void takesTheLimitAsWritten()
    {
        QFETCH(QString, text);
        QFETCH(qint64, stored);
        PreferencesViewController *screen = open();
        QVERIFY(screen);
        QCOMPARE(screen->applyLimit(text), stored != CacheLimit::defaultBytes);
        QCOMPARE(CacheLimit::stored(), stored);
        QVERIFY(waitForMeasure(screen));
        // The field shows the limit in force, never a refused text.
        QCOMPARE(CacheLimit::parse(screen->cacheLimit()->currentText()), stored);
    }

    void trimsToANewLimitAndClearsKeepingFavorites()
    {
        // A favorite whose page names one photo, found by the user's rules for its site.
        ZestoScrapeSetting rules;
        rules.setName(u"shop"_s);
        rules.setRegex(u"shop\\.example/item"_s);
        rules.setTitle(u"//h1"_s);
        rules.setTitle_extract(u"@content"_s);
        rules.setInnerImgsWithSrc(u"//img"_s);
        rules.setInnerImgsWithSrc_extract(u"src"_s);
        QCOMPARE(UserRuleSets::save(rules), QString());
        const QString favorite = u"https://shop.example/item/1"_s;
        const QString photo = u"https://shop.example/p/1.jpg"_s;
        QVERIFY(PageCache::storePage(
            "<html><body><h1>Lamp</h1><img src=\"/p/1.jpg\"></body></html>", favorite));
        QVERIFY(PageCache::writeAtomically(PageCache::photoPath(photo), QByteArray(1000, 'j')));
        ZestoFavorite::setFavorites({ ZestoFavorite(u"Lamp"_s, favorite) });
        for (int i = 0; i < 20; ++i)
            fill(u"https://shop.example/item/other/%1"_s.arg(i), qint64(1) << 20);

        PreferencesViewController *screen = open();
        QVERIFY(screen);
        QVERIFY(screen->cacheSize()->text().startsWith(u"20"_s));

        QVERIFY(screen->applyLimit(u"16 MB"_s));
        QVERIFY(waitForMeasure(screen));
        QVERIFY(CacheLimit::size() <= qint64(16) << 20);
        QVERIFY(CacheLimit::size() > qint64(10) << 20);

        QSignalSpy measured(screen, &PreferencesViewController::cacheMeasured);
        screen->clearButton()->click();
        QVERIFY(!screen->clearButton()->isEnabled());
        QVERIFY(waitForMeasure(screen));
        QCOMPARE(measured.count(), 1);
        QVERIFY(screen->clearButton()->isEnabled());
        QCOMPARE(QDir(CacheDirectory::path()).entryList(QDir::Files).size(), 2);
        QVERIFY(PageCache::hasPage(favorite));
        QVERIFY(PageCache::hasPhoto(photo));
        QVERIFY(screen->status()->text().contains(u"favorites"_s));
    }
};

LISTORO_TEST(TestPreferences)
#include "tst_preferences.moc"
