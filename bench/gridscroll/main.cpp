#include "gridscrollbench.h"
#include "sampletile.h"

#include "ui/collectionview.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QRandomGenerator>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Scrolls a grid of tall tiles and prints the "
                                                    "time per frame and the peak memory."));
    parser.addHelpOption();
    const QCommandLineOption itemsOption(QStringLiteral("items"), QStringLiteral("Items."),
                                         QStringLiteral("n"), QStringLiteral("500"));
    const QCommandLineOption stepOption(QStringLiteral("step"),
                                        QStringLiteral("Points scrolled per frame."),
                                        QStringLiteral("points"), QStringLiteral("40"));
    const QCommandLineOption plainOption(QStringLiteral("plain"),
                                         QStringLiteral("The plain collection view."));
    const QCommandLineOption tileLayoutOption(QStringLiteral("tile-layout"),
                                              QStringLiteral("The tile flow layout."));
    const QCommandLineOption shotOption(QStringLiteral("screenshot"),
                                        QStringLiteral("Save a grab halfway down."),
                                        QStringLiteral("png"));
    parser.addOptions({ itemsOption, stepOption, plainOption, tileLayoutOption, shotOption });
    parser.process(app);

    GridScrollOptions options;
    options.step = std::max(1, parser.value(stepOption).toInt());
    options.largeView = !parser.isSet(plainOption);
    options.tileLayout = parser.isSet(tileLayoutOption);
    options.screenshot = parser.value(shotOption);

    // Heights of 300 to 1,500 points, the same at every run.
    QRandomGenerator random(20130112);
    QList<int> heights(std::max(1, parser.value(itemsOption).toInt()));
    for (int &height : heights)
        height = random.bounded(300, 1501);

    const QString identifier = QStringLiteral("Sample Tile");
    GridScrollItems items;
    items.count = int(heights.size());
    items.registerCells = [&](CollectionView *view) {
        view->registerClass<SampleTile>(identifier);
    };
    items.sizeForItem = [&](const IndexPath &path) {
        return QSizeF(options.window.width(), heights.at(path.item));
    };
    items.cellForItem = [&](CollectionView *view, const IndexPath &path) {
        auto *tile = static_cast<SampleTile *>(view->dequeueReusableCell(identifier, path));
        if (tile)
            tile->setItem(path.item);
        return tile;
    };

    const GridScrollResult result = runGridScroll(items, options);
    std::printf("view %s, layout %s, %d items, %d px per frame, window %dx%d\n",
                options.largeView ? "LargeUICollectionView" : "CollectionView",
                options.tileLayout ? "TileFlowLayout" : "CollectionViewFlowLayout", items.count,
                options.step, options.window.width(), options.window.height());
    std::printf("frames %d  median %.2f ms  p95 %.2f ms  worst %.2f ms  cells %d  peak RSS %lld "
                "KiB\n",
                result.frames, result.medianMs, result.p95Ms, result.worstMs, result.cellsMade,
                static_cast<long long>(result.peakResidentKb));
    return 0;
}
