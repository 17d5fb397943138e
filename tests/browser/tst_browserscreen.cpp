#include "common/testregistry.h"

#include "demo/demosite.h"
#include "grid/displayparsedlink.h"
#include "grid/largeuicollectionview.h"
#include "platform/cachedirectory.h"
#include "platform/userdefaults.h"
#include "saved/zestobookmark.h"
#include "saved/zestofavorite.h"
#include "scrape/parsedlink.h"
#include "scrape/settingsrefresh.h"
#include "screens/detailviewcontroller.h"
#include "screens/listoroviewcontroller.h"
#include "screens/mailcomposer.h"
#include "ui/alertview.h"
#include "ui/barbuttonitem.h"
#include "ui/navigationcontroller.h"
#include "ui/navigationitem.h"
#include "ui/storyboard.h"
#include "ui/viewtag.h"

#include "platform/httpclient.h"

#include <QAbstractButton>
#include <QBuffer>
#include <QDesktopServices>
#include <QFile>
#include <QHttpServer>
#include <QHttpServerResponse>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocumentFragment>
#include <QToolButton>
#include <QUrlQuery>
#include <QWebEngineView>

namespace {

constexpr int loadTimeout = 30000;

AlertView *alertTitled(const QString &title)
{
    const auto alerts = AlertView::visibleAlerts();
    for (AlertView *alert : alerts) {
        if (alert->title() == title)
            return alert;
    }
    return nullptr;
}

void press(AlertView *alert, int index)
{
    QVERIFY(alert);
    QTest::mouseClick(alert->buttonAtIndex(index), Qt::LeftButton);
}

// Receives the mailto: addresses the detail screen hands to the desktop.
class MailCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl &url) { urls.append(url); }
};

} // namespace

class TestBrowserScreen : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    std::unique_ptr<DemoSite> site;
    std::unique_ptr<NavigationController> navigation;
    Storyboard storyboard;
    QPointer<ListoroViewController> screen;

    // A browser screen on a navigation controller, as the home screen pushes it.
    void open(const QString &url, bool autozesto = false)
    {
        navigation = std::make_unique<NavigationController>();
        navigation->resize(1024, 768);
        auto *browser = new ListoroViewController;
        browser->setStoryboard(&storyboard);
        browser->setCurrentUrl(url);
        browser->setAutozesto(autozesto);
        screen = browser;
        navigation->pushViewController(browser, false);
        navigation->show();
    }

    void openAndWaitForPage(const QString &url)
    {
        open(url);
        QTRY_VERIFY_WITH_TIMEOUT(screen->btnZesto()->isEnabled(), loadTimeout);
    }

    int gridItems() const
    {
        return screen->collectionView() ? screen->collectionView()->numberOfItemsInSection(0) : -1;
    }

    QString tileTitle(int item) const
    {
        auto *tile = qobject_cast<DisplayParsedLink *>(
            screen->collectionView()->cellForItemAtIndexPath({ 0, item }));
        auto *label = tile ? tile->findChild<QLabel *>("tileTitle") : nullptr;
        // The tool tip holds the whole title, escaped as rich text.
        return label ? QTextDocumentFragment::fromHtml(label->toolTip()).toPlainText() : QString();
    }

    bool gridOpen() const
    {
        return screen->collectionView() && screen->collectionView()->alpha() == 1.0
            && screen->collectionView()->isVisible() && !screen->loadingAlert();
    }

private Q_SLOTS:
    void initTestCase()
    {
        UserDefaults::setStoreFile(dir.filePath("defaults.ini"));
        CacheDirectory::setPath(dir.filePath("cache"));
        SettingsRefresh::seedFromShippedDocument();
        DemoSite::Options options;
        options.listingsPerPage = 6;
        options.pages = 2;
        options.maxPhotos = 3;
        site = std::make_unique<DemoSite>(options);
        QVERIFY(site->start());
        storyboard.addPushSegue(ListoroViewController::detailSegue,
                                [] { return new DetailViewController; });
        MailComposer::setCanSendMail(true);
    }
    void init()
    {
        ZestoFavorite::clearAll();
        ZestoBookmark::setBookmarks({});
    }
    void cleanup()
    {
        for (AlertView *alert : AlertView::visibleAlerts())
            alert->dismissWithClickedButtonIndex(0, false);
        navigation.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void cleanupTestCase()
    {
        site.reset();
        UserDefaults::setStoreFile({});
        CacheDirectory::setPath({});
    }

    void zesto_countsUpOpensTheGridAndOffersABookmark()
    {
        openAndWaitForPage(site->searchUrl().toString());
        QCOMPARE(screen->navBar()->text(), site->searchUrl().toString());
        QCOMPARE(screen->currentUrl(), site->searchUrl().toString());

        QTest::mouseClick(screen->btnZesto(), Qt::LeftButton);
        AlertView *loading = screen->loadingAlert();
        QVERIFY(loading);
        QCOMPARE(loading->tag(), int(ListoroViewController::Loading));
        QCOMPARE(loading->title(), "Loading... 0%");
        auto *bar = qobject_cast<QProgressBar *>(loading->viewWithTag(10));
        QVERIFY(bar);
        QSignalSpy counted(bar, &QProgressBar::valueChanged);
        QVERIFY(!screen->webview()->isVisible());

        QTRY_VERIFY_WITH_TIMEOUT(gridOpen(), loadTimeout);
        QVERIFY(!counted.isEmpty());
        QCOMPARE(gridItems(), 6);
        QVERIFY(!AlertView::visibleAlerts().contains(loading));
        QTRY_VERIFY(!screen->collectionView()->visibleCells().isEmpty());
        const auto cell = screen->collectionView()->visibleCells().first();
        QVERIFY(qobject_cast<DisplayParsedLink *>(cell));
        QTRY_VERIFY_WITH_TIMEOUT(alertTitled("Bookmark page?"), 5000);
        QVERIFY(screen->toolbar()->isVisible());
        QCOMPARE(screen->extractor()->nextLink(), site->searchUrl(2).toString());
    }

    void bookmarkOffer_yesNamesAndSavesTheAddress_data()
    {
        QTest::addColumn<QString>("firstName");
        QTest::newRow("named") << "Demo finds";
        QTest::newRow("empty, asked again") << "";
        QTest::newRow("blank, asked again") << "   ";
    }
    void bookmarkOffer_yesNamesAndSavesTheAddress()
    {
        QFETCH(QString, firstName);
        openAndWaitForPage(site->searchUrl().toString());
        screen->btnZesto()->click();
        QTRY_VERIFY_WITH_TIMEOUT(alertTitled("Bookmark page?"), loadTimeout);
        press(alertTitled("Bookmark page?"), 0);
        AlertView *prompt = nullptr;
        QTRY_VERIFY((prompt = alertTitled("Name your bookmark")));
        QCOMPARE(prompt->message(), "e.g. antique tables below $60");
        prompt->textFieldAtIndex(0)->setText(firstName);
        press(prompt, 0);
        if (firstName != "Demo finds") {
            QVERIFY(ZestoBookmark::getBookmarks().isEmpty());
            QTRY_VERIFY((prompt = alertTitled("Name your bookmark")));
            QVERIFY2(prompt->message().startsWith("A bookmark needs a name"),
                     qPrintable(prompt->message()));
            prompt->textFieldAtIndex(0)->setText("Demo finds");
            press(prompt, 0);
        }
        const auto bookmarks = ZestoBookmark::getBookmarks();
        QCOMPARE(bookmarks.size(), 1);
        QCOMPARE(bookmarks.first().title(), "Demo finds");
        QCOMPARE(bookmarks.first().url(), screen->navBar()->text());
        QVERIFY(!screen->bookmarkAlert());
    }

    // The toolbar's shortcuts: Ctrl+E is Zesto, Ctrl+G moves between the grid and its page;
    // the detail screen goes back on Escape and on Alt+Left.
    void keyboard_zestoGridToggleAndBackFromTheDetail_data()
    {
        QTest::addColumn<QKeyCombination>("back");
        QTest::newRow("Escape") << QKeyCombination(Qt::Key_Escape);
        QTest::newRow("Alt+Left") << QKeyCombination(Qt::ALT | Qt::Key_Left);
    }
    void keyboard_zestoGridToggleAndBackFromTheDetail()
    {
        QFETCH(QKeyCombination, back);
        // The second page: a page whose offer is declined is not offered again in this run.
        openAndWaitForPage(site->searchUrl(2).toString());
        QTest::keyClick(navigation.get(), Qt::Key_E, Qt::ControlModifier);
        QTRY_VERIFY_WITH_TIMEOUT(gridOpen(), loadTimeout);
        // The bookmark offer (made once per page) is answered by Escape.
        if (QTest::qWaitFor([this] { return alertTitled("Bookmark page?") != nullptr; }, 3000))
            QTest::keyClick(alertTitled("Bookmark page?"), Qt::Key_Escape);
        QTRY_VERIFY(!alertTitled("Bookmark page?"));
        QTest::keyClick(navigation.get(), Qt::Key_G, Qt::ControlModifier);
        QTRY_VERIFY(screen->webview()->isVisible());
        QTest::keyClick(navigation.get(), Qt::Key_G, Qt::ControlModifier);
        QTRY_VERIFY(gridOpen());
        // The grid has the keyboard as it shows: the arrows scroll it.
        QTRY_VERIFY(screen->collectionView()->hasFocus());

        QTRY_VERIFY(!screen->collectionView()->visibleCells().isEmpty());
        QWidget *tile = screen->collectionView()->visibleCells().first();
        QTest::mouseClick(tile, Qt::LeftButton, {}, QPoint(tile->width() / 2, 30));
        DetailViewController *detail = nullptr;
        QTRY_VERIFY(
            (detail = qobject_cast<DetailViewController *>(navigation->topViewController())));
        QTest::keyClick(detail, back.key(), back.keyboardModifiers());
        QTRY_COMPARE(navigation->topViewController(), screen.data());
    }

    void bookmarkOffer_escapeAnswersNo()
    {
        openAndWaitForPage(site->searchUrl().toString());
        screen->btnZesto()->click();
        QTRY_VERIFY_WITH_TIMEOUT(alertTitled("Bookmark page?"), loadTimeout);
        QTest::keyClick(alertTitled("Bookmark page?"), Qt::Key_Escape);
        QTRY_VERIFY(!alertTitled("Bookmark page?"));
        QVERIFY(!alertTitled("Name your bookmark"));
        QVERIFY(ZestoBookmark::getBookmarks().isEmpty());
        // Where the user is, in the window title: the grid of the demo site's page.
        QVERIFY2(navigation->windowTitle().startsWith("Grid of "),
                 qPrintable(navigation->windowTitle()));
        // The page declined is not offered again, on a new screen either.
        openAndWaitForPage(site->searchUrl().toString());
        screen->btnZesto()->click();
        QTRY_VERIFY_WITH_TIMEOUT(gridOpen(), loadTimeout);
        QVERIFY(!alertTitled("Bookmark page?"));
    }

    void next_loadsTheSecondPageWithoutOffer()
    {
        // The first page is bookmarked already, so it makes no offer: only the next-page guard
        // can keep the second page from making one.
        ZestoBookmark("first", site->searchUrl().toString()).addToBookmarks();
        openAndWaitForPage(site->searchUrl().toString());
        screen->btnZesto()->click();
        QTRY_VERIFY_WITH_TIMEOUT(gridOpen(), loadTimeout);
        QVERIFY(!alertTitled("Bookmark page?"));
        QVERIFY(!screen->askedbookmark());
        QTest::mouseClick(screen->btnNext(), Qt::LeftButton);
        QVERIFY(screen->isnext());
        QCOMPARE(screen->currentUrl(), site->searchUrl(2).toString());
        QCOMPARE(screen->navBar()->text(), site->searchUrl(2).toString());
        QTRY_VERIFY_WITH_TIMEOUT(gridOpen(), loadTimeout);
        QCOMPARE(gridItems(), 6);
        QCOMPARE(screen->extractor()->parsedLinks()->value(0)->url(),
                 site->listingUrl(6).toString());
        // The offer would be shown as the loading alert closes.
        QVERIFY(!alertTitled("Bookmark page?"));
        // The last page keeps the bar, which says there is no next page.
        QVERIFY(screen->toolbar()->isVisible());
        QVERIFY(!screen->btnNext()->isVisible());
        QVERIFY(screen->findChild<QLabel *>("lastPageNote")->isVisible());
    }

    void next_escapeKeepsTheGridThatWasThere_data()
    {
        QTest::addColumn<bool>("pageArrived");
        QTest::newRow("while the page is fetched") << false;
        QTest::newRow("while its listings load") << true;
    }
    void next_escapeKeepsTheGridThatWasThere()
    {
        QFETCH(bool, pageArrived);
        DemoSite::Options slow;
        slow.listingsPerPage = 2;
        slow.pages = 2;
        slow.maxPhotos = 1;
        slow.delayMs = 400;
        DemoSite slowSite(slow);
        QVERIFY(slowSite.start());
        // Opened in grid mode from home, where Cancel of a first load would leave the screen.
        open(slowSite.searchUrl().toString(), true);
        QTRY_VERIFY_WITH_TIMEOUT(gridOpen(), loadTimeout);
        const auto first = screen->extractor();
        QTest::mouseClick(screen->btnNext(), Qt::LeftButton);
        if (pageArrived)
            QTRY_VERIFY_WITH_TIMEOUT(screen->extractor() != first, loadTimeout);
        QVERIFY(screen->loadingAlert());
        QTest::keyClick(screen->loadingAlert(), Qt::Key_Escape);
        QTRY_VERIFY(gridOpen());
        QCOMPARE(navigation->topViewController(), screen.data());
        QCOMPARE(screen->extractor(), first);
        QCOMPARE(screen->currentUrl(), slowSite.searchUrl().toString());
        QCOMPARE(screen->navBar()->text(), slowSite.searchUrl().toString());
        QCOMPARE(gridItems(), 2);
        QVERIFY(screen->toolbar()->isVisible());
        QVERIFY(!screen->webview()->isVisible());
        QVERIFY(navigation->windowTitle().startsWith("Grid of "));
        QTRY_VERIFY(tileTitle(0) == slowSite.listing(0).title);
    }

    void progress_opensTheGridAbove90Only()
    {
        DemoSite::Options slow;
        slow.listingsPerPage = 4;
        slow.pages = 1;
        slow.delayMs = 3000;
        DemoSite slowSite(slow);
        QVERIFY(slowSite.start());
        openAndWaitForPage(site->searchUrl().toString());
        screen->setCurrentUrl(slowSite.searchUrl().toString());
        screen->btnZesto()->click();
        // The results page arrives; its listing pages are still on their way.
        QTRY_VERIFY_WITH_TIMEOUT(screen->extractor(), loadTimeout);
        QVERIFY(screen->loadingAlert());
        screen->progress(90);
        QCOMPARE(screen->loadingAlert()->title(), "Loading... 90%");
        QCOMPARE(screen->collectionView()->alpha(), 0.0);
        screen->progress(91);
        QVERIFY(!screen->loadingAlert());
        QCOMPARE(screen->collectionView()->alpha(), 1.0);
        QVERIFY(screen->collectionView()->isVisible());
    }

    void tileFavorite_thenDetailRemovesItAfterYes()
    {
        openAndWaitForPage(site->searchUrl().toString());
        screen->btnZesto()->click();
        QTRY_VERIFY_WITH_TIMEOUT(gridOpen(), loadTimeout);
        if (AlertView *offer = alertTitled("Bookmark page?"))
            press(offer, 1);
        auto *tile = qobject_cast<DisplayParsedLink *>(
            screen->collectionView()->cellForItemAtIndexPath({ 0, 0 }));
        QVERIFY(tile);
        QAbstractButton *favorite = tile->addRemoveFavorite();
        QCOMPARE(viewTag(favorite), 0);
        QTest::mouseClick(favorite, Qt::LeftButton);
        QCOMPARE(viewTag(favorite), 1);
        QCOMPARE(ZestoFavorite::getFavorites().size(), 1);
        const QString listing = site->listingUrl(0).toString();
        QCOMPARE(ZestoFavorite::getFavorites().first().url(), listing);

        // Removing from the tile asks first; "No" keeps it, "Yes" removes it.
        QTest::mouseClick(favorite, Qt::LeftButton);
        QVERIFY(!favorite->isEnabled());
        QCOMPARE(alertTitled("Remove Favorite?")->message(),
                 "Are you sure you would like to remove this listing from your favorites?");
        press(alertTitled("Remove Favorite?"), 1);
        QVERIFY(ZestoFavorite::isFavorited(listing));
        QVERIFY(favorite->isEnabled());
        QTest::mouseClick(favorite, Qt::LeftButton);
        press(alertTitled("Remove Favorite?"), 0);
        QVERIFY(!ZestoFavorite::isFavorited(listing));
        QCOMPARE(viewTag(favorite), 0);
        QVERIFY(favorite->isEnabled());
        QTest::mouseClick(favorite, Qt::LeftButton);
        QVERIFY(ZestoFavorite::isFavorited(listing));

        // A click on the tile opens the listing's page in the detail screen.
        QTest::mouseClick(tile, Qt::LeftButton, {}, QPoint(tile->width() / 2, 30));
        DetailViewController *detail = nullptr;
        QTRY_VERIFY(
            (detail = qobject_cast<DetailViewController *>(navigation->topViewController())));
        QVERIFY(!screen->autozesto());
        QCOMPARE(detail->parsedLink()->url(), listing);
        QTRY_COMPARE_WITH_TIMEOUT(detail->webview()->url().toString(), listing, loadTimeout);
        BarButtonItem *toggle = detail->btnAddRemoveFavorites();
        QCOMPARE(toggle->tag(), 11);
        QCOMPARE(toggle->title(), "Remove favorite");
        QCOMPARE(toggle->tintColor(), QColor(Qt::red));
        toggle->trigger();
        QVERIFY(!toggle->isEnabled());
        press(alertTitled("Remove Favorite?"), 0);
        QVERIFY(!ZestoFavorite::isFavorited(listing));
        QCOMPARE(toggle->tag(), 10);
        QCOMPARE(toggle->title(), "Add to favorites");
        QCOMPARE(toggle->tintColor(), QColor(Qt::blue));
        QVERIFY(toggle->isEnabled());
        toggle->trigger();
        QVERIFY(ZestoFavorite::isFavorited(listing));
        toggle->trigger();
        press(alertTitled("Remove Favorite?"), 0);

        // E-mail: the listing's address in the body, an empty subject.
        MailCatcher catcher;
        QDesktopServices::setUrlHandler("mailto", &catcher, "open");
        const auto items = detail->navigationItem()->rightBarButtonItems();
        QCOMPARE(items.size(), 2);
        QCOMPARE(items.at(1)->title(), "Email");
        items.at(1)->trigger();
        QDesktopServices::unsetUrlHandler("mailto");
        QCOMPARE(catcher.urls.size(), 1);
        const QUrlQuery query(catcher.urls.first());
        QCOMPARE(query.queryItemValue("subject", QUrl::FullyDecoded), QString());
        QCOMPARE(query.queryItemValue("body", QUrl::FullyDecoded),
                 "Check out this listing:\n" + listing + "\n\nSent from my iPad using Listoro");

        // Coming back finds the grid as it was, its tiles marking the favorites as stored now:
        // the removal just made, and an addition made on another listing's detail screen.
        const auto tileAt = [this](int item) {
            return qobject_cast<DisplayParsedLink *>(
                screen->collectionView()->cellForItemAtIndexPath({ 0, item }));
        };
        navigation->popViewControllerAnimated(false);
        QTRY_COMPARE(navigation->topViewController(), screen.data());
        QVERIFY(gridOpen());
        QCOMPARE(viewTag(tileAt(0)->addRemoveFavorite()), 0);
        QTest::mouseClick(tileAt(1), Qt::LeftButton, {}, QPoint(tileAt(1)->width() / 2, 30));
        QTRY_VERIFY(
            (detail = qobject_cast<DetailViewController *>(navigation->topViewController())));
        detail->btnAddRemoveFavorites()->trigger();
        navigation->popViewControllerAnimated(false);
        QTRY_COMPARE(navigation->topViewController(), screen.data());
        QCOMPARE(viewTag(tileAt(1)->addRemoveFavorite()), 1);
    }

    void favoritesGrid_showsTheStoredFavoritesInOrder()
    {
        for (int i : { 4, 1, 3 })
            ZestoFavorite(site->listing(i).title, site->listingUrl(i).toString()).addToFavorites();
        open(ListoroViewController::favoritesUrl, true);
        QCOMPARE(screen->navBar()->text(), ListoroViewController::favoritesUrl);
        QTRY_VERIFY_WITH_TIMEOUT(gridOpen(), loadTimeout);
        QCOMPARE(gridItems(), 3);
        const auto links = *screen->extractor()->parsedLinks();
        QCOMPARE(links.value(0)->url(), site->listingUrl(4).toString());
        QCOMPARE(links.value(1)->url(), site->listingUrl(1).toString());
        QCOMPARE(links.value(2)->url(), site->listingUrl(3).toString());
        QVERIFY(screen->extractor()->nextLink().isNull());
        // The bar stays for "Reload tiles"; the favorites have no pages to speak of.
        QVERIFY(screen->toolbar()->isVisible());
        QVERIFY(!screen->btnNext()->isVisible());
        QVERIFY(!screen->findChild<QLabel *>("lastPageNote")->isVisible());
        QVERIFY(!alertTitled("Bookmark page?")); // opened in grid mode: no offer

        // Once a listing was opened, grid mode is no longer automatic; turning the window then
        // builds the favorites grid anew, and still offers no bookmark for it.
        auto *tile = qobject_cast<DisplayParsedLink *>(
            screen->collectionView()->cellForItemAtIndexPath({ 0, 0 }));
        QVERIFY(tile);
        QTest::mouseClick(tile, Qt::LeftButton, {}, QPoint(tile->width() / 2, 30));
        QTRY_VERIFY(qobject_cast<DetailViewController *>(navigation->topViewController()));
        navigation->popViewControllerAnimated(false);
        QTRY_COMPARE(navigation->topViewController(), screen.data());
        const auto before = screen->extractor();
        navigation->resize(768, 1024);
        QTRY_VERIFY_WITH_TIMEOUT(screen->extractor() != before && gridOpen(), loadTimeout);
        QCOMPARE(screen->screen_width(), 768);
        QCOMPARE(gridItems(), 3);
        QVERIFY(!alertTitled("Bookmark page?"));
        QVERIFY(ZestoBookmark::getBookmarks().isEmpty());
    }

    void resizeKeepingTheShape_redrawsTheVisibleTilesForTheNewWidth()
    {
        QList<int> withTwoPhotos;
        for (int i = 0; i < site->listingCount() && withTwoPhotos.size() < 2; ++i) {
            if (site->listing(i).photoCount >= 2)
                withTwoPhotos << i;
        }
        QCOMPARE(withTwoPhotos.size(), 2);
        for (int i : withTwoPhotos)
            ZestoFavorite(site->listing(i).title, site->listingUrl(i).toString()).addToFavorites();
        navigation = std::make_unique<NavigationController>();
        navigation->resize(768, 1000);
        auto *browser = new ListoroViewController;
        browser->setStoryboard(&storyboard);
        browser->setCurrentUrl(ListoroViewController::favoritesUrl);
        browser->setAutozesto(true);
        screen = browser;
        navigation->pushViewController(browser, false);
        navigation->show();
        QTRY_VERIFY_WITH_TIMEOUT(gridOpen(), loadTimeout);
        const auto tileAt = [this](int item) {
            return qobject_cast<DisplayParsedLink *>(
                screen->collectionView()->cellForItemAtIndexPath({ 0, item }));
        };
        QTRY_VERIFY_WITH_TIMEOUT(tileAt(0) && tileAt(0)->photoFrames().size() >= 2, loadTimeout);
        QCOMPARE(tileAt(0)->photoFrames().value(1).x(), 399.0);

        navigation->resize(640, 1000);
        QTRY_COMPARE(screen->screen_width(), 640);
        // (640 - 3 * 30) / 2 = 275 points a column: the second starts at 30 + 275 + 30.
        QTRY_COMPARE(tileAt(0)->photoFrames().value(1).x(), 335.0);
        QVERIFY(tileAt(0)->photoFrames().value(1).right() <= 640 - 30);
        QCOMPARE(tileAt(0)->findChild<QWidget *>("tileCard")->width(), 640);
    }

    void pageWithoutListings_showsTheMessageAndNothingOfAnEarlierGrid()
    {
        openAndWaitForPage(site->searchUrl().toString());
        screen->btnZesto()->click();
        QTRY_VERIFY_WITH_TIMEOUT(gridOpen(), loadTimeout);
        if (AlertView *offer = alertTitled("Bookmark page?"))
            press(offer, 1);
        screen->backClicked();
        screen->navBar()->setText(site->searchUrl(9).toString());
        QTest::keyClick(screen->navBar(), Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(screen->webview()->url(), site->searchUrl(9), loadTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(screen->btnZesto()->isEnabled(), loadTimeout);
        screen->btnZesto()->click();
        const QString message = "You must be on a page that contains search results or a list of "
                                "links prior to clicking the Zesto button";
        QTRY_VERIFY_WITH_TIMEOUT(alertTitled(message), loadTimeout);
        QCOMPARE(alertTitled(message)->buttonTitleAtIndex(0), "Ok");
        // Which rules read the page, and that their link rule found nothing on it.
        QCOMPARE(alertTitled(message)->message(),
                 "Rules used: “demo-results”. Their listing-link rule matched nothing on this "
                 "page; if the page shows listings, these rules are out of date.");
        QVERIFY(!screen->loadingAlert());
        QVERIFY(screen->webview()->isVisible());
        QVERIFY(!screen->collectionView());
        QVERIFY2(!navigation->windowTitle().startsWith("Grid of "),
                 qPrintable(navigation->windowTitle()));
        navigation->resize(1100, 800);
        QCoreApplication::processEvents();
        QVERIFY(!screen->collectionView());
        QVERIFY(screen->webview()->isVisible());
    }

    void deadResultsPage_showsTheFailure()
    {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const QString dead
            = QStringLiteral("http://127.0.0.1:%1/listoro-demo/search").arg(closed.serverPort());
        closed.close();
        open(dead, true);
        QTRY_VERIFY_WITH_TIMEOUT(alertTitled("The page could not be loaded"), loadTimeout);
        QVERIFY(!screen->loadingAlert());
        QVERIFY(!screen->collectionView());
        QVERIFY(screen->webview()->isVisible());
    }

    void cancel_returnsWithoutAGrid()
    {
        DemoSite::Options slow;
        slow.listingsPerPage = 4;
        slow.pages = 1;
        slow.delayMs = 1500;
        DemoSite slowSite(slow);
        QVERIFY(slowSite.start());
        openAndWaitForPage(site->searchUrl().toString());
        screen->setCurrentUrl(slowSite.searchUrl().toString());
        screen->btnZesto()->click();
        AlertView *loading = screen->loadingAlert();
        QVERIFY(loading);
        press(loading, 0);
        QVERIFY(screen->webview()->isVisible());
        // The site answers requests in turn: once a later one is answered, the cancelled
        // page would have come too.
        std::optional<HttpResult> later;
        HttpClient::instance().get(slowSite.searchUrl(), this,
                                   [&later](const HttpResult &r) { later = r; });
        QTRY_VERIFY_WITH_TIMEOUT(later.has_value(), loadTimeout);
        QCoreApplication::processEvents();
        QVERIFY(!screen->collectionView());
        QVERIFY(!screen->extractor());
        QVERIFY(AlertView::visibleAlerts().isEmpty());
    }

    void cancel_inGridModeFromHomeGoesBack()
    {
        DemoSite::Options slow;
        slow.pages = 1;
        slow.delayMs = 1500;
        DemoSite slowSite(slow);
        QVERIFY(slowSite.start());
        auto *home = new ViewController;
        navigation = std::make_unique<NavigationController>(home);
        navigation->resize(1024, 768);
        navigation->show();
        auto *browser = new ListoroViewController;
        browser->setCurrentUrl(slowSite.searchUrl().toString());
        browser->setAutozesto(true);
        screen = browser;
        navigation->pushViewController(browser, false);
        QTRY_VERIFY(screen && screen->loadingAlert());
        press(screen->loadingAlert(), 0);
        QTRY_COMPARE(navigation->topViewController(), home);
    }

    void addressField_loadsWhatIsTypedAndBackReturnsFromTheGrid()
    {
        openAndWaitForPage(site->searchUrl().toString());
        screen->navBar()->setText(site->searchUrl(2).toString());
        QTest::keyClick(screen->navBar(), Qt::Key_Return);
        QCOMPARE(screen->currentUrl(), site->searchUrl(2).toString());
        QTRY_COMPARE_WITH_TIMEOUT(screen->webview()->url(), site->searchUrl(2), loadTimeout);
        QTRY_VERIFY(screen->btnBack()->isEnabled());
        screen->btnZesto()->click();
        QTRY_VERIFY_WITH_TIMEOUT(gridOpen(), loadTimeout);
        const QUrl before = screen->webview()->url();
        screen->backClicked(); // from the grid to the page, history untouched
        QVERIFY(screen->webview()->isVisible());
        QVERIFY(screen->collectionView()->isHidden());
        QCOMPARE(screen->webview()->url(), before);
        QTest::keyClick(screen, Qt::Key_L, Qt::ControlModifier);
        QLineEdit *field = screen->navBar();
        QVERIFY(field->hasFocus());
        // A page that finishes loading meanwhile leaves the address selected whole: what the
        // user types replaces it.
        QSignalSpy loads(screen->webview(), &QWebEngineView::loadFinished);
        screen->webview()->reload();
        QTRY_VERIFY_WITH_TIMEOUT(!loads.isEmpty(), loadTimeout);
        QCOMPARE(field->selectedText(), field->text());
        QTest::keyClicks(field, QStringLiteral("abc"));
        QCOMPARE(field->text(), QStringLiteral("abc"));
        // Nor does a load replace an address being typed.
        screen->webview()->reload();
        QTRY_VERIFY_WITH_TIMEOUT(loads.size() == 2, loadTimeout);
        QCOMPARE(field->text(), QStringLiteral("abc"));
    }

    void addressThatCannotBeOpened_saysSoAndKeepsThePage_data()
    {
        QTest::addColumn<QString>("address");
        QTest::newRow("unknown scheme") << "abchttp://127.0.0.1/listoro-demo/search";
        QTest::newRow("no scheme") << "example.com/search";
    }
    void addressThatCannotBeOpened_saysSoAndKeepsThePage()
    {
        QFETCH(QString, address);
        openAndWaitForPage(site->searchUrl().toString());
        screen->navBar()->setText(address);
        QTest::keyClick(screen->navBar(), Qt::Key_Return);
        QVERIFY(alertTitled("This address cannot be opened"));
        QVERIFY(alertTitled("This address cannot be opened")->message().contains(address));
        QCOMPARE(screen->currentUrl(), site->searchUrl().toString());
        QCOMPARE(screen->navBar()->text(), address); // left to be mended
        QVERIFY(screen->btnZesto()->isEnabled());
        QCOMPARE(screen->webview()->url(), site->searchUrl());
    }

    void failedPageLoad_endsTheLoadingBox()
    {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const QString dead = QStringLiteral("http://127.0.0.1:%1/").arg(closed.serverPort());
        closed.close();
        open(dead);
        QSignalSpy loads(screen->webview(), &QWebEngineView::loadFinished);
        QTRY_VERIFY_WITH_TIMEOUT(!loads.isEmpty(), loadTimeout);
        QCOMPARE(loads.first().first().toBool(), false);
        QVERIFY(!screen->activityIndicator() || screen->activityIndicator()->isHidden());
    }

    void forwardAndClear_bothTakeTheirClicks()
    {
        openAndWaitForPage(site->searchUrl().toString());
        QPushButton *forward = screen->btnForward();
        QToolButton *clear = screen->btnClear();
        QVERIFY(clear->isVisible());
        QWidget *field = screen->navBar();
        const auto inField = [field](QWidget *button) {
            return QRect(button->mapTo(field, QPoint(0, 0)), button->size());
        };
        QVERIFY(!inField(forward).intersects(inField(clear)));
        QVERIFY(field->rect().contains(inField(clear)));
        QVERIFY(field->rect().contains(inField(forward)));
        QWidget *bar = screen->browserControlsView();
        QCOMPARE(bar->childAt(forward->mapTo(bar, forward->rect().center())), forward);
        QCOMPARE(bar->childAt(clear->mapTo(bar, clear->rect().center())), clear);
        QTest::mouseClick(clear, Qt::LeftButton);
        QVERIFY(screen->navBar()->text().isEmpty());
        QVERIFY(!clear->isVisible());
    }

    void refusingSite_keepsTitlesAndSaysSoOnce()
    {
        QHttpServer refusing;
        int listingRequests = 0;
        refusing.route("/listoro-demo/search", [] {
            return QHttpServerResponse(
                "text/html",
                "<html><body><ul>"
                "<li class='result-row'><a class='result-title' href='/listoro-demo/item/1.html'>"
                "First title</a></li>"
                "<li class='result-row'><a class='result-title' href='/listoro-demo/item/2.html'>"
                "Second title</a></li></ul></body></html>");
        });
        refusing.route("/listoro-demo/item/<arg>", [&listingRequests](const QString &) {
            ++listingRequests;
            QHttpServerResponse response("text/html", "<html><h1>ERROR PAGE 429</h1></html>",
                                         QHttpServerResponse::StatusCode::TooManyRequests);
            response.setHeader("Retry-After", "0");
            return response;
        });
        const quint16 port = refusing.listen(QHostAddress::LocalHost);
        QVERIFY(port);
        open(QStringLiteral("http://127.0.0.1:%1/listoro-demo/search").arg(port), true);
        QTRY_VERIFY_WITH_TIMEOUT(gridOpen(), loadTimeout);
        const QString message = "The site is limiting requests; some listings could not be loaded";
        QTRY_VERIFY_WITH_TIMEOUT(alertTitled(message), loadTimeout);
        int shown = 0;
        for (AlertView *alert : AlertView::visibleAlerts())
            shown += alert->title() == message;
        QCOMPARE(shown, 1);
        const auto links = *screen->extractor()->parsedLinks();
        QCOMPARE(links.value(0)->title(), "First title");
        QVERIFY(links.value(0)->refused());
        QCOMPARE(listingRequests, 4); // each listing page asked once more after the wait
    }

    void failedPhoto_showsAPlaceholderAndF5FetchesItAgain()
    {
        QHttpServer server;
        QHash<QString, int> photoRequests;
        server.route("/listoro-demo/search", [] {
            return QHttpServerResponse(
                "text/html",
                "<html><body><ul><li class='result-row'><a class='result-title' "
                "href='/listoro-demo/item/1.html'>Lamp</a></li></ul></body></html>");
        });
        server.route("/listoro-demo/item/<arg>", [](const QString &) {
            return QHttpServerResponse(
                "text/html",
                "<html><body><h1 class='posting-title'><span id='titletext'>Lamp</span></h1>"
                "<div class='thumbs'><a class='photo' href='/photo/good.png'>1</a>"
                "<a class='photo' href='/photo/flaky.png'>2</a></div></body></html>");
        });
        server.route("/photo/<arg>", [&photoRequests](const QString &name) {
            // The flaky photo fails the first time only.
            if (++photoRequests[name] == 1 && name == "flaky.png")
                return QHttpServerResponse(QHttpServerResponse::StatusCode::InternalServerError);
            QImage image(300, 200, QImage::Format_RGB32);
            image.fill(Qt::darkGreen);
            QByteArray png;
            QBuffer buffer(&png);
            image.save(&buffer, "PNG");
            return QHttpServerResponse("image/png", png);
        });
        const quint16 port = server.listen(QHostAddress::LocalHost);
        QVERIFY(port);
        open(QStringLiteral("http://127.0.0.1:%1/listoro-demo/search").arg(port), true);
        QTRY_VERIFY_WITH_TIMEOUT(gridOpen(), loadTimeout);
        const auto tile = [this] {
            return qobject_cast<DisplayParsedLink *>(
                screen->collectionView()->cellForItemAtIndexPath({ 0, 0 }));
        };
        const auto count = [&tile](const char *name) {
            return tile() ? int(tile()->findChildren<QLabel *>(name).size()) : -1;
        };
        QTRY_COMPARE_WITH_TIMEOUT(count("tilePhotoFailed"), 1, loadTimeout);
        QTRY_COMPARE(count("tilePhoto"), 1);
        QVERIFY(tile()->findChild<QLabel *>("tilePhotoFailed")->text().contains("not loaded"));

        QTest::keyClick(navigation.get(), Qt::Key_F5);
        QTRY_COMPARE_WITH_TIMEOUT(count("tilePhoto"), 2, loadTimeout);
        QCOMPARE(count("tilePhotoFailed"), 0);
        QCOMPARE(photoRequests.value("flaky.png"), 2);
        QCOMPARE(photoRequests.value("good.png"), 1); // cached, not fetched again
    }

    void resize_relaysTilesWithoutFetching()
    {
        openAndWaitForPage(site->searchUrl().toString());
        screen->btnZesto()->click();
        QTRY_VERIFY_WITH_TIMEOUT(gridOpen(), loadTimeout);
        const auto first = screen->extractor()->parsedLinks()->value(0);
        QTRY_VERIFY_WITH_TIMEOUT(first->settled(), loadTimeout);
        const int requests = site->requestCount("/listoro-demo/search");
        navigation->resize(1200, 800);
        QTRY_COMPARE(screen->screen_width(), 1200);
        QTRY_COMPARE(first->size().width, 1200.f);
        auto *tile = qobject_cast<DisplayParsedLink *>(
            screen->collectionView()->cellForItemAtIndexPath({ 0, 0 }));
        QVERIFY(tile);
        QTRY_COMPARE(tile->tileWidth(), 1200);
        QCOMPARE(site->requestCount("/listoro-demo/search"), requests);
    }
};

LISTORO_TEST(TestBrowserScreen)
#include "tst_browserscreen.moc"
