#include "common/testregistry.h"

#include "demo/demolisting.h"
#include "demo/demosite.h"
#include "grid/largeuicollectionview.h"
#include "platform/cachedirectory.h"
#include "platform/regularexpression.h"
#include "platform/userdefaults.h"
#include "scrape/linkextractor.h"
#include "scrape/parsedlink.h"
#include "scrape/settingsrefresh.h"
#include "scrape/userrulesets.h"
#include "scrape/zestoscrapesetting.h"
#include "screens/listoroviewcontroller.h"
#include "screens/teachbar.h"
#include "screens/teachsession.h"
#include "ui/alertview.h"
#include "ui/navigationcontroller.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

// Teach mode as a user goes through it: on the demo site with no rule set of the application's
// own for it, the user teaches a results page and a listing page by clicking, and Zesto then
// makes a grid of titles and photos with what was taught.

namespace {

constexpr int loadTimeout = 30000;

} // namespace

class TestTeachMode final : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<DemoSite> site;
    std::unique_ptr<NavigationController> navigation;
    QPointer<ListoroViewController> screen;

    TeachSession *session() const { return screen->teachSession(); }
    TeachBar *bar() const { return session()->bar(); }

    QPushButton *shownAction(const char *action) const
    {
        QPushButton *button = bar() ? bar()->action(QString::fromUtf8(action)) : nullptr;
        return button && button->isVisible() ? button : nullptr;
    }

    // Presses the step's button once it shows (a button added to the bar shows a moment later).
    void press(const char *action)
    {
        QTRY_VERIFY2(shownAction(action), action);
        shownAction(action)->click();
    }

    // What the page's own script gives for source, run in the page's world.
    QVariant pageScript(const QString &source)
    {
        auto result = std::make_shared<std::optional<QVariant>>();
        screen->webview()->page()->runJavaScript(
            source, [result](const QVariant &value) { *result = value; });
        if (!QTest::qWaitFor([&result] { return result->has_value(); }, loadTimeout))
            return {};
        return result->value_or(QVariant());
    }

    // A click of the user's mouse in the middle of the first element the selector finds.
    void clickInPage(const QString &selector)
    {
        const QVariantList middle
            = pageScript(
                  u"(() => { const e = document.querySelector('%1');"
                  u" e.scrollIntoView({ block: 'center' });"
                  u" const r = e.getBoundingClientRect();"
                  u" return [r.left + r.width / 2, r.top + r.height / 2]; })()"_s.arg(selector))
                  .toList();
        QCOMPARE(middle.size(), 2);
        QTest::mouseClick(screen->webview()->focusProxy(), Qt::LeftButton, {},
                          QPoint(middle.at(0).toInt(), middle.at(1).toInt()));
    }

    static QString savedMessage()
    {
        for (AlertView *alert : AlertView::visibleAlerts()) {
            if (alert->title() == u"Rule set saved"_s)
                return alert->message();
        }
        return {};
    }

    void openAndTeach(const QUrl &url)
    {
        screen->webview()->load(url);
        QTRY_COMPARE_WITH_TIMEOUT(screen->webview()->url(), url, loadTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(screen->btnZesto()->isEnabled(), loadTimeout);
        QTest::keyClick(navigation.get(), Qt::Key_T, Qt::ControlModifier);
        QTRY_COMPARE_WITH_TIMEOUT(session()->step(), TeachSession::Step::Kind, loadTimeout);
    }

private slots:
    void initTestCase()
    {
        UserDefaults::setStoreFile(dir.filePath(u"defaults.ini"_s));
        CacheDirectory::setPath(dir.filePath(u"cache"_s));
        // The shipped rule sets without the demo site's: the site is one no rule set knows.
        QList<ZestoScrapeSetting> others
            = ZestoScrapeSetting::readSettings(SettingsRefresh::shippedDocument());
        others.removeIf(
            [](const ZestoScrapeSetting &rules) { return rules.name().startsWith(u"demo-"); });
        ZestoScrapeSetting::updateSettings(ZestoScrapeSetting::writeSettings(others, 1000));
        DemoSite::Options options;
        options.listingsPerPage = 6;
        options.pages = 2;
        options.maxPhotos = 3;
        site = std::make_unique<DemoSite>(options);
        QVERIFY(site->start());
        QVERIFY(!ZestoScrapeSetting::settingsForUrl(site->searchUrl().toString()));
    }

    void cleanupTestCase()
    {
        site.reset();
        UserDefaults::setStoreFile({});
        CacheDirectory::setPath({});
    }

    void init()
    {
        navigation = std::make_unique<NavigationController>();
        navigation->resize(1024, 768);
        screen = new ListoroViewController;
        screen->setCurrentUrl(site->searchUrl().toString());
        navigation->pushViewController(screen, false);
        navigation->show();
    }

    void cleanup()
    {
        for (AlertView *alert : AlertView::visibleAlerts())
            alert->dismissWithClickedButtonIndex(0, false);
        navigation.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void teachResultsAndListing_thenZestoMakesTheGrid()
    {

        // The results page: one listing's link, then the next-page link.
        openAndTeach(site->searchUrl());
        QVERIFY(bar()->isVisible());
        press("teachResults");
        QVERIFY(!QTest::currentTestFailed());
        // Something that is no link says so, and the step waits for a link.
        clickInPage(u"h1"_s);
        QTRY_VERIFY_WITH_TIMEOUT(bar()->statusIsProblem(), loadTimeout);
        QVERIFY(bar()->status().startsWith(u"That is not a link."_s));
        QCOMPARE(session()->step(), TeachSession::Step::ListingLinks);
        clickInPage(u"a.result-title"_s);
        QTRY_VERIFY2_WITH_TIMEOUT(bar()->status().startsWith(u"6 listings."_s),
                                  qPrintable(bar()->status()), loadTimeout);
        QVERIFY(!bar()->statusIsProblem());
        press("teachLinksDone");
        QVERIFY(!QTest::currentTestFailed());
        clickInPage(u"a.next"_s);
        QTRY_VERIFY2_WITH_TIMEOUT(session()->step() == TeachSession::Step::Naming,
                                  qPrintable(bar()->status()), loadTimeout);
        // No click followed its link.
        QCOMPARE(screen->webview()->url(), site->searchUrl());
        const RegularExpression results(bar()->pattern());
        QVERIFY(results.hasMatch(site->searchUrl(2).toString()));
        QVERIFY(!results.hasMatch(site->listingUrl(0).toString()));
        bar()->nameField()->setText(u"Demo results"_s);
        press("teachSave");
        QVERIFY(!QTest::currentTestFailed());
        QTRY_VERIFY(!session()->isActive());
        QVERIFY(savedMessage().contains(u"Press Zesto"_s));
        for (AlertView *alert : AlertView::visibleAlerts())
            alert->dismissWithClickedButtonIndex(0, false);

        // A listing page with photos: its title, then one of its photos.
        const QList<DemoListing> shown = site->listingsOnPage(1);
        const auto withPhotos = std::find_if(shown.cbegin(), shown.cend(),
                                             [](const DemoListing &l) { return l.photoCount > 1; });
        QVERIFY(withPhotos != shown.cend());
        openAndTeach(site->listingUrl(withPhotos->index));
        press("teachListing");
        QVERIFY(!QTest::currentTestFailed());
        clickInPage(u"h1"_s);
        QTRY_COMPARE_WITH_TIMEOUT(session()->step(), TeachSession::Step::Photo, loadTimeout);
        clickInPage(u"a.photo img"_s);
        QTRY_VERIFY2_WITH_TIMEOUT(session()->step() == TeachSession::Step::Naming,
                                  qPrintable(bar()->status()), loadTimeout);
        QVERIFY2(!bar()->statusIsProblem(), qPrintable(bar()->status()));
        press("teachSave");
        QVERIFY(!QTest::currentTestFailed());
        QTRY_VERIFY(!session()->isActive());
        // Zesto cannot work on a listing page: the message does not invite it there.
        QVERIFY2(!savedMessage().contains(u"Press Zesto"_s), qPrintable(savedMessage()));
        for (AlertView *alert : AlertView::visibleAlerts())
            alert->dismissWithClickedButtonIndex(0, false);
        QCOMPARE(UserRuleSets::all().size(), 2);

        // Zesto reads the results page and every listing page with the taught rules.
        screen->webview()->load(site->searchUrl());
        QTRY_COMPARE_WITH_TIMEOUT(screen->currentUrl(), site->searchUrl().toString(), loadTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(screen->btnZesto()->isEnabled(), loadTimeout);
        screen->btnZesto()->click();
        const auto alerts = [] {
            QStringList titles;
            for (AlertView *alert : AlertView::visibleAlerts())
                titles << alert->title() + u": "_s + alert->message();
            return titles.join(u"; "_s);
        };
        QTRY_VERIFY2_WITH_TIMEOUT(screen->collectionView()
                                      && screen->collectionView()->numberOfItemsInSection(0) == 6,
                                  qPrintable(alerts()), loadTimeout);
        const auto links = *screen->extractor()->parsedLinks();
        QCOMPARE(links.size(), shown.size());
        for (int i = 0; i < links.size(); ++i) {
            QTRY_VERIFY_WITH_TIMEOUT(links.value(i)->settled(), loadTimeout);
            QCOMPARE(links.value(i)->title(), shown.at(i).title);
            QCOMPARE(links.value(i)->imagesUrls().value_or(QStringList()).size(),
                     shown.at(i).photoCount);
        }
    }

    // The page's scripts cannot see teach mode or click for the user: their click on a listing
    // counts for nothing, the user's click after it is the one taken.
    void pageScripts_cannotClickForTheUser()
    {
        openAndTeach(site->searchUrl());
        press("teachResults");
        QVERIFY(!QTest::currentTestFailed());
        QCOMPARE(pageScript(u"document.querySelector('a.result-title').click();"
                            u" typeof window.__listoroTeach"_s),
                 QVariant(u"undefined"_s));
        clickInPage(u"h1"_s);
        QTRY_VERIFY_WITH_TIMEOUT(bar()->statusIsProblem(), loadTimeout);
        QVERIFY(bar()->status().startsWith(u"That is not a link."_s));
        QVERIFY(!session()->draft());
        QCOMPARE(screen->webview()->url(), site->searchUrl());
    }

    void escape_leavesTeachModeAndClicksFollowLinksAgain()
    {
        openAndTeach(site->searchUrl());
        QTest::keyClick(navigation.get(), Qt::Key_Escape);
        QTRY_VERIFY(!session()->isActive());
        QVERIFY(!bar()->isVisible());
        clickInPage(u"a.result-title"_s);
        QTRY_VERIFY_WITH_TIMEOUT(screen->webview()->url().path().contains(u"/item/"), loadTimeout);
    }

    // A click before the page's kind is chosen says what to do; once something is taught, the
    // keyboard stays with the page and Escape asks before it is lost ("No" keeps teaching).
    void escape_asksBeforeLosingWhatWasTaught()
    {
        openAndTeach(site->searchUrl());
        clickInPage(u"a.result-title"_s);
        QTRY_VERIFY(bar()->status().contains(u"First say what this page shows"_s));
        press("teachResults");
        QTRY_VERIFY(screen->webview()->focusProxy()->hasFocus());
        clickInPage(u"a.result-title"_s);
        QTRY_VERIFY_WITH_TIMEOUT(session()->hasProgress(), loadTimeout);
        const auto leaving = [] {
            for (AlertView *alert : AlertView::visibleAlerts()) {
                if (alert->title() == u"Leave teach mode?"_s)
                    return alert;
            }
            return static_cast<AlertView *>(nullptr);
        };
        QTest::keyClick(navigation.get(), Qt::Key_Escape);
        QTRY_VERIFY(leaving());
        QTest::keyClick(navigation.get(), Qt::Key_Escape);
        QTRY_VERIFY(!leaving());
        QVERIFY(session()->isActive());
        // Pressed in the page, which takes Escape for itself.
        QTest::keyClick(screen->webview()->focusProxy(), Qt::Key_Escape);
        QTRY_VERIFY(leaving());
        leaving()->buttonAtIndex(0)->click();
        QTRY_VERIFY(!session()->isActive());
    }
};

LISTORO_TEST(TestTeachMode)
#include "tst_teachmode.moc"
