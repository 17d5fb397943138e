#include "common/testregistry.h"
#include "screens/homefixture.h"

#include "demo/demosite.h"
#include "saved/watchedbookmarks.h"
#include "saved/zestobookmark.h"
#include "saved/zestobookmarktablecell.h"
#include "saved/zestofavorite.h"
#include "scrape/zestoscrapesetting.h"
#include "screens/listoroviewcontroller.h"
#include "screens/watchcentre.h"
#include "ui/navigationbar.h"
#include "watch/bookmarkwatcher.h"
#include "widgets/panelview.h"
#include "widgets/viewalpha.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

void storeFavorites(int count)
{
    QList<ZestoFavorite> favorites;
    for (int i = 0; i < count; ++i)
        favorites.append(
            ZestoFavorite(u"Listing %1"_s.arg(i), u"http://127.0.0.1:1/item/%1"_s.arg(i)));
    ZestoFavorite::setFavorites(favorites);
}

QList<ZestoBookmark> threeBookmarks()
{
    return { ZestoBookmark(u"Tables"_s, u"http://127.0.0.1:1/tables"_s),
             ZestoBookmark(u"Bikes"_s, u"http://127.0.0.1:1/bikes"_s),
             ZestoBookmark(u"Lamps"_s, u"http://127.0.0.1:1/lamps"_s) };
}

// Lets timers due within the given time fire first: a timer started later with a longer
// interval fires after them.
void letTimersFire(int ms)
{
    bool fired = false;
    QTimer::singleShot(ms, qApp, [&fired] { fired = true; });
    QTRY_VERIFY(fired);
}

QStringList rowTexts(HomeViewController *home)
{
    QStringList texts;
    for (int row = 0; row < home->bookmarksTable()->count(); ++row)
        texts.append(home->cellForRow(row)->titleText());
    return texts;
}

ListoroViewController *pushedBrowser(const HomeWindow &w)
{
    const QList<ViewController *> stack = w.window->viewControllers();
    return stack.size() == 2 ? qobject_cast<ListoroViewController *>(stack.last()) : nullptr;
}

QString settingsDocument(const QString &version)
{
    return u"{\"version\": %1, \"settings\": [{\"regex\": \"example\\\\.com\", \"settings\": "
           "{\"link\": {\"select\": \"//a\", \"extract\": \"href\"}}}]}"_s.arg(version);
}

} // namespace

class TestHomeScreen : public QObject
{
    Q_OBJECT

private slots:
    void favoritesPanel_countAndDimming_data();
    void favoritesPanel_countAndDimming();
    void favoritesClick_opensTheFavoritesGridAfterADelay_data();
    void favoritesClick_opensTheFavoritesGridAfterADelay();
    void bookmarkRows_showTitleElseUrlElseNumber();
    void bookmarkDeletion_onlyAfterYes_data();
    void bookmarkDeletion_onlyAfterYes();
    void bookmarkRow_opensItsPageAsAGrid_data();
    void bookmarkRow_opensItsPageAsAGrid();
    void launchPage_opensOnceAsAGridOrInTheBrowser_data();
    void launchPage_opensOnceAsAGridOrInTheBrowser();
    void bookmarkRow_keepsItsButtonsInANarrowWindow_data();
    void bookmarkRow_keepsItsButtonsInANarrowWindow();
    void bookmarkRow_watchToggleKeepsTheWatch();
    void panels_followTheWindowShape_data();
    void panels_followTheWindowShape();
    void surfRule_findsTheSiteInTheTitle_data();
    void surfRule_findsTheSiteInTheTitle();
    void siteItems_openTheSiteWithoutGridMode();
    void remoteSettings_adoptedOnlyWhenNewer_data();
    void remoteSettings_adoptedOnlyWhenNewer();
    void styling_innerShadowMadeOnceAndGradientBehindChildren();
};

void TestHomeScreen::favoritesPanel_countAndDimming_data()
{
    QTest::addColumn<int>("favorites");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("textAlpha");
    QTest::addColumn<double>("backgroundOpacity");

    QTest::newRow("none") << 0 << u"You have 0 favorites"_s << 0.4 << 0.2;
    QTest::newRow("one") << 1 << u"You have 1 favorite"_s << 1.0 << 1.0;
    QTest::newRow("seven") << 7 << u"You have 7 favorites"_s << 1.0 << 1.0;
}

void TestHomeScreen::favoritesPanel_countAndDimming()
{
    QFETCH(int, favorites);
    QFETCH(QString, text);
    QFETCH(double, textAlpha);
    QFETCH(double, backgroundOpacity);

    TemporaryProfile profile;
    confirmHowto();
    // Come back from a screen with favorites, so the dimming must also undo itself.
    storeFavorites(3);
    HomeWindow w;
    w.window->show();
    storeFavorites(favorites);
    w.window->pushViewController(new ViewController, false);
    w.window->popViewControllerAnimated(false);

    HomeViewController *home = w.home();
    QCOMPARE(home->lblFavoritesNumber()->text(), text);
    QCOMPARE(viewAlpha(home->lblFavoritesNumber()), textAlpha);
    QCOMPARE(viewAlpha(home->txtFavorites()), textAlpha);
    QCOMPARE(home->vwFavoritesView()->backgroundOpacity(), backgroundOpacity);
    // The panel itself stays opaque and clickable; a click with no favorites does nothing.
    QCOMPARE(viewAlpha(home->vwFavoritesView()), 1.0);
    QVERIFY(home->vwFavoritesView()->isUserInteractionEnabled());
}

void TestHomeScreen::favoritesClick_opensTheFavoritesGridAfterADelay_data()
{
    QTest::addColumn<int>("favorites");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<bool>("opens");

    QTest::newRow("no favorites") << 0 << 1 << false;
    QTest::newRow("one click") << 2 << 1 << true;
    QTest::newRow("double click opens one grid") << 2 << 2 << true;
}

void TestHomeScreen::favoritesClick_opensTheFavoritesGridAfterADelay()
{
    QFETCH(int, favorites);
    QFETCH(int, clicks);
    QFETCH(bool, opens);

    TemporaryProfile profile;
    confirmHowto();
    storeFavorites(favorites);
    HomeWindow w;
    w.window->show();
    HomeViewController *home = w.home();
    PanelView *panel = home->vwFavoritesView();
    for (int i = 0; i < clicks; ++i)
        QTest::mouseClick(panel, Qt::LeftButton, {}, panel->bounds().center());
    QCOMPARE(w.window->viewControllers().size(), 1);

    if (opens)
        QTRY_VERIFY(pushedBrowser(w));
    letTimersFire(150);
    QCOMPARE(w.window->viewControllers().size(), opens ? 2 : 1);
    if (!opens)
        return;
    ListoroViewController *browser = pushedBrowser(w);
    QCOMPARE(browser->currentUrl(), u"zesto://favorites"_s);
    QVERIFY(browser->autozesto());
    QCOMPARE(w.window->navigationBar()->backButton()->text(), u"Home"_s);
}

void TestHomeScreen::bookmarkRows_showTitleElseUrlElseNumber()
{
    TemporaryProfile profile;
    confirmHowto();
    ZestoBookmark::setBookmarks({ ZestoBookmark(u"Tables"_s, u"http://127.0.0.1:1/a"_s),
                                  ZestoBookmark(QString(), u"http://127.0.0.1:1/b"_s),
                                  ZestoBookmark(u""_s, u"http://127.0.0.1:1/c"_s),
                                  ZestoBookmark(QString(), QString()) });
    HomeWindow w;
    w.window->show();

    QCOMPARE(rowTexts(w.home()),
             QStringList({ u"Tables"_s, u"http://127.0.0.1:1/b"_s, u""_s, u"Bookmark3"_s }));
}

void TestHomeScreen::bookmarkDeletion_onlyAfterYes_data()
{
    QTest::addColumn<int>("bookmarks");
    QTest::addColumn<int>("row");
    QTest::addColumn<bool>("byKey");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("removedMeanwhile");
    QTest::addColumn<QStringList>("left");

    const QStringList all{ u"Tables"_s, u"Bikes"_s, u"Lamps"_s };
    QTest::newRow("button, yes") << 3 << 1 << false << 0 << -1
                                 << QStringList{ u"Tables"_s, u"Lamps"_s };
    QTest::newRow("button, no") << 3 << 1 << false << 1 << -1 << all;
    QTest::newRow("key, yes") << 3 << 2 << true << 0 << -1
                              << QStringList{ u"Tables"_s, u"Bikes"_s };
    QTest::newRow("key, no") << 3 << 0 << true << 1 << -1 << all;
    QTest::newRow("the last one") << 1 << 0 << false << 0 << -1 << QStringList();
    // Another window of the application deleted a bookmark while the question was shown.
    QTest::newRow("named one moved up") << 3 << 2 << false << 0 << 0 << QStringList{ u"Bikes"_s };
    QTest::newRow("named one gone")
        << 3 << 1 << false << 0 << 1 << QStringList{ u"Tables"_s, u"Lamps"_s };
}

void TestHomeScreen::bookmarkDeletion_onlyAfterYes()
{
    QFETCH(int, bookmarks);
    QFETCH(int, row);
    QFETCH(bool, byKey);
    QFETCH(int, answer);
    QFETCH(int, removedMeanwhile);
    QFETCH(QStringList, left);

    TemporaryProfile profile;
    confirmHowto();
    ZestoBookmark::setBookmarks(threeBookmarks().mid(0, bookmarks));
    HomeWindow w;
    w.window->show();
    HomeViewController *home = w.home();

    if (byKey) {
        home->bookmarksTable()->setCurrentRow(row);
        QTest::keyClick(home->bookmarksTable(), Qt::Key_Delete);
    } else {
        QTest::mouseClick(home->cellForRow(row)->deleteButton(), Qt::LeftButton);
    }
    QCOMPARE(AlertView::visibleAlerts().size(), 1);
    AlertView *alert = AlertView::visibleAlerts().constFirst();
    QCOMPARE(alert->title(), u"Sure?"_s);
    QCOMPARE(alert->message(),
             u"Are you sure you want to delete %1 ?"_s.arg(threeBookmarks().at(row).title()));
    QCOMPARE(alert->tag(), row);
    QCOMPARE(alert->buttonTitleAtIndex(0), u"Yes"_s);
    QCOMPARE(alert->buttonTitleAtIndex(1), u"No"_s);
    QCOMPARE(ZestoBookmark::getBookmarks().size(), bookmarks);

    if (removedMeanwhile >= 0)
        ZestoBookmark::removeBookmarkAtIndex(removedMeanwhile);
    QTest::mouseClick(alert->buttonAtIndex(answer), Qt::LeftButton);
    QStringList stored;
    for (const ZestoBookmark &bookmark : ZestoBookmark::getBookmarks())
        stored.append(bookmark.title());
    QCOMPARE(stored, left);
    QCOMPARE(rowTexts(home), left);
    const bool empty = left.isEmpty();
    QCOMPARE(viewAlpha(home->vwBookmarksView()), empty ? 0.4 : 1.0);
    QCOMPARE(home->vwBookmarksView()->isUserInteractionEnabled(), !empty);
    QCOMPARE(home->bookmarksPlaceholder()->isVisible(), empty);
}

void TestHomeScreen::bookmarkRow_opensItsPageAsAGrid_data()
{
    QTest::addColumn<QString>("way");

    QTest::newRow("click on the row") << u"click"_s;
    QTest::newRow("its Zesto button") << u"zesto"_s;
    QTest::newRow("Enter") << u"enter"_s;
}

void TestHomeScreen::bookmarkRow_opensItsPageAsAGrid()
{
    QFETCH(QString, way);

    TemporaryProfile profile;
    confirmHowto();
    ZestoBookmark::setBookmarks(threeBookmarks());
    HomeWindow w;
    w.window->show();
    HomeViewController *home = w.home();
    ZestoBookmarkTableCell *cell = home->cellForRow(1);
    if (way == u"click"_s) {
        // Through the window, as a real click on the row's label once the table is laid out.
        QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
        QListWidget *table = home->bookmarksTable();
        QTRY_COMPARE(cell->geometry(), table->visualItemRect(table->item(1)));
        const QPoint at = cell->title()->mapTo(w.window.get(), cell->title()->rect().center());
        QCOMPARE(w.window->childAt(at), cell->title());
        QTest::mouseClick(w.window->windowHandle(), Qt::LeftButton, {}, at);
    } else if (way == u"zesto"_s) {
        QTest::mouseClick(cell->zestoButton(), Qt::LeftButton);
    } else {
        home->bookmarksTable()->setCurrentRow(1);
        QTest::keyClick(home->bookmarksTable(), Qt::Key_Return);
    }

    ListoroViewController *browser = pushedBrowser(w);
    QVERIFY(browser);
    QCOMPARE(browser->currentUrl(), u"http://127.0.0.1:1/bikes"_s);
    QVERIFY(browser->autozesto());
    QCOMPARE(HomeViewController::selectedUrl(), u"http://127.0.0.1:1/bikes"_s);
}

void TestHomeScreen::launchPage_opensOnceAsAGridOrInTheBrowser_data()
{
    QTest::addColumn<bool>("grid");
    QTest::newRow("as a grid") << true;
    QTest::newRow("in the browser") << false;
}

void TestHomeScreen::launchPage_opensOnceAsAGridOrInTheBrowser()
{
    QFETCH(bool, grid);

    TemporaryProfile profile;
    confirmHowto(false);
    HomeWindow w;
    w.home()->setLaunchPage(u"http://127.0.0.1:1/bikes"_s, grid);
    w.window->show();

    ListoroViewController *browser = pushedBrowser(w);
    QVERIFY(browser);
    QCOMPARE(browser->currentUrl(), u"http://127.0.0.1:1/bikes"_s);
    QCOMPARE(browser->autozesto(), grid);
    QVERIFY(!w.home()->popover());
    // Back home, the how-to the page kept waiting shows, and the page does not open again.
    w.window->popViewControllerAnimated(false);
    QCOMPARE(w.window->viewControllers().size(), 1);
    QVERIFY(w.home()->popover());
}

void TestHomeScreen::bookmarkRow_keepsItsButtonsInANarrowWindow_data()
{
    QTest::addColumn<QSize>("opened");
    QTest::addColumn<QSize>("size");
    QTest::newRow("1024 by 768") << QSize(1024, 768) << QSize(1024, 768);
    QTest::newRow("640 by 480") << QSize(640, 480) << QSize(640, 480);
    QTest::newRow("narrowed after opening") << QSize(1024, 768) << QSize(640, 480);
}

void TestHomeScreen::bookmarkRow_keepsItsButtonsInANarrowWindow()
{
    QFETCH(QSize, opened);
    QFETCH(QSize, size);

    TemporaryProfile profile;
    confirmHowto();
    const QString name = u"Garden furniture, lawn mowers and every kind of outdoor tool "
                         "below sixty dollars in the east end of the island"_s;
    ZestoBookmark::setBookmarks({ ZestoBookmark(name, u"http://127.0.0.1:1/garden"_s) });
    // With watches, the row has its watch toggle too.
    WatchCentre watches;
    HomeWindow w(opened);
    w.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
    w.window->resize(size);
    HomeViewController *home = w.home();
    ZestoBookmarkTableCell *cell = home->cellForRow(0);
    QListWidget *table = home->bookmarksTable();
    QTRY_COMPARE(cell->geometry(), table->visualItemRect(table->item(0)));
    const QRect room = table->viewport()->rect();
    for (QWidget *button :
         { static_cast<QWidget *>(cell->watchButton()), static_cast<QWidget *>(cell->zestoButton()),
           static_cast<QWidget *>(cell->deleteButton()) }) {
        const QRect at(button->mapTo(table->viewport(), QPoint()), button->size());
        QVERIFY2(room.contains(at), qPrintable(button->objectName()));
    }
    QCOMPARE(cell->titleText(), name);
    QVERIFY(cell->title()->text().endsWith(QChar(0x2026)));
    QVERIFY(cell->title()->fontMetrics().horizontalAdvance(cell->title()->text())
            <= cell->title()->width());
}

void TestHomeScreen::bookmarkRow_watchToggleKeepsTheWatch()
{
    TemporaryProfile profile;
    confirmHowto();
    const QString address = u"http://127.0.0.1:1/bikes"_s;
    ZestoBookmark::setBookmarks({ ZestoBookmark(u"Bikes"_s, address) });
    WatchCentre watches;
    HomeWindow w;
    w.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.window.get()));
    for (const bool on : { true, false }) {
        ZestoBookmarkTableCell *cell = w.home()->cellForRow(0);
        QVERIFY(cell->watchButton()->isVisible());
        QCOMPARE(cell->watchButton()->isChecked(), !on);
        cell->watchButton()->click();
        QCOMPARE(WatchedBookmarks::isWatched(address), on);
        QCOMPARE(watches.watcher()->watchCount(), on ? 1 : 0);
        // The rows are drawn again with what is kept.
        QTRY_VERIFY(w.home()->cellForRow(0) && w.home()->cellForRow(0) != cell);
        QCOMPARE(w.home()->cellForRow(0)->watchButton()->isChecked(), on);
        QCOMPARE(w.home()->cellForRow(0)->watchButton()->text(), on ? u"Watching"_s : u"Watch"_s);
    }

    // The tray's menu opens Listoro, pauses every watch (said on the row) and quits.
    watches.setWatched(address, true);
    QStringList items;
    for (const QAction *action : watches.trayMenu()->actions()) {
        if (!action->isSeparator())
            items.append(action->text());
    }
    QCOMPARE(items, (QStringList{ u"Open Listoro"_s, u"Pause all watches"_s, u"Quit Listoro"_s }));
    watches.trayMenu()->actions().at(1)->trigger();
    QVERIFY(watches.watcher()->isPaused());
    QCOMPARE(watches.trayMenu()->actions().at(1)->text(), u"Resume watches"_s);
    QTRY_COMPARE(w.home()->cellForRow(0)->note()->text(), u"Watch paused"_s);
    if (const QString shots = qEnvironmentVariable("LISTORO_SHOTS"); !shots.isEmpty()) {
        watches.trayMenu()->popup(QPoint(0, 0));
        QVERIFY(watches.trayMenu()->grab().save(shots + u"/tray-menu.png"_s));
        watches.trayMenu()->hide();
    }
}

void TestHomeScreen::panels_followTheWindowShape_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("screenWidth");
    QTest::addColumn<int>("panelWidth");
    QTest::addColumn<int>("bookmarksHeight");

    QTest::newRow("portrait 768 by 1024") << QSize(768, 1024) << 768 << 728 << 500;
    QTest::newRow("landscape 1024 by 768") << QSize(1024, 768) << 1024 << 984 << 500;
    // Shortened to end above the window's bottom edge.
    QTest::newRow("small 640 by 480") << QSize(640, 480) << 640 << 600 << -1;
}

void TestHomeScreen::panels_followTheWindowShape()
{
    QFETCH(QSize, size);
    QFETCH(int, screenWidth);
    QFETCH(int, panelWidth);
    QFETCH(int, bookmarksHeight);

    TemporaryProfile profile;
    // Open in the other shape, then turn: the panels and the cover follow.
    HomeWindow w(size.transposed());
    w.window->show();
    HomeViewController *home = w.home();
    QVERIFY(home->coverView()->isVisible());
    w.window->resize(size);

    QTRY_COMPARE(home->screen_width(), screenWidth);
    QCOMPARE(home->screen_height(), size.height());
    QCOMPARE(home->vwFavoritesView()->frame(), QRect(20, 20, panelWidth, 100));
    const QRect bookmarks = home->vwBookmarksView()->frame();
    QCOMPARE(bookmarks.topLeft(), QPoint(20, 140));
    QCOMPARE(bookmarks.width(), panelWidth);
    if (bookmarksHeight > 0)
        QCOMPARE(bookmarks.height(), bookmarksHeight);
    else
        QCOMPARE(bookmarks.bottom() + 1 + 20, home->height());
    QCOMPARE(home->vwFavoritesView()->cornerRadius(), 12.0);
    QCOMPARE(home->coverView()->frame(), QRect(QPoint(0, 0), size));
    QCOMPARE(viewAlpha(home->coverView()), 0.95);
}

void TestHomeScreen::surfRule_findsTheSiteInTheTitle_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("address");

    SiteAddresses::useDemoSite(QUrl());
    QTest::newRow("Craigslist item") << u"Craigslist \u00AE"_s << SiteAddresses::craigslist();
    QTest::newRow("Kijiji item") << u"Kijiji"_s << SiteAddresses::kijiji();
    QTest::newRow("Backpage item") << u"Backpage \u00AE"_s << SiteAddresses::backpage();
    QTest::newRow("eBay in any case") << u"EBAY Classifieds"_s << SiteAddresses::ebay();
    QTest::newRow("ebay before backpage") << u"backpage or ebay"_s << SiteAddresses::ebay();
    QTest::newRow("craigslist first") << u"kijiji, craigslist"_s << SiteAddresses::craigslist();
    QTest::newRow("no site") << u"Gumtree"_s << QString();
    QTest::newRow("empty") << u""_s << QString();
    QTest::newRow("no title") << QString() << QString();
}

void TestHomeScreen::surfRule_findsTheSiteInTheTitle()
{
    QFETCH(QString, title);
    QFETCH(QString, address);

    SiteAddresses::useDemoSite(QUrl());
    QCOMPARE(HomeViewController::siteAddressForTitle(title), address);
}

void TestHomeScreen::siteItems_openTheSiteWithoutGridMode()
{
    TemporaryProfile profile;
    confirmHowto();
    SiteAddresses::useDemoSite(QUrl(u"http://127.0.0.1:1/search"_s));
    HomeWindow w;
    w.window->show();
    QStringList titles;
    for (BarButtonItem *item : w.home()->navigationItem()->rightBarButtonItems())
        titles.append(item->title());
    QCOMPARE(titles,
             QStringList({ u"Kijiji"_s, u"Backpage \u00AE"_s, u"Craigslist \u00AE"_s,
                           u"Rule sets"_s, u"Preferences"_s }));

    QAbstractButton *kijiji = w.window->navigationBar()->buttonForItem(w.home()->btnKijiji());
    QVERIFY(kijiji);
    QTest::mouseClick(kijiji, Qt::LeftButton);

    ListoroViewController *browser = pushedBrowser(w);
    QVERIFY(browser);
    QCOMPARE(browser->currentUrl(), u"http://127.0.0.1:1/search"_s);
    QVERIFY(!browser->autozesto());
    QCOMPARE(w.window->navigationBar()->backButton()->text(), u"Home"_s);
}

void TestHomeScreen::remoteSettings_adoptedOnlyWhenNewer_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("remote");
    QTest::addColumn<bool>("adopted");
    QTest::addColumn<double>("version");

    // The shipped document is stored first when nothing is.
    const double shipped = ZestoScrapeSetting::getVersion(SettingsRefresh::shippedDocument());
    const auto v = [](double version) {
        return QString::number(version);
    };
    QTest::newRow("unreachable") << QString() << QString() << false << shipped;
    QTest::newRow("remote older than shipped") << QString() << v(shipped - 0.5) << false << shipped;
    QTest::newRow("remote equal to shipped") << QString() << v(shipped) << false << shipped;
    QTest::newRow("remote newer than shipped")
        << QString() << v(shipped + 1) << true << shipped + 1;
    QTest::newRow("stored kept, remote older")
        << v(shipped + 2) << v(shipped + 1) << false << shipped + 2;
    QTest::newRow("stored replaced by newer")
        << v(shipped + 2) << u'"' + v(shipped + 2.5) + u'"' << true << shipped + 2.5;
}

void TestHomeScreen::remoteSettings_adoptedOnlyWhenNewer()
{
    QFETCH(QString, stored);
    QFETCH(QString, remote);
    QFETCH(bool, adopted);
    QFETCH(double, version);

    TemporaryProfile profile;
    confirmHowto();
    if (!stored.isNull())
        ZestoScrapeSetting::updateSettings(settingsDocument(stored));
    DemoSite site;
    if (!remote.isNull()) {
        site.setSettingsDocument(settingsDocument(remote).toUtf8());
        QVERIFY(site.start());
        SettingsRefresh::setRemoteUrl(site.baseUrl().resolved(QUrl(u"/ipad/settings.txt"_s)));
    }

    HomeWindow w;
    QSignalSpy finished(w.home(), &HomeViewController::settingsRefreshFinished);
    // The shipped document is in place before the refresh can answer.
    const double shipped = ZestoScrapeSetting::getVersion(SettingsRefresh::shippedDocument());
    QCOMPARE(ZestoScrapeSetting::currentVersion(), stored.isNull() ? shipped : stored.toDouble());
    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(finished.constFirst().constFirst().toBool(), adopted);
    QCOMPARE(ZestoScrapeSetting::currentVersion(), version);
    QVERIFY(!ZestoScrapeSetting::allSettings().value_or(QList<ZestoScrapeSetting>()).isEmpty());
}

void TestHomeScreen::styling_innerShadowMadeOnceAndGradientBehindChildren()
{
    PanelView panel;
    panel.setShadowOpacity(0.5);
    panel.setFrame(QRect(0, 0, 300, 200));

    HomeViewController::addInnerShadow(&panel, 10, 6);
    HomeViewController::addInnerShadow(&panel, 8, 6);
    const QList<PanelView *> inner = panel.findChildren<PanelView *>(Qt::FindDirectChildrenOnly);
    QCOMPARE(inner.size(), 1);
    QCOMPARE(inner.constFirst()->frame(),
             QRect(panel.bounds().topLeft() + QPoint(8, 8), QSize(284, 184)));

    HomeViewController::setGradientLayerOld(&panel);
    auto *gradient = qobject_cast<PanelView *>(panel.children().constFirst());
    QVERIFY(gradient && gradient != inner.constFirst());
    QCOMPARE(gradient->frame(), panel.bounds());
}

LISTORO_TEST(TestHomeScreen)
#include "tst_homescreen.moc"
