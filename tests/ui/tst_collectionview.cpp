#include "common/testregistry.h"

#include "ui/collectionview.h"
#include "ui/collectionviewcell.h"
#include "ui/collectionviewdatasource.h"
#include "ui/collectionviewdelegate.h"
#include "ui/collectionviewflowlayout.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

namespace {

const QString cellId = QStringLiteral("Cell");

class CountingCell final : public CollectionViewCell
{
public:
    using CollectionViewCell::CollectionViewCell;
    void prepareForReuse() override { ++reuses; }
    int reuses = 0;
};

// Takes every click itself, as a tile with its own tap handling does.
class ClickableCell final : public CollectionViewCell
{
public:
    using CollectionViewCell::CollectionViewCell;
    int clicks = 0;

protected:
    void mousePressEvent(QMouseEvent *event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        ++clicks;
        event->accept();
    }
};

class Source final : public CollectionViewDataSource, public CollectionViewDelegate
{
public:
    int numberOfSectionsInCollectionView(CollectionView *) override { return int(counts.size()); }
    int collectionViewNumberOfItemsInSection(CollectionView *, int section) override
    {
        return counts.value(section);
    }
    CollectionViewCell *collectionViewCellForItemAtIndexPath(CollectionView *view,
                                                             const IndexPath &path) override
    {
        asked.append(path);
        return view->dequeueReusableCell(identifier, path);
    }
    QSizeF sizeForItemAtIndexPath(CollectionView *, CollectionViewFlowLayout *,
                                  const IndexPath &path) override
    {
        ++sizeQueries;
        int index = path.item;
        for (int section = 0; section < path.section; ++section)
            index += counts.at(section);
        return sizes.value(index, itemSize);
    }
    void scrollViewDidScroll(CollectionView *) override { ++didScroll; }
    void scrollViewDidEndDragging(CollectionView *, bool willDecelerate) override
    {
        endDragging.append(willDecelerate);
    }
    void didSelectItemAtIndexPath(CollectionView *, const IndexPath &path) override
    {
        selected.append(path);
    }
    void didDeselectItemAtIndexPath(CollectionView *, const IndexPath &path) override
    {
        deselected.append(path);
    }

    QList<int> counts{ 1000 };
    QSizeF itemSize{ 400, 50 };
    QList<QSizeF> sizes; // by item across the sections; itemSize past the end
    QString identifier = cellId;

    QList<IndexPath> asked;
    int sizeQueries = 0;
    int didScroll = 0;
    QList<bool> endDragging;
    QList<IndexPath> selected;
    QList<IndexPath> deselected;
};

QList<IndexPath> items(int first, int last)
{
    QList<IndexPath> paths;
    for (int item = first; item <= last; ++item)
        paths.append({ 0, item });
    return paths;
}

// A click at a viewport point, delivered through the window as a real one is.
void click(CollectionView *view, QPoint point)
{
    QWidget *window = view->window();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                      view->viewport()->mapTo(window, point));
}

QList<IndexPath> pathsOf(const QList<LayoutAttributes> &attributes)
{
    QList<IndexPath> paths;
    for (const LayoutAttributes &a : attributes)
        paths.append(a.indexPath);
    return paths;
}

} // namespace

class TestCollectionView : public QObject
{
    Q_OBJECT

private:
    // A 400x300 view over `source`, shown; every cell made is counted.
    std::unique_ptr<CollectionView> makeView(Source &source)
    {
        auto view
            = std::make_unique<CollectionView>(QRect(0, 0, 400, 300), new CollectionViewFlowLayout);
        view->registerClass(
            [this](QWidget *parent) {
                ++m_cellsMade;
                return new CountingCell(parent);
            },
            cellId);
        view->setDataSource(&source);
        view->setDelegate(&source);
        view->show();
        if (!QTest::qWaitForWindowExposed(view.get()))
            qWarning("view not exposed");
        view->layoutIfNeeded();
        return view;
    }

    int m_cellsMade = 0;

private slots:
    void init() { m_cellsMade = 0; }

    void flowLayout_framesAndContentSize_data()
    {
        QTest::addColumn<qreal>("width");
        QTest::addColumn<QList<int>>("counts");
        QTest::addColumn<QList<QSizeF>>("sizes");
        QTest::addColumn<QMarginsF>("inset");
        QTest::addColumn<QList<QRectF>>("frames");
        QTest::addColumn<qreal>("contentHeight");

        const QSizeF s50(50, 50);
        QTest::newRow("wraps when the width is used up")
            << 200.0 << QList<int>{ 4 } << QList<QSizeF>{ s50, s50, s50, s50 } << QMarginsF()
            << QList<QRectF>{ { 0, 0, 50, 50 },
                              { 60, 0, 50, 50 },
                              { 120, 0, 50, 50 },
                              { 0, 60, 50, 50 } }
            << 110.0;
        QTest::newRow("an exact fit stays on the line")
            << 170.0 << QList<int>{ 3 } << QList<QSizeF>{ s50, s50, s50 } << QMarginsF()
            << QList<QRectF>{ { 0, 0, 50, 50 }, { 60, 0, 50, 50 }, { 120, 0, 50, 50 } } << 50.0;
        QTest::newRow("one point short wraps")
            << 169.0 << QList<int>{ 3 } << QList<QSizeF>{ s50, s50, s50 } << QMarginsF()
            << QList<QRectF>{ { 0, 0, 50, 50 }, { 60, 0, 50, 50 }, { 0, 60, 50, 50 } } << 110.0;
        QTest::newRow("the tallest item sets the line height")
            << 120.0 << QList<int>{ 3 } << QList<QSizeF>{ { 50, 20 }, { 50, 80 }, { 50, 30 } }
            << QMarginsF()
            << QList<QRectF>{ { 0, 0, 50, 20 }, { 60, 0, 50, 80 }, { 0, 90, 50, 30 } } << 120.0;
        QTest::newRow("insets frame the section")
            << 200.0 << QList<int>{ 3 } << QList<QSizeF>{ s50, s50, s50 }
            << QMarginsF(20, 5, 20, 15)
            << QList<QRectF>{ { 20, 5, 50, 50 }, { 80, 5, 50, 50 }, { 20, 65, 50, 50 } } << 130.0;
        QTest::newRow("an item wider than the line sits alone")
            << 200.0 << QList<int>{ 3 } << QList<QSizeF>{ s50, { 300, 40 }, s50 } << QMarginsF()
            << QList<QRectF>{ { 0, 0, 50, 50 }, { 0, 60, 300, 40 }, { 0, 110, 50, 50 } } << 160.0;
        QTest::newRow("full-width tiles, one to a line")
            << 1024.0 << QList<int>{ 3 }
            << QList<QSizeF>{ { 1024, 766 }, { 1024, 60 }, { 1024, 182 } } << QMarginsF()
            << QList<QRectF>{ { 0, 0, 1024, 766 }, { 0, 776, 1024, 60 }, { 0, 846, 1024, 182 } }
            << 1028.0;
        QTest::newRow("sections follow one another, empty ones keep their insets")
            << 200.0 << QList<int>{ 2, 0, 1 } << QList<QSizeF>{ s50, s50, s50 }
            << QMarginsF(0, 5, 0, 5)
            << QList<QRectF>{ { 0, 5, 50, 50 }, { 60, 5, 50, 50 }, { 0, 75, 50, 50 } } << 130.0;
    }

    void flowLayout_framesAndContentSize()
    {
        QFETCH(qreal, width);
        QFETCH(QList<int>, counts);
        QFETCH(QList<QSizeF>, sizes);
        QFETCH(QMarginsF, inset);
        QFETCH(QList<QRectF>, frames);
        QFETCH(qreal, contentHeight);

        Source source;
        source.counts = counts;
        source.sizes = sizes;

        auto *layout = new CollectionViewFlowLayout;
        layout->setSectionInset(inset);
        CollectionView view(QRect(0, 0, int(width), 300), layout);
        view.registerClass<CollectionViewCell>(cellId);
        view.setDataSource(&source);
        view.setDelegate(&source);

        QCOMPARE(view.contentSize(), QSizeF(width, contentHeight));
        QList<QRectF> actual;
        for (const LayoutAttributes &a :
             layout->layoutAttributesForElementsInRect(QRectF(0, 0, width, contentHeight)))
            actual.append(a.frame);
        QCOMPARE(actual, frames);
        // Every item can be found by its index path, and a rectangle finds exactly the items
        // that meet it.
        int index = 0;
        for (int s = 0; s < counts.size(); ++s) {
            for (int i = 0; i < counts.at(s); ++i, ++index) {
                const auto attributes = layout->layoutAttributesForItemAtIndexPath({ s, i });
                QVERIFY(attributes);
                QCOMPARE(attributes->frame, frames.at(index));
                const QList<LayoutAttributes> hit = layout->layoutAttributesForElementsInRect(
                    frames.at(index).adjusted(1, 1, -1, -1));
                QCOMPARE(pathsOf(hit), (QList<IndexPath>{ { s, i } }));
            }
        }
        QVERIFY(!layout->layoutAttributesForItemAtIndexPath({ 0, counts.value(0) }));
    }

    void onlyItemsInView_haveCells_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");

        // Items 400x50, one to a line every 60 points, in a 300-point-high viewport.
        QTest::newRow("top") << 0 << 0 << 4;
        QTest::newRow("an item's bottom on the top edge is out") << 50 << 1 << 5;
        QTest::newRow("middle") << 30000 << 500 << 504;
        QTest::newRow("past the end clamps to the last page") << 100000 << 995 << 999;
    }

    void onlyItemsInView_haveCells()
    {
        QFETCH(int, offset);
        QFETCH(int, first);
        QFETCH(int, last);

        Source source;
        auto view = makeView(source);
        view->setContentOffset(QPointF(0, offset), false);

        QCOMPARE(view->indexPathsForVisibleItems(), items(first, last));
        QCOMPARE(view->visibleCells().size(), last - first + 1);
        QVERIFY(m_cellsMade <= 6);
        for (const IndexPath &path : items(first, last)) {
            CollectionViewCell *cell = view->cellForItemAtIndexPath(path);
            QVERIFY(cell);
            QVERIFY(cell->isVisible());
            QCOMPARE(cell->parentWidget(), view->viewport());
            QCOMPARE(cell->reuseIdentifier(), cellId);
            QCOMPARE(cell->geometry(),
                     QRect(0, path.item * 60 - int(view->contentOffset().y()), 400, 50));
        }
        QVERIFY(!view->cellForItemAtIndexPath({ 0, last + 1 }));
        QVERIFY(!view->cellForItemAtIndexPath({ 0, first - 1 }));
    }

    void scrolling_reusesTheSameCells()
    {
        Source source;
        auto view = makeView(source);
        const QList<CollectionViewCell *> atTop = view->visibleCells();
        QCOMPARE(atTop.size(), 5);

        // One line down: item 0 leaves and its cell comes back for item 5.
        view->setContentOffset(QPointF(0, 60), false);
        QCOMPARE(view->indexPathsForVisibleItems(), items(1, 5));
        QCOMPARE(view->cellForItemAtIndexPath({ 0, 5 }), atTop.first());
        QCOMPARE(static_cast<CountingCell *>(atTop.first())->reuses, 1);
        QCOMPARE(source.asked.last(), (IndexPath{ 0, 5 }));

        // Far down: every cell is one of the first five.
        view->setContentOffset(QPointF(0, 12000), false);
        const QList<CollectionViewCell *> far = view->visibleCells();
        QCOMPARE(QSet<CollectionViewCell *>(far.begin(), far.end()),
                 QSet<CollectionViewCell *>(atTop.begin(), atTop.end()));
        QCOMPARE(m_cellsMade, 5);
        for (CollectionViewCell *cell : view->viewport()->findChildren<CollectionViewCell *>())
            QCOMPARE(cell->isVisible(), far.contains(cell));
    }

    void reloadItems_reasksOnlyVisibleItems()
    {
        Source source;
        auto view = makeView(source);
        CollectionViewCell *before = view->cellForItemAtIndexPath({ 0, 2 });
        source.asked.clear();

        view->reloadItems({ { 0, 2 }, { 0, 3 }, { 0, 700 } });
        view->layoutIfNeeded();

        QCOMPARE(source.asked, (QList<IndexPath>{ { 0, 2 }, { 0, 3 } }));
        // The item gets its own cell back, prepared for reuse.
        QCOMPARE(view->cellForItemAtIndexPath({ 0, 2 }), before);
        QCOMPARE(static_cast<CountingCell *>(before)->reuses, 1);
        QCOMPARE(view->visibleCells().size(), 5);
    }

    void reloadData_requeriesCountsAndEveryVisibleCell()
    {
        Source source;
        auto view = makeView(source);
        source.asked.clear();
        source.counts = { 3 };

        view->reloadData();
        QCOMPARE(view->numberOfItemsInSection(0), 3);
        QCOMPARE(view->indexPathsForVisibleItems(), items(0, 2));
        QCOMPARE(source.asked, items(0, 2));
        QCOMPARE(view->contentSize(), QSizeF(400, 170));
    }

    void performBatchUpdates_requeriesSizes()
    {
        Source source;
        auto view = makeView(source);
        CollectionViewCell *second = view->cellForItemAtIndexPath({ 0, 1 });
        source.asked.clear();
        source.sizeQueries = 0;

        bool finished = false;
        view->performBatchUpdates([&] { source.sizes = { QSizeF(400, 200) }; },
                                  [&](bool done) { finished = done; });

        QVERIFY(finished);
        QCOMPARE(source.sizeQueries, 1000);
        QCOMPARE(view->cellForItemAtIndexPath({ 0, 0 })->height(), 200);
        QCOMPARE(view->cellForItemAtIndexPath({ 0, 1 }), second);
        QCOMPARE(second->y(), 210);
        QCOMPARE(view->indexPathsForVisibleItems(), items(0, 2));
        // Counts unchanged: the cells stay and are only moved.
        QVERIFY(source.asked.isEmpty());
        QCOMPARE(view->contentSize().height(), 1000 * 60 - 10 + 150.0);
    }

    void dequeueOutsideTheDataSource_returnsTheCellToItsQueue()
    {
        Source source;
        auto view = makeView(source);
        CollectionViewCell *scratch = view->dequeueReusableCell(cellId, { 0, 40 });
        QVERIFY(scratch);
        view->layoutIfNeeded();
        for (int i = 0; i < 20; ++i) {
            QCOMPARE(view->dequeueReusableCell(cellId, { 0, 40 + i }), scratch);
            view->layoutIfNeeded();
        }
        QCOMPARE(m_cellsMade, 6);
        QVERIFY(!scratch->isVisible());
        QVERIFY(!view->dequeueReusableCell(QStringLiteral("never registered"), { 0, 0 }));
    }

    void deletedCell_isForgotten()
    {
        Source source;
        auto view = makeView(source);
        delete view->cellForItemAtIndexPath({ 0, 1 });
        QCOMPARE(view->visibleCells().size(), 4);
        view->reloadData();
        QCOMPARE(view->indexPathsForVisibleItems(), items(0, 4));
    }

    void scrollCallbacks_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("offset");
        QTest::addColumn<bool>("endsDragging");

        QTest::newRow("content offset") << u"offset"_qs << 500 << false;
        QTest::newRow("wheel notch, animated") << u"wheel"_qs << 120 << true;
        QTest::newRow("two wheel notches add up") << u"wheel2"_qs << 240 << true;
        QTest::newRow("touchpad pixels, direct") << u"pixels"_qs << 37 << true;
        QTest::newRow("page down") << u"pagedown"_qs << 260 << true;
        QTest::newRow("end") << u"end"_qs << 1000 * 60 - 10 - 300 << true;
        QTest::newRow("scroll bar drag") << u"scrollbar"_qs << 900 << true;
    }

    void scrollCallbacks()
    {
        QFETCH(QString, input);
        QFETCH(int, offset);
        QFETCH(bool, endsDragging);

        Source source;
        auto view = makeView(source);
        const auto wheel = [&](QPoint pixels, QPoint degrees) {
            QWheelEvent event(QPointF(200, 150), view->mapToGlobal(QPointF(200, 150)), pixels,
                              degrees, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(view->viewport(), &event);
        };
        if (input == u"offset") {
            view->setContentOffset(QPointF(0, offset), false);
        } else if (input == u"wheel") {
            wheel({}, { 0, -120 });
        } else if (input == u"wheel2") {
            wheel({}, { 0, -120 });
            wheel({}, { 0, -120 });
        } else if (input == u"pixels") {
            wheel({ 0, -37 }, { 0, -37 });
            QCOMPARE(view->contentOffset().y(), 37.0);
        } else if (input == u"pagedown") {
            QTest::keyClick(view.get(), Qt::Key_PageDown);
        } else if (input == u"end") {
            QTest::keyClick(view.get(), Qt::Key_End);
        } else if (input == u"scrollbar") {
            const QList<QScrollBar *> bars = view->findChildren<QScrollBar *>();
            const auto shown = std::find_if(bars.begin(), bars.end(),
                                            [](QScrollBar *b) { return b->isVisible(); });
            QVERIFY(shown != bars.end());
            (*shown)->setSliderDown(true);
            (*shown)->setValue(offset);
            QVERIFY(source.endDragging.isEmpty());
            (*shown)->setSliderDown(false);
        }

        QTRY_COMPARE(view->contentOffset().y(), qreal(offset));
        QVERIFY(source.didScroll > 0);
        // The first item whose bottom (60 i + 50) lies below the offset.
        QCOMPARE(view->indexPathsForVisibleItems().first().item, (offset + 10) / 60);
        if (endsDragging)
            QTRY_COMPARE(source.endDragging, QList<bool>{ false });
        else
            QVERIFY(source.endDragging.isEmpty());
    }

    void widthChange_relaysOutTheFlow()
    {
        Source source;
        source.itemSize = QSizeF(100, 50);
        auto view = makeView(source);
        QCOMPARE(view->cellForItemAtIndexPath({ 0, 3 })->geometry(), QRect(0, 60, 100, 50));
        source.sizeQueries = 0;

        view->resize(250, 300);
        QCOMPARE(view->cellForItemAtIndexPath({ 0, 3 })->geometry(), QRect(110, 60, 100, 50));
        QCOMPARE(source.sizeQueries, 1000);

        // Height alone, or scrolling: frames stay, sizes are not asked again.
        view->resize(250, 400);
        view->setContentOffset(QPointF(0, 90), false);
        QCOMPARE(source.sizeQueries, 1000);
    }

    void click_selectsUnlessTheCellTakesIt_data()
    {
        QTest::addColumn<bool>("cellTakesClicks");
        QTest::newRow("plain cell") << false;
        QTest::newRow("cell handles its clicks") << true;
    }

    void click_selectsUnlessTheCellTakesIt()
    {
        QFETCH(bool, cellTakesClicks);
        Source source;
        auto view = makeView(source);
        view->registerClass<ClickableCell>(u"Clickable"_qs);
        if (cellTakesClicks) {
            source.identifier = u"Clickable"_qs;
            view->reloadData();
            view->layoutIfNeeded();
        }

        click(view.get(), QPoint(20, 70));
        click(view.get(), QPoint(20, 130));
        // Between two items: nothing.
        click(view.get(), QPoint(20, 55));

        if (cellTakesClicks) {
            QVERIFY(source.selected.isEmpty());
            QCOMPARE(static_cast<ClickableCell *>(view->cellForItemAtIndexPath({ 0, 1 }))->clicks,
                     1);
        } else {
            QCOMPARE(source.selected, (QList<IndexPath>{ { 0, 1 }, { 0, 2 } }));
            QCOMPARE(source.deselected, (QList<IndexPath>{ { 0, 1 } }));
            QCOMPARE(view->indexPathsForSelectedItems(), (QList<IndexPath>{ { 0, 2 } }));
        }
    }

    void backgroundPattern_scrollsWithTheContent_data()
    {
        QTest::addColumn<QList<int>>("offsets");
        QTest::newRow("one jump") << QList<int>{ 37 };
        QTest::newRow("small steps, scrolled on screen") << QList<int>{ 5, 13, 26, 29, 37 };
        QTest::newRow("down and back up") << QList<int>{ 400, 250, 97 };
    }

    void backgroundPattern_scrollsWithTheContent()
    {
        QFETCH(QList<int>, offsets);
        // Red in the top half of every 16 content rows, blue in the bottom half.
        QPixmap stripes(4, 16);
        stripes.fill(Qt::blue);
        QPainter(&stripes).fillRect(0, 0, 4, 8, Qt::red);

        Source source;
        auto view = makeView(source);
        view->setBackgroundBrush(QBrush(stripes));
        QCoreApplication::processEvents();
        for (int offset : offsets) {
            view->setContentOffset(QPointF(0, offset), false);
            QCoreApplication::processEvents();
        }
        const int offset = offsets.last();
        // What reached the screen, not a fresh rendering.
        const QImage shown = view->screen()->grabWindow(view->winId()).toImage();
        QVERIFY(!shown.isNull());
        int checked = 0;
        for (int y = 0; y < 300; ++y) {
            const int contentY = y + offset;
            if (contentY % 60 < 50)
                continue; // a cell
            const QColor expected = contentY % 16 < 8 ? QColor(Qt::red) : QColor(Qt::blue);
            QCOMPARE(shown.pixelColor(200, y), expected);
            ++checked;
        }
        QVERIFY(checked >= 40);
    }

    void alpha_zeroHidesTheContentAndLetsClicksThrough()
    {
        Source source;
        QWidget window;
        window.resize(400, 300);
        window.setAutoFillBackground(true);
        window.setPalette(QPalette(Qt::red));
        CollectionView view(QRect(0, 0, 400, 300), nullptr, &window);
        view.setBackgroundBrush(Qt::blue);
        view.registerClass<CollectionViewCell>(cellId);
        view.setDataSource(&source);
        view.setDelegate(&source);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        view.setAlpha(0.5);
        const QColor blend = window.grab().toImage().pixelColor(200, 55);
        QVERIFY2(qAbs(blend.red() - 128) <= 2 && qAbs(blend.blue() - 128) <= 2,
                 qPrintable(blend.name()));
        view.setAlpha(0);
        QCOMPARE(window.grab().toImage().pixelColor(200, 55), QColor(Qt::red));
        click(&view, QPoint(20, 20));
        QVERIFY(source.selected.isEmpty());

        view.setAlpha(1);
        QCOMPARE(window.grab().toImage().pixelColor(200, 55), QColor(Qt::blue));
        click(&view, QPoint(20, 20));
        QCOMPARE(source.selected, (QList<IndexPath>{ { 0, 0 } }));
    }
};

LISTORO_TEST(TestCollectionView)
#include "tst_collectionview.moc"
