#include "common/testregistry.h"

#include "grid/largeuicollectionview.h"
#include "grid/tileflowlayout.h"
#include "ui/collectionviewcell.h"
#include "ui/collectionviewdatasource.h"
#include "ui/collectionviewdelegate.h"

#include <QTest>

namespace {

using Heights = QHash<int, int>;

const QString tileId = QStringLiteral("Tile");

// A tile whose content may run far below the item it was given, as a listing tile's photos do
// before the grid has re-laid it out.
class TallCell final : public CollectionViewCell
{
public:
    using CollectionViewCell::CollectionViewCell;
    int contentHeight() const override { return content; }
    int content = 0;
};

class Tiles final : public CollectionViewDataSource, public CollectionViewDelegate
{
public:
    int collectionViewNumberOfItemsInSection(CollectionView *, int) override
    {
        return int(sizes.size());
    }
    CollectionViewCell *collectionViewCellForItemAtIndexPath(CollectionView *view,
                                                             const IndexPath &path) override
    {
        auto *cell = static_cast<TallCell *>(view->dequeueReusableCell(tileId, path));
        cell->content = contentHeights.value(path.item, int(sizes.at(path.item).height()));
        return cell;
    }
    QSizeF sizeForItemAtIndexPath(CollectionView *, CollectionViewFlowLayout *,
                                  const IndexPath &path) override
    {
        ++sizeQueries;
        return sizes.at(path.item);
    }

    QList<QSizeF> sizes;
    Heights contentHeights;
    int sizeQueries = 0;
};

// A window of the given size with a grid filling it.
struct Screen
{
    Screen(QSize size, Tiles &tiles, CollectionViewFlowLayout *layout = nullptr)
    {
        window.resize(size);
        grid = new LargeUICollectionView(QRect(QPoint(), size), layout, &window);
        grid->registerClass<TallCell>(tileId);
        grid->setDataSource(&tiles);
        grid->setDelegate(&tiles);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qWarning("window not exposed");
        grid->layoutIfNeeded();
    }
    QWidget window;
    LargeUICollectionView *grid = nullptr;
};

} // namespace

class TestGridView : public QObject
{
    Q_OBJECT

private slots:
    void visibleArea_followsScreenAndTallestTile_data()
    {
        QTest::addColumn<QSize>("window");
        QTest::addColumn<int>("items");
        QTest::addColumn<Heights>("contentHeights");
        QTest::addColumn<int>("screenWidth");
        QTest::addColumn<int>("screenHeight");
        QTest::addColumn<qreal>("visibleHeight");
        QTest::addColumn<int>("lastItemWithCell");

        // Tiles 100 high, one to a line every 110 points.
        QTest::newRow("no cell: the screen height")
            << QSize(768, 1024) << 0 << Heights() << 768 << 1024 << 1024.0 << -1;
        QTest::newRow("landscape, short tiles")
            << QSize(1024, 768) << 100 << Heights() << 1024 << 768 << 768.0 << 6;
        QTest::newRow("portrait, short tiles")
            << QSize(768, 1024) << 100 << Heights() << 768 << 1024 << 1024.0 << 9;
        QTest::newRow("a 2,500-point tile stretches the area")
            << QSize(768, 1024) << 100 << Heights{ { 0, 2500 } } << 768 << 1024 << 2500.0 << 22;
        QTest::newRow("tiles shorter than the screen do not shrink it")
            << QSize(1024, 768) << 100 << Heights{ { 0, 300 }, { 1, 500 } } << 1024 << 768 << 768.0
            << 6;
        QTest::newRow("a tile found through another tall one counts too")
            << QSize(1024, 768) << 100 << Heights{ { 0, 1000 }, { 8, 1500 } } << 1024 << 768
            << 1500.0 << 13;
    }

    void visibleArea_followsScreenAndTallestTile()
    {
        QFETCH(QSize, window);
        QFETCH(int, items);
        QFETCH(Heights, contentHeights);
        QFETCH(int, screenWidth);
        QFETCH(int, screenHeight);
        QFETCH(qreal, visibleHeight);
        QFETCH(int, lastItemWithCell);

        Tiles tiles;
        tiles.sizes = QList<QSizeF>(items, QSizeF(window.width(), 100));
        tiles.contentHeights = contentHeights;
        Screen screen(window, tiles);

        const QList<IndexPath> visible = screen.grid->indexPathsForVisibleItems();
        QCOMPARE(visible.isEmpty() ? -1 : visible.last().item, lastItemWithCell);
        QCOMPARE(screen.grid->visibleBounds(), QRectF(0, 0, window.width(), visibleHeight));
        QCOMPARE(screen.grid->heightOfLargestVisibleCell(), float(visibleHeight));
        QCOMPARE(screen.grid->screen_width(), screenWidth);
        QCOMPARE(screen.grid->screen_height(), screenHeight);
    }

    void visibleArea_startsAtTheOffset()
    {
        Tiles tiles;
        tiles.sizes = QList<QSizeF>(100, QSizeF(1024, 100));
        tiles.contentHeights = { { 20, 2500 } };
        Screen screen(QSize(1024, 768), tiles);
        screen.grid->setContentOffset(QPointF(0, 2200), false);
        QCOMPARE(screen.grid->visibleBounds(), QRectF(0, 2200, 1024, 2500));
        // Item 20 at 2200 reaches 2500 down: items up to 4700 have cells.
        QCOMPARE(screen.grid->indexPathsForVisibleItems().last().item, 42);
    }

    void tileLayout_keepsOnlyItemsInsideTheContent_data()
    {
        QTest::addColumn<qreal>("width");
        QTest::addColumn<bool>("kept");

        QTest::newRow("narrower") << 1000.0 << true;
        QTest::newRow("exactly on the edge") << 1024.0 << true;
        QTest::newRow("one point beyond") << 1025.0 << false;
    }

    void tileLayout_keepsOnlyItemsInsideTheContent()
    {
        QFETCH(qreal, width);
        QFETCH(bool, kept);

        Tiles tiles;
        tiles.sizes = { QSizeF(1024, 100), QSizeF(width, 100), QSizeF(1024, 100) };
        auto *layout = new TileFlowLayout;
        Screen screen(QSize(1024, 768), tiles, layout);

        QList<int> items;
        for (const LayoutAttributes &a :
             layout->layoutAttributesForElementsInRect(QRectF(0, 0, 1024, 768)))
            items.append(a.indexPath.item);
        QCOMPARE(items, kept ? QList<int>({ 0, 1, 2 }) : QList<int>({ 0, 2 }));
        QCOMPARE(screen.grid->cellForItemAtIndexPath({ 0, 1 }) != nullptr, kept);
    }

    void tileLayout_relaysOutOnEveryBoundsChange_data()
    {
        QTest::addColumn<bool>("tileLayout");
        QTest::newRow("flow layout keeps its frames while scrolling") << false;
        QTest::newRow("tile layout lays out again") << true;
    }

    void tileLayout_relaysOutOnEveryBoundsChange()
    {
        QFETCH(bool, tileLayout);
        Tiles tiles;
        tiles.sizes = QList<QSizeF>(50, QSizeF(1024, 300));
        CollectionViewFlowLayout *layout
            = tileLayout ? new TileFlowLayout : new CollectionViewFlowLayout;
        Screen screen(QSize(1024, 768), tiles, layout);
        tiles.sizeQueries = 0;

        screen.grid->setContentOffset(QPointF(0, 1000), false);
        screen.grid->layoutIfNeeded();
        QCOMPARE(tiles.sizeQueries, tileLayout ? 50 : 0);
        QCOMPARE(screen.grid->indexPathsForVisibleItems().first().item, 3);
    }
};

LISTORO_TEST(TestGridView)
#include "tst_gridview.moc"
