#include "common/testregistry.h"

#include "demo/demosite.h"
#include "platform/cachedirectory.h"
#include "platform/userdefaults.h"
#include "saved/watchedbookmarks.h"
#include "saved/zestobookmark.h"
#include "scrape/settingsrefresh.h"
#include "watch/bookmarkwatcher.h"
#include "watch/desktopnotifier.h"
#include "watch/watchnotices.h"
#include "watch/watchschedule.h"

#include <QDBusConnection>
#include <QHttpServer>
#include <QHttpServerResponse>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

constexpr int checkTimeout = 30000;

// A notification service of the desktop, on its own connection to the test's session bus: it
// records what it is sent.
class RecordingNotifications : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Shown
    {
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
    };
    QList<Shown> shown;

public Q_SLOTS:
    QStringList GetCapabilities() { return { u"actions"_s, u"body"_s, u"body-markup"_s }; }
    uint Notify(const QString &, uint, const QString &, const QString &summary, const QString &body,
                const QStringList &actions, const QVariantMap &hints, int)
    {
        shown.append({ summary, body, actions, hints });
        return uint(shown.size());
    }
    void CloseNotification(uint) { }

Q_SIGNALS:
    void ActionInvoked(uint id, const QString &action);
    void NotificationClosed(uint id, uint reason);
};

} // namespace

// Watched bookmarks checked against local sites, told through a recording notification service.
class TestWatch : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    RecordingNotifications service;
    QDBusConnection serviceBus = QDBusConnection(u"none"_s);

    void watch(const QString &name, const QString &address)
    {
        ZestoBookmark(name, address).addToBookmarks();
        WatchedBookmarks::setWatched(address, true, 30);
    }

private slots:
    void initTestCase()
    {
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("needs a session bus: ctest runs this under dbus-run-session");
        UserDefaults::setStoreFile(dir.filePath("defaults.ini"));
        CacheDirectory::setPath(dir.filePath("cache"));
        SettingsRefresh::seedFromShippedDocument();
        serviceBus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"service"_s);
        QVERIFY(serviceBus.registerObject(u"/org/freedesktop/Notifications"_s, &service,
                                          QDBusConnection::ExportAllSlots
                                              | QDBusConnection::ExportAllSignals));
        QVERIFY(serviceBus.registerService(DesktopNotifier::service));
        QVERIFY(DesktopNotifier::serviceAvailable());
    }

    // Learns the page first, then tells once of what the site gained, and nothing when nothing
    // is new; the notification's action opens the bookmark.
    void newListings_toldOnceWithCountTitleAndAction()
    {
        DemoSite::Options options;
        options.listingsPerPage = 4;
        options.pages = 1;
        auto site = std::make_unique<DemoSite>(options);
        QVERIFY(site->start());
        const QString address = site->searchUrl(1).toString();
        watch(u"Plateau 4½"_s, address);

        BookmarkWatcher watcher;
        DesktopNotifier notifier;
        WatchNotices notices(&watcher, &notifier);
        watcher.sync();
        QCOMPARE(watcher.watchCount(), 1);
        QSignalSpy checks(&watcher, &BookmarkWatcher::stateChanged);
        watcher.checkNow(address);
        QTRY_VERIFY_WITH_TIMEOUT(watcher.state(address).lastCheck.isValid(), checkTimeout);
        QVERIFY(watcher.state(address).problem.isNull());
        QCOMPARE(site->requestCount(u"/listoro-demo/item"_s), 0); // learnt, not detailed

        // The site gained two listings.
        const quint16 port = site->port();
        site.reset();
        options.listingsPerPage = 6;
        options.port = port;
        site = std::make_unique<DemoSite>(options);
        QVERIFY(site->start());
        QSignalSpy opened(&notifier, &DesktopNotifier::opened);
        const QDateTime first = watcher.state(address).lastCheck;
        watcher.checkNow(address);
        QTRY_COMPARE_WITH_TIMEOUT(service.shown.size(), 1, checkTimeout);
        QCOMPARE(service.shown.first().summary, u"Plateau 4½: 2 new listings"_s);
        const DemoListing newest = site->listing(4);
        QVERIFY2(service.shown.first().body.startsWith(newest.title.toHtmlEscaped()),
                 qPrintable(service.shown.first().body));
        QVERIFY(service.shown.first().body.contains(newest.priceText()));
        QCOMPARE(service.shown.first().actions, (QStringList{ u"default"_s, u"Open"_s }));
        QVERIFY(watcher.state(address).lastCheck > first);
        QCOMPARE(site->requestCount(u"/listoro-demo/item"_s), 2); // the new listings only
        QCOMPARE(notices.unseenCount(), 2);

        emit service.ActionInvoked(1, u"default"_s);
        QTRY_COMPARE(opened.size(), 1);
        QCOMPARE(opened.first().first().toString(), address);

        // Nothing new: nothing told.
        const QDateTime second = watcher.state(address).lastCheck;
        watcher.checkNow(address);
        QTRY_VERIFY_WITH_TIMEOUT(watcher.state(address).lastCheck > second, checkTimeout);
        QTest::qWait(200);
        QCOMPARE(service.shown.size(), 1);
        service.shown.clear();
    }

    // A site that answers 429 pauses the watch, says so in its state, and is asked again only
    // after a longer wait; nothing is told.
    void refusingSite_pausesTheWatch()
    {
        QHttpServer refusing;
        int asked = 0;
        refusing.route("/search", [&asked] {
            ++asked;
            QHttpServerResponse response("text/html", "<html>slow down</html>",
                                         QHttpServerResponse::StatusCode::TooManyRequests);
            response.setHeader("Retry-After", "0");
            return response;
        });
        const quint16 port = refusing.listen(QHostAddress::LocalHost);
        QVERIFY(port);
        const QString address = u"http://127.0.0.1:%1/search"_s.arg(port);
        watch(u"Limited"_s, address);

        BookmarkWatcher watcher;
        DesktopNotifier notifier;
        WatchNotices notices(&watcher, &notifier);
        watcher.sync();
        watcher.checkNow(address);
        QTRY_VERIFY_WITH_TIMEOUT(watcher.state(address).lastCheck.isValid(), checkTimeout);
        QVERIFY(watcher.state(address).pausedBySite);
        QVERIFY(!watcher.state(address).problem.isNull());
        QVERIFY(asked >= 1 && asked <= 2);
        // Backed off: the next check is at least the doubled period less its jitter away.
        const qint64 wait
            = QDateTime::currentDateTimeUtc().msecsTo(watcher.state(address).nextCheck);
        QVERIFY2(wait > 2 * 30 * 60 * 1000 * 9 / 10 - 5000, qPrintable(QString::number(wait)));
        QTest::qWait(200);
        QCOMPARE(service.shown.size(), 0);
        QCOMPARE(notices.unseenCount(), 0);
    }

    void schedule_keepsPeriodsApartAndBacksOff_data()
    {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<int>("refusals");
        QTest::addColumn<qint64>("period"); // in seconds
        QTest::newRow("default") << 30 << 0 << qint64(1800);
        QTest::newRow("below the least") << 1 << 0 << qint64(300);
        QTest::newRow("refused twice") << 30 << 2 << qint64(7200);
        QTest::newRow("refused often: at most sixteen times") << 10 << 9 << qint64(9600);
    }
    void schedule_keepsPeriodsApartAndBacksOff()
    {
        QFETCH(int, minutes);
        QFETCH(int, refusals);
        QFETCH(qint64, period);
        QRandomGenerator random(7);
        QSet<qint64> waits;
        for (int i = 0; i < 50; ++i) {
            const qint64 wait = WatchSchedule::nextWait(minutes, refusals, random);
            QVERIFY(wait >= period * 900 && wait <= period * 1100);
            waits.insert(wait);
        }
        QVERIFY(waits.size() > 40); // jittered, so that watches never line up
    }
};

LISTORO_TEST(TestWatch)
#include "tst_watch.moc"
