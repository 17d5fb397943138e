#include "ui/collectionview.h"

#include "ui/cellreusepool.h"
#include "ui/collectionviewcell.h"
#include "ui/collectionviewdatasource.h"
#include "ui/collectionviewdelegate.h"
#include "ui/collectionviewflowlayout.h"
#include "ui/itemcursor.h"
#include "ui/itemselection.h"
#include "ui/smoothscroller.h"
#include "ui/viewblend.h"
#include "ui/visiblecells.h"

#include <QKeyEvent>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

Q_LOGGING_CATEGORY(lcCollectionView, "listoro.ui.collectionview")

namespace {

constexpr int animatedOffsetDuration = 250;
// Passes one layoutIfNeeded() may run while scrolling and invalidation settle.
constexpr int maximumPasses = 8;

} // namespace

CollectionView::CollectionView(const QRect &frame, CollectionViewFlowLayout *layout,
                               QWidget *parent)
    : QAbstractScrollArea(parent)
    , m_layout(layout ? layout : new CollectionViewFlowLayout(this))
    , m_scroller(new SmoothScroller(this))
    , m_cells(new CellReusePool(viewport()))
    , m_cursor(new ItemCursor(this))
    , m_selection(std::make_unique<ItemSelection>(this))
{
    m_visible = std::make_unique<VisibleCells>(
        this, m_cells, [this](const IndexPath &indexPath) { return requestCell(indexPath); },
        [this](CollectionViewCell *cell, const IndexPath &indexPath) {
            m_cursor->markCell(cell, indexPath);
        });
    m_cells->onForget = [this](CollectionViewCell *cell) {
        m_visible->forget(cell);
    };
    if (!m_layout->parent())
        m_layout->setParent(this);
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_blend = std::make_unique<ViewBlend>(this);
    connect(m_scroller, &SmoothScroller::scrollEnded, this, [this] {
        if (m_delegate)
            m_delegate->scrollViewDidEndDragging(this, false);
    });

    m_layout->setCollectionView(this);
    setGeometry(frame);
    m_bounds = QRectF(QPointF(), viewportSize());
}

CollectionView::~CollectionView()
{
    // The cells and controls outlive this body (QWidget deletes them later): nothing they do
    // from now on may reach this object; nor may the focus leaving it as it goes.
    removeEventFilter(m_cursor);
    disconnect(m_scroller, nullptr, this, nullptr);
    m_cells->onForget = nullptr;
    if (m_layout->collectionView() == this)
        m_layout->m_collectionView = nullptr;
}

void CollectionView::setDataSource(CollectionViewDataSource *dataSource)
{
    m_dataSource = dataSource;
    reloadData();
}

void CollectionView::setDelegate(CollectionViewDelegate *delegate)
{
    m_delegate = delegate;
    m_layout->invalidateLayout();
}

void CollectionView::registerClass(const CellFactory &factory, const QString &identifier)
{
    m_cells->registerClass(factory, identifier);
}

CollectionViewCell *CollectionView::dequeueReusableCell(const QString &identifier,
                                                        const IndexPath &indexPath)
{
    CollectionViewCell *cell = m_cells->dequeue(identifier, indexPath);
    if (cell && m_cellRequestDepth == 0)
        setNeedsLayout();
    return cell;
}

void CollectionView::reloadData()
{
    m_needsCounts = true;
    m_visible->reloadAll();
    m_selection->clear();
    m_layout->invalidateLayout();
}

void CollectionView::reloadItems(const QList<IndexPath> &indexPaths)
{
    for (const IndexPath &path : indexPaths)
        m_visible->reload(path);
    m_layout->invalidateLayout();
}

void CollectionView::performBatchUpdates(const std::function<void()> &updates,
                                         const std::function<void(bool)> &completion)
{
    QPointer<CollectionView> guard(this);
    if (updates)
        updates();
    if (!guard)
        return;
    const QList<int> countsBefore = m_itemCounts;
    m_needsCounts = true;
    loadCountsIfNeeded();
    if (m_itemCounts != countsBefore)
        m_visible->reloadAll();
    m_layout->invalidateLayout();
    layoutIfNeeded();
    if (guard && completion)
        completion(true);
}

void CollectionView::setNeedsLayout()
{
    m_needsLayout = true;
    if (m_layoutScheduled || m_inLayout)
        return;
    m_layoutScheduled = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_layoutScheduled = false;
            layoutIfNeeded();
        },
        Qt::QueuedConnection);
}

void CollectionView::layoutIfNeeded()
{
    if (m_inLayout)
        return;
    syncBounds();
    if (!m_needsLayout && !m_cells->hasOutstanding() && !m_didScrollPending)
        return;

    QPointer<CollectionView> guard(this);
    m_inLayout = true;
    int pass = 0;
    for (; guard && m_needsLayout && pass < maximumPasses; ++pass) {
        m_needsLayout = false;
        syncBounds();
        loadCountsIfNeeded();
        m_layout->prepareIfNeeded();
        updateScrollRange(); // a shorter content may move the offset, and so the bounds
        const QRectF area = visibleBounds();
        updateVisibleCells(area);
        // The area may depend on the cells just made (a subclass that follows tall cells).
        if (guard && visibleBounds() != area)
            m_needsLayout = true;
    }
    if (!guard)
        return;
    if (m_needsLayout) {
        if (!m_warnedUnsettled)
            qCWarning(lcCollectionView) << "layout did not settle after" << pass << "passes";
        m_warnedUnsettled = true;
        m_needsLayout = false;
    }
    m_visible->finishPass();
    m_inLayout = false;
    if (m_didScrollPending)
        notifyDidScroll();
}

QSizeF CollectionView::viewportSize() const
{
    // The viewport's geometry is only updated once the view is shown; this is what it will be.
    return QSizeF(contentsRect().marginsRemoved(viewportMargins()).size());
}

void CollectionView::syncBounds()
{
    const QRectF newBounds(QPointF(0, verticalScrollBar()->value()), viewportSize());
    if (newBounds == m_bounds)
        return;
    if (m_layout->shouldInvalidateLayoutForBoundsChange(newBounds))
        m_layout->invalidateLayout();
    m_bounds = newBounds;
    m_needsLayout = true;
}

void CollectionView::loadCountsIfNeeded()
{
    if (!m_needsCounts)
        return;
    m_needsCounts = false; // before asking: the data source may reload from inside
    m_itemCounts.clear();
    if (!m_dataSource)
        return;
    const int sections = std::max(0, m_dataSource->numberOfSectionsInCollectionView(this));
    m_itemCounts.reserve(sections);
    for (int section = 0; section < sections; ++section)
        m_itemCounts.append(
            std::max(0, m_dataSource->collectionViewNumberOfItemsInSection(this, section)));
}

int CollectionView::numberOfSections()
{
    loadCountsIfNeeded();
    return int(m_itemCounts.size());
}

int CollectionView::numberOfItemsInSection(int section)
{
    loadCountsIfNeeded();
    return section >= 0 && section < m_itemCounts.size() ? m_itemCounts.at(section) : 0;
}

bool CollectionView::isItemValid(const IndexPath &indexPath)
{
    return indexPath.item >= 0 && indexPath.item < numberOfItemsInSection(indexPath.section);
}

void CollectionView::updateScrollRange()
{
    const qreal contentHeight = m_layout->collectionViewContentSize().height();
    const int maximum = std::max(0, int(std::ceil(contentHeight - m_bounds.height())));
    QScrollBar *bar = verticalScrollBar();
    bar->setPageStep(std::max(1, int(m_bounds.height())));
    m_scroller->setBarPageStep(bar->pageStep());
    bar->setRange(0, maximum);
    m_scroller->setBarVisible(maximum > 0 && alpha() > 0);
}

void CollectionView::updateVisibleCells(const QRectF &area)
{
    m_visible->update(m_layout->layoutAttributesForElementsInRect(area), m_bounds.topLeft(),
                      m_inLayout);
}

CollectionViewCell *CollectionView::requestCell(const IndexPath &indexPath)
{
    if (!m_dataSource)
        return nullptr;
    ++m_cellRequestDepth;
    QPointer<CollectionView> guard(this);
    CollectionViewCell *cell = m_dataSource->collectionViewCellForItemAtIndexPath(this, indexPath);
    if (!guard)
        return nullptr;
    --m_cellRequestDepth;
    if (!cell) {
        qCWarning(lcCollectionView)
            << "the data source gave no cell for" << indexPath.section << indexPath.item;
    }
    return cell;
}

QList<CollectionViewCell *> CollectionView::currentCells() const
{
    return m_visible->cells();
}

QList<CollectionViewCell *> CollectionView::visibleCells()
{
    layoutIfNeeded();
    return m_visible->cells();
}

QList<IndexPath> CollectionView::indexPathsForVisibleItems()
{
    layoutIfNeeded();
    return m_visible->indexPaths();
}

CollectionViewCell *CollectionView::cellForItemAtIndexPath(const IndexPath &indexPath)
{
    layoutIfNeeded();
    return m_visible->cell(indexPath);
}

std::optional<IndexPath> CollectionView::indexPathForCell(const CollectionViewCell *cell)
{
    layoutIfNeeded();
    return m_visible->indexPath(cell);
}

std::optional<IndexPath> CollectionView::indexPathForItemAtPoint(const QPointF &point)
{
    layoutIfNeeded();
    const QList<LayoutAttributes> hits
        = m_layout->layoutAttributesForElementsInRect(QRectF(point, QSizeF(1, 1)));
    for (const LayoutAttributes &attributes : hits) {
        if (attributes.frame.contains(point))
            return attributes.indexPath;
    }
    return std::nullopt;
}

QList<IndexPath> CollectionView::indexPathsForSelectedItems() const
{
    return m_selection->items();
}

void CollectionView::selectItemAtIndexPath(const IndexPath &indexPath)
{
    if (isItemValid(indexPath))
        m_selection->select(indexPath);
}

void CollectionView::deselectItemAtIndexPath(const IndexPath &indexPath)
{
    m_selection->deselect(indexPath);
}

void CollectionView::activateItem(const IndexPath &indexPath)
{
    m_selection->pick(indexPath);
}

QPointF CollectionView::contentOffset() const
{
    return QPointF(0, verticalScrollBar()->value());
}

void CollectionView::setContentOffset(const QPointF &offset, bool animated)
{
    layoutIfNeeded();
    const qreal y = std::clamp(offset.y(), qreal(0), qreal(maximumOffset()));
    if (animated) {
        m_scroller->animateTo(y, animatedOffsetDuration);
    } else {
        m_scroller->stop();
        verticalScrollBar()->setValue(qRound(y));
    }
}

QSizeF CollectionView::contentSize()
{
    layoutIfNeeded();
    return m_layout->collectionViewContentSize();
}

QRectF CollectionView::visibleBounds() const
{
    return m_bounds;
}

void CollectionView::setBackgroundBrush(const QBrush &brush)
{
    m_blend->setBrush(brush);
}

QBrush CollectionView::backgroundBrush() const
{
    return m_blend->brush();
}

qreal CollectionView::alpha() const
{
    return m_blend->alpha();
}

void CollectionView::setAlpha(qreal alpha)
{
    m_blend->setAlpha(alpha);
    if (m_blend->alpha() <= 0)
        m_scroller->setBarVisible(false);
    else
        updateScrollRange();
}

void CollectionView::scrollContentsBy(int dx, int dy)
{
    // Moves the painted content and the cells with it; the pass then fixes up what changed.
    viewport()->scroll(dx, dy);
    syncBounds();
    m_didScrollPending = true;
    layoutIfNeeded();
}

void CollectionView::notifyDidScroll()
{
    m_didScrollPending = false;
    if (m_delegate)
        m_delegate->scrollViewDidScroll(this);
}

void CollectionView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    m_scroller->placeBar();
    layoutIfNeeded();
}

void CollectionView::paintEvent(QPaintEvent *event)
{
    // Anchored at the content's origin, so a pattern scrolls with the cells.
    m_blend->paint(event, m_bounds.top());
}

int CollectionView::maximumOffset() const
{
    return verticalScrollBar()->maximum();
}

void CollectionView::wheelEvent(QWheelEvent *event)
{
    // Nothing to scroll here: the parent may want it.
    if (m_scroller->wheel(event))
        event->accept();
    else
        event->ignore();
}

void CollectionView::keyPressEvent(QKeyEvent *event)
{
    // The item cursor has had the keys it answers (Tab, Enter).
    if (m_scroller->key(event))
        event->accept();
    else
        QAbstractScrollArea::keyPressEvent(event);
}

std::optional<IndexPath> CollectionView::currentItem() const
{
    return m_cursor->current();
}

void CollectionView::setCurrentItem(const std::optional<IndexPath> &indexPath)
{
    m_cursor->setCurrent(indexPath);
}

void CollectionView::mousePressEvent(QMouseEvent *event)
{
    // Only clicks the cells did not take arrive here.
    if (m_selection->press(event))
        event->accept();
    else
        QAbstractScrollArea::mousePressEvent(event);
}

void CollectionView::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_selection->release(event)) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    event->accept();
}
