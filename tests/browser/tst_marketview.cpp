#include "common/testregistry.h"

#include "demo/democatalogue.h"
#include "demo/demosite.h"
#include "grid/compacttile.h"
#include "grid/displayparsedlink.h"
#include "grid/largeuicollectionview.h"
#include "platform/cachedirectory.h"
#include "platform/userdefaults.h"
#include "saved/bookmarkvisits.h"
#include "saved/seenlistings.h"
#include "saved/watchedbookmarks.h"
#include "saved/zestobookmark.h"
#include "scrape/settingsrefresh.h"
#include "screens/detailviewcontroller.h"
#include "screens/gridexport.h"
#include "screens/gridfilterbar.h"
#include "screens/gridtoolbar.h"
#include "screens/listoroviewcontroller.h"
#include "screens/resultsgrid.h"
#include "screens/watchcentre.h"
#include "ui/navigationcontroller.h"
#include "ui/storyboard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWebEngineView>

using namespace Qt::StringLiterals;

namespace {

constexpr int loadTimeout = 30000;

} // namespace

// Price and age, order and filters, seen and new on a bookmark of the demo site, end to end.
class TestMarketView : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    Storyboard storyboard;
    std::unique_ptr<NavigationController> navigation;
    QPointer<ListoroViewController> screen;

    // The bookmark opened from the home screen: straight into grid mode.
    void openBookmark(const QString &address)
    {
        navigation = std::make_unique<NavigationController>();
        navigation->resize(1024, 768);
        auto *browser = new ListoroViewController;
        browser->setStoryboard(&storyboard);
        browser->setCurrentUrl(address);
        browser->setAutozesto(true);
        screen = browser;
        navigation->pushViewController(browser, false);
        navigation->show();
        QTRY_VERIFY_WITH_TIMEOUT(screen->collectionView() && screen->collectionView()->isVisible()
                                     && !screen->loadingAlert(),
                                 loadTimeout);
    }
    GridFilterBar *bar() const { return screen->findChild<GridFilterBar *>(); }
    template<typename T>
    T *control(const char *name) const
    {
        return bar()->findChild<T *>(QLatin1StringView(name));
    }
    // The listings in the grid's order.
    QList<ParsedLink::Ptr> shown() const
    {
        QList<ParsedLink::Ptr> links;
        const auto *grid = dynamic_cast<ResultsGrid *>(screen->collectionView()->dataSource());
        const int count = screen->collectionView()->numberOfItemsInSection(0);
        for (int i = 0; i < count; ++i)
            links.append(grid ? grid->listing(i) : nullptr);
        return links;
    }

private slots:
    void initTestCase()
    {
        UserDefaults::setStoreFile(dir.filePath("defaults.ini"));
        CacheDirectory::setPath(dir.filePath("cache"));
        SettingsRefresh::seedFromShippedDocument();
        storyboard.addPushSegue(ListoroViewController::detailSegue,
                                [] { return new DetailViewController; });
    }
    void cleanupTestCase()
    {
        navigation.reset();
        UserDefaults::setStoreFile({});
        CacheDirectory::setPath({});
    }

    void bookmark_sortFilterSeenAndNew()
    {
        WatchCentre watches;
        DemoSite::Options options;
        options.listingsPerPage = 4;
        options.pages = 1;
        auto site = std::make_unique<DemoSite>(options);
        QVERIFY(site->start());
        const QString address = site->searchUrl(1).toString();
        ZestoBookmark(u"Demo"_s, address).addToBookmarks();

        // First visit: every tile has its price, nothing is new yet.
        openBookmark(address);
        QTRY_COMPARE(screen->collectionView()->numberOfItemsInSection(0), 4);
        QTRY_VERIFY([this] {
            const QList<ParsedLink::Ptr> links = shown();
            return std::all_of(links.cbegin(), links.cend(), [](const ParsedLink::Ptr &l) {
                return l && l->price().amount() && !l->isNew();
            });
        }());
        QCOMPARE(control<QLabel>("filterCount")->text(), u"4 listings"_s);
        // A bookmarked search is watched from its grid as from its row.
        QPushButton *watch = screen->findChild<GridToolbar *>()->btnWatch();
        QVERIFY(watch->isVisible() && !watch->isChecked());
        watch->click();
        QVERIFY(WatchedBookmarks::isWatched(address));
        QCOMPARE(watch->text(), u"Watching"_s);

        // Cheapest first.
        control<QComboBox>("filterOrder")->setCurrentIndex(int(GridChoice::Order::PriceLowToHigh));
        QTRY_VERIFY([this] {
            const QList<ParsedLink::Ptr> links = shown();
            return std::is_sorted(links.cbegin(), links.cend(),
                                  [](const ParsedLink::Ptr &a, const ParsedLink::Ptr &b) {
                                      return *a->price().amount() < *b->price().amount();
                                  });
        }());

        // A word of one title keeps the listings that have it.
        const QString word = site->listing(2).title.split(u' ').first();
        QTest::keyClicks(control<QLineEdit>("filterWords"), word);
        QTRY_VERIFY([&] {
            const QList<ParsedLink::Ptr> links = shown();
            return !links.isEmpty()
                && std::all_of(links.cbegin(), links.cend(), [&word](const ParsedLink::Ptr &l) {
                       return l->title().contains(word, Qt::CaseInsensitive);
                   });
        }());
        // Those without it are counted out.
        int without = 0;
        for (int i = 0; i < 4; ++i)
            without += site->listing(i).title.contains(word, Qt::CaseInsensitive) ? 0 : 1;
        QCOMPARE(screen->collectionView()->numberOfItemsInSection(0), 4 - without);
        // A word no title has, on a grid that showed every listing: none shown.
        control<QComboBox>("filterOrder")->setCurrentIndex(int(GridChoice::Order::Site));
        control<QLineEdit>("filterWords")->clear();
        QTest::keyClicks(control<QLineEdit>("filterWords"), u"zzqx"_s);
        QTRY_COMPARE(screen->collectionView()->numberOfItemsInSection(0), 0);
        QCOMPARE(control<QLabel>("filterCount")->text(), u"0 of 4 shown"_s);
        QVERIFY(screen->findChild<QLabel *>("noMatch")->isVisible());
        control<QComboBox>("filterOrder")->setCurrentIndex(int(GridChoice::Order::PriceLowToHigh));
        control<QLineEdit>("filterWords")->clear();
        QTRY_COMPARE(screen->collectionView()->numberOfItemsInSection(0), 4);

        // Opened is seen: dimmed, then hidden by "Hide seen".
        const ParsedLink::Ptr opened = shown().first();
        screen->collectionView()->setFocus();
        screen->collectionView()->setCurrentItem(IndexPath{ 0, 0 });
        QTest::keyClick(screen->collectionView(), Qt::Key_Return);
        QTRY_VERIFY(qobject_cast<DetailViewController *>(navigation->topViewController()));
        navigation->popViewControllerAnimated(false);
        QTRY_COMPARE(navigation->topViewController(), screen.data());
        auto *first = qobject_cast<DisplayParsedLink *>(
            screen->collectionView()->cellForItemAtIndexPath({ 0, 0 }));
        QVERIFY(first && first->parsedLink() == opened);
        QTRY_VERIFY(first->isDimmed());
        control<QCheckBox>("filterSeen")->setChecked(true);
        QTRY_COMPARE(screen->collectionView()->numberOfItemsInSection(0), 3);
        QVERIFY(!shown().contains(opened));
        QCOMPARE(control<QLabel>("filterCount")->text(), u"3 of 4 shown"_s);

        // The compact view: several to a row, the same listings.
        control<QToolButton>("filterCompact")->click();
        QTRY_VERIFY(qobject_cast<CompactTile *>(
            screen->collectionView()->cellForItemAtIndexPath({ 0, 0 })));
        const QRect a = screen->collectionView()->cellForItemAtIndexPath({ 0, 0 })->geometry();
        const QRect b = screen->collectionView()->cellForItemAtIndexPath({ 0, 1 })->geometry();
        QCOMPARE(a.top(), b.top());
        navigation.reset();

        // The site gained two listings: the bookmark opens with them marked new, with the
        // choice it was left with, and home has the count.
        const quint16 port = site->port();
        site.reset();
        options.listingsPerPage = 6;
        options.port = port;
        site = std::make_unique<DemoSite>(options);
        QVERIFY(site->start());
        openBookmark(address);
        QCOMPARE(control<QComboBox>("filterOrder")->currentIndex(),
                 int(GridChoice::Order::PriceLowToHigh));
        QVERIFY(control<QCheckBox>("filterSeen")->isChecked());
        QVERIFY(control<QToolButton>("filterCompact")->isChecked());
        QTRY_COMPARE(screen->collectionView()->numberOfItemsInSection(0), 5);
        int fresh = 0;
        for (const ParsedLink::Ptr &link : shown())
            fresh += link->isNew() ? 1 : 0;
        QCOMPARE(fresh, 2);
        QCOMPARE(BookmarkVisits::last(address).newCount, 2);

        // Forgotten, the seen listing is back.
        SeenListings::instance().forget();
        QTRY_COMPARE(screen->collectionView()->numberOfItemsInSection(0), 6);

        // Exported as shown: six rows, naming the files of cached photos.
        const QString exported = dir.filePath(u"listings.json"_s);
        QVERIFY(GridExport::write(exported, shown()));
        QFile file(exported);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QJsonArray rows = QJsonDocument::fromJson(file.readAll()).array();
        QCOMPARE(rows.size(), 6);
        QCOMPARE(rows.at(0).toObject().value(u"url").toString(), shown().first()->url());
        for (const QJsonValue &photoFile : rows.at(0).toObject().value(u"photoFiles").toArray())
            QVERIFY(QFile::exists(photoFile.toString()));
    }

    // The demo site's repost (the same photo, re-encoded smaller, and title) shows once, marked,
    // and its detail screen opens either posting.
    void repostedPair_showsOnceWithBothAddresses()
    {
        DemoSite::Options options;
        options.listingsPerPage = 6;
        options.pages = 1;
        auto site = std::make_unique<DemoSite>(options);
        QVERIFY(site->start());
        openBookmark(site->searchUrl(1).toString());
        QTRY_COMPARE_WITH_TIMEOUT(screen->collectionView()->numberOfItemsInSection(0), 5,
                                  loadTimeout);
        QCOMPARE(control<QLabel>("filterCount")->text(), u"5 of 6 shown, 1 repost folded"_s);
        const ParsedLink::Ptr kept = shown().at(DemoCatalogue::repostIndex);
        const QString original = site->listingUrl(DemoCatalogue::repostOriginal).toString();
        QCOMPARE(kept->url(), site->listingUrl(DemoCatalogue::repostIndex).toString());
        QCOMPARE(kept->otherPostings().size(), 1);
        QCOMPARE(kept->otherPostings().first().url, original);
        // The tile is brought into view and looked up afresh: the grid reloads its cells as
        // listings change, and tiles off the screen have none.
        screen->collectionView()->setFocus();
        QTRY_VERIFY([this] {
            screen->collectionView()->setCurrentItem(IndexPath{ 0, DemoCatalogue::repostIndex });
            const auto *tile = screen->collectionView()->cellForItemAtIndexPath(
                { 0, DemoCatalogue::repostIndex });
            const auto *mark = tile ? tile->findChild<QLabel *>(u"tileReposted"_s) : nullptr;
            return mark && mark->text().startsWith(u"Reposted");
        }());
        QTest::keyClick(screen->collectionView(), Qt::Key_Return);
        QTRY_VERIFY(qobject_cast<DetailViewController *>(navigation->topViewController()));
        auto *detail = qobject_cast<DetailViewController *>(navigation->topViewController());
        const QList<QPushButton *> postings
            = detail->findChildren<QPushButton *>(u"postingButton"_s);
        QCOMPARE(postings.size(), 2);
        QVERIFY(postings.first()->isChecked());
        postings.last()->click();
        QTRY_COMPARE_WITH_TIMEOUT(detail->webview()->url().toString(), original, loadTimeout);
        navigation.reset();
    }
};

LISTORO_TEST(TestMarketView)
#include "tst_marketview.moc"
