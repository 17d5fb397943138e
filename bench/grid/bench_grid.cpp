// From pressing Zesto to the grid: against the demo site (100 listings of up to 4 photos, a
// fixed delay per response), the time until the grid opens (more than 90 percent of listings
// settled) and until every listing has settled and the tiles on screen show all their photos,
// with a cold and then a warm cache.
//
//   bench_grid [--listings N] [--photos N] [--delay-ms N] [--runs N]
// Run it under xvfb-run (or any display): it shows the real window.

#include "demo/demosite.h"
#include "grid/displayparsedlink.h"
#include "grid/largeuicollectionview.h"
#include "platform/cachedirectory.h"
#include "platform/userdefaults.h"
#include "scrape/parsedlink.h"
#include "scrape/settingsrefresh.h"
#include "screens/listoroviewcontroller.h"
#include "ui/alertview.h"
#include "ui/navigationcontroller.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

bool waitFor(const std::function<bool()> &condition, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

bool visibleTilesFilled(ListoroViewController *screen)
{
    LargeUICollectionView *grid = screen->collectionView();
    if (!grid)
        return false;
    for (CollectionViewCell *cell : grid->visibleCells()) {
        auto *tile = qobject_cast<DisplayParsedLink *>(cell);
        const auto link = tile ? tile->parsedLink() : nullptr;
        if (!link || !tile->showsCurrent(link) || tile->placedPhotos() < link->settledImagesCount())
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({ "listings", "Listings on the results page.", "N", "100" });
    parser.addOption({ "photos", "Most photos per listing.", "N", "4" });
    parser.addOption({ "delay-ms", "Delay of every response.", "N", "50" });
    parser.addOption({ "runs", "Runs of each (cold, warm).", "N", "3" });
    parser.process(app);

    QTemporaryDir dir;
    UserDefaults::setStoreFile(dir.filePath("defaults.ini"));
    CacheDirectory::setPath(dir.filePath("cache"));
    SettingsRefresh::seedFromShippedDocument();

    DemoSite::Options options;
    options.listingsPerPage = parser.value("listings").toInt();
    options.pages = 2;
    options.maxPhotos = parser.value("photos").toInt();
    options.delayMs = parser.value("delay-ms").toInt();
    DemoSite site(options);
    if (!site.start())
        return 1;
    int photos = 0;
    for (const DemoListing &listing : site.listingsOnPage(1))
        photos += listing.photoCount;
    std::printf("demo site: %d listings, %d photos, %d ms per response\n", options.listingsPerPage,
                photos, options.delayMs);

    const int runs = parser.value("runs").toInt();
    for (const bool warm : { false, true }) {
        for (int run = 0; run < runs; ++run) {
            if (!warm)
                ParsedLink::cleanCache();
            NavigationController navigation;
            navigation.resize(1024, 768);
            auto *screen = new ListoroViewController;
            screen->setCurrentUrl(site.searchUrl().toString());
            navigation.pushViewController(screen, false);
            navigation.show();
            if (!waitFor([&] { return screen->btnZesto()->isEnabled(); }, 60000))
                return 1;

            QElapsedTimer timer;
            timer.start();
            screen->btnZesto()->click();
            const bool opened = waitFor(
                [&] {
                    return screen->collectionView() && screen->collectionView()->alpha() == 1.0;
                },
                120000);
            const double openMs = timer.nsecsElapsed() / 1e6;
            const bool filled = waitFor(
                [&] {
                    return screen->extractor() && screen->extractor()->progress() == 100
                        && visibleTilesFilled(screen);
                },
                120000);
            const double filledMs = timer.nsecsElapsed() / 1e6;
            std::printf("%s cache, run %d: grid open %s %.0f ms, every listing settled and tiles "
                        "on screen filled %s %.0f ms\n",
                        warm ? "warm" : "cold", run + 1, opened ? "after" : "NOT within", openMs,
                        filled ? "after" : "NOT within", filledMs);
            std::fflush(stdout);
            for (AlertView *alert : AlertView::visibleAlerts())
                alert->dismissWithClickedButtonIndex(0, false);
        }
    }
    UserDefaults::setStoreFile({});
    CacheDirectory::setPath({});
    return 0;
}
