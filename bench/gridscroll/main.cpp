#include "gridscrollbench.h"
#include "sampletile.h"

#include "grid/largeuicollectionview.h"
#include "listinggridsource.h"
#include "platform/cachedirectory.h"
#include "platform/userdefaults.h"
#include "samplelistings.h"
#include "saved/zestofavorite.h"
#include "ui/collectionview.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// The stand-in tiles: heights of 300 to 1,500 points, the same at every run.
GridScrollItems sampleItems(int count, const GridScrollOptions &options)
{
    QRandomGenerator random(20130112);
    QList<int> heights(count);
    for (int &height : heights)
        height = random.bounded(300, 1501);

    const QString identifier = QStringLiteral("Sample Tile");
    GridScrollItems items;
    items.count = count;
    items.registerCells = [identifier](CollectionView *view) {
        view->registerClass<SampleTile>(identifier);
    };
    items.sizeForItem = [heights, width = options.window.width()](const IndexPath &path) {
        return QSizeF(width, heights.at(path.item));
    };
    items.cellForItem = [identifier](CollectionView *view, const IndexPath &path) {
        auto *tile = static_cast<SampleTile *>(view->dequeueReusableCell(identifier, path));
        if (tile)
            tile->setItem(path.item);
        return tile;
    };
    return items;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Scrolls a grid of tall tiles and prints the "
                                                    "time per frame and the peak memory."));
    parser.addHelpOption();
    const QCommandLineOption itemsOption(QStringLiteral("items"), QStringLiteral("Items."),
                                         QStringLiteral("n"), QStringLiteral("500"));
    const QCommandLineOption photosOption(QStringLiteral("photos"),
                                          QStringLiteral("Photos of each listing."),
                                          QStringLiteral("n"), QStringLiteral("4"));
    const QCommandLineOption stepOption(QStringLiteral("step"),
                                        QStringLiteral("Points scrolled per frame."),
                                        QStringLiteral("points"), QStringLiteral("40"));
    const QCommandLineOption fpsOption(QStringLiteral("fps"),
                                       QStringLiteral("Pace the frames, as a display does "
                                                      "(0: every frame at once)."),
                                       QStringLiteral("frames"), QStringLiteral("0"));
    const QCommandLineOption sampleOption(
        QStringLiteral("sample-tiles"),
        QStringLiteral("Stand-in tiles instead of the listing tiles and their photos."));
    const QCommandLineOption plainOption(QStringLiteral("plain"),
                                         QStringLiteral("The plain collection view (stand-in "
                                                        "tiles only)."));
    const QCommandLineOption tileLayoutOption(QStringLiteral("tile-layout"),
                                              QStringLiteral("The tile flow layout."));
    const QCommandLineOption shotOption(QStringLiteral("screenshot"),
                                        QStringLiteral("Save a grab halfway down."),
                                        QStringLiteral("png"));
    parser.addOptions({ itemsOption, photosOption, stepOption, fpsOption, sampleOption, plainOption,
                        tileLayoutOption, shotOption });
    parser.process(app);

    GridScrollOptions options;
    options.step = std::max(1, parser.value(stepOption).toInt());
    options.fps = std::max(0, parser.value(fpsOption).toInt());
    options.largeView = !parser.isSet(plainOption);
    options.tileLayout = parser.isSet(tileLayoutOption);
    options.screenshot = parser.value(shotOption);
    const bool realTiles = !parser.isSet(sampleOption);
    if (realTiles && !options.largeView) {
        std::fprintf(stderr, "the listing tiles need the LargeUICollectionView: drop --plain\n");
        return 2;
    }
    const int count = std::max(1, parser.value(itemsOption).toInt());
    const int photos = std::max(0, parser.value(photosOption).toInt());

    // Listing tiles: their photos in a temporary cache, completed through downloadImages().
    QTemporaryDir scratch;
    QList<ParsedLink::Ptr> records;
    std::unique_ptr<ListingGridSource> source;
    GridScrollItems items;
    if (realTiles) {
        CacheDirectory::setPath(scratch.filePath(QStringLiteral("cache")));
        UserDefaults::setStoreFile(scratch.filePath(QStringLiteral("defaults.ini")));
        QElapsedTimer setup;
        setup.start();
        records = SampleListings::benchmark(count, photos);
        const double drawnMs = setup.nsecsElapsed() / 1e6;
        for (const ParsedLink::Ptr &record : std::as_const(records))
            record->downloadImages();
        if (!SampleListings::waitForPhotos(records, 120000))
            std::fprintf(stderr, "some listings did not complete their photos\n");
        // A few favorites, so the tiles' favorite lookups read a store with something in it.
        for (int i = 0; i < count; i += std::max(1, count / 10))
            ZestoFavorite(records.at(i)->title(), records.at(i)->url()).addToFavorites();
        qint64 bytes = 0;
        const QFileInfoList files = QDir(CacheDirectory::path()).entryInfoList(QDir::Files);
        for (const QFileInfo &file : files)
            bytes += file.size();
        std::printf("setup: %d listings x %d photos (%lld files, %.0f MB) drawn and copied in "
                    "%.0f ms, completed in %.0f ms\n",
                    count, photos, static_cast<long long>(files.size()), bytes / 1e6, drawnMs,
                    setup.nsecsElapsed() / 1e6 - drawnMs);

        source = std::make_unique<ListingGridSource>(records);
        items.count = count;
        items.attach = [&source, &records](CollectionView *view) {
            source->attach(static_cast<LargeUICollectionView *>(view));
            for (const ParsedLink::Ptr &record : std::as_const(records))
                source->parsedLinkModified(record);
        };
        items.screenReady = &ListingGridSource::photosPlaced;
    } else {
        items = sampleItems(count, options);
    }

    const GridScrollResult result = runGridScroll(items, options);
    std::printf("%s, view %s, layout %s, %d items, %d px per frame%s, window %dx%d\n",
                realTiles ? "listing tiles" : "stand-in tiles",
                options.largeView ? "LargeUICollectionView" : "CollectionView",
                options.tileLayout ? "TileFlowLayout" : "CollectionViewFlowLayout", items.count,
                options.step,
                options.fps > 0 ? qPrintable(QStringLiteral(" at %1 fps").arg(options.fps)) : "",
                options.window.width(), options.window.height());
    std::printf("first screen: laid out in %.1f ms", result.firstLayoutMs);
    if (result.firstScreenMs >= 0)
        std::printf(", photos placed after %.1f ms", result.firstScreenMs);
    std::printf("\nframes %d  median %.2f ms  p95 %.2f ms  worst %.2f ms  over 16 ms: %d\n",
                result.frames, result.medianMs, result.p95Ms, result.worstMs, result.slowFrames);
    std::printf("GUI thread processor time: worst frame %.2f ms, frames over 16 ms: %d\n",
                result.worstCpuMs, result.busyFrames);
    if (result.lastScreenMs >= 0) {
        std::printf("frames ending with photos missing on screen: %d; last screen: photos placed "
                    "%.1f ms after the last frame\n",
                    result.incompleteFrames, result.lastScreenMs);
    }
    std::printf("cells %d  tiles rendered %d  peak RSS %lld KiB\n", result.cellsMade,
                source ? source->renders() : -1, static_cast<long long>(result.peakResidentKb));
    source.reset();
    CacheDirectory::setPath({});
    UserDefaults::setStoreFile({});
    return 0;
}
