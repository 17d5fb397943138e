#include "ui/collectionview.h"

#include "ui/collectionviewcell.h"
#include "ui/collectionviewdatasource.h"
#include "ui/collectionviewdelegate.h"
#include "ui/collectionviewflowlayout.h"

#include <QApplication>
#include <QGraphicsOpacityEffect>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QVariantAnimation>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

Q_LOGGING_CATEGORY(lcCollectionView, "listoro.ui.collectionview")

namespace {

constexpr int scrollStep = 40;
constexpr int wheelScrollDuration = 150;
constexpr int keyScrollDuration = 200;
constexpr int animatedOffsetDuration = 250;
// Quiet time after the last wheel notch or key press that ends a user's scroll.
constexpr int dragEndDelay = 150;
// Passes one layoutIfNeeded() may run while scrolling and invalidation settle.
constexpr int maximumPasses = 8;

} // namespace

CollectionView::CollectionView(const QRect &frame, CollectionViewFlowLayout *layout,
                               QWidget *parent)
    : QAbstractScrollArea(parent)
    , m_layout(layout ? layout : new CollectionViewFlowLayout(this))
    , m_scrollBar(new QScrollBar(Qt::Vertical, this))
    , m_scrollAnimation(new QVariantAnimation(this))
    , m_dragEndTimer(new QTimer(this))
{
    if (!m_layout->parent())
        m_layout->setParent(this);
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalScrollBar()->setSingleStep(scrollStep);
    viewport()->setAutoFillBackground(false);
    updateViewportOpacity();

    // The area's own (hidden) scroll bar holds the offset; this one floats over the content
    // and mirrors it.
    QScrollBar *offsetBar = verticalScrollBar();
    m_scrollBar->setSingleStep(scrollStep);
    m_scrollBar->hide();
    m_scrollBar->installEventFilter(this);
    connect(offsetBar, &QScrollBar::rangeChanged, m_scrollBar, &QScrollBar::setRange);
    connect(offsetBar, &QScrollBar::valueChanged, m_scrollBar, &QScrollBar::setValue);
    connect(m_scrollBar, &QScrollBar::valueChanged, offsetBar, &QScrollBar::setValue);
    connect(m_scrollBar, &QScrollBar::sliderPressed, this, [this] {
        stopScrollAnimation();
        m_dragEndTimer->stop();
        m_userScrolling = true;
    });
    connect(m_scrollBar, &QScrollBar::sliderReleased, this, &CollectionView::endDraggingIfIdle);
    connect(m_scrollBar, &QScrollBar::actionTriggered, this, [this](int action) {
        if (action != QAbstractSlider::SliderMove)
            beginUserScroll();
    });

    m_scrollAnimation->setEasingCurve(QEasingCurve::OutCubic);
    connect(m_scrollAnimation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant &y) { verticalScrollBar()->setValue(qRound(y.toReal())); });
    connect(m_scrollAnimation, &QVariantAnimation::finished, this,
            &CollectionView::endDraggingIfIdle);
    m_dragEndTimer->setSingleShot(true);
    m_dragEndTimer->setInterval(dragEndDelay);
    connect(m_dragEndTimer, &QTimer::timeout, this, &CollectionView::endDraggingIfIdle);

    m_layout->setCollectionView(this);
    setGeometry(frame);
    m_bounds = QRectF(QPointF(), viewportSize());
}

CollectionView::~CollectionView()
{
    // The cells and controls outlive this body (QWidget deletes them later): nothing they do
    // from now on may reach this object.
    m_scrollAnimation->stop();
    m_dragEndTimer->stop();
    disconnect(m_scrollBar, nullptr, this, nullptr);
    for (CollectionViewCell *cell : std::as_const(m_knownCells))
        disconnect(cell, nullptr, this, nullptr);
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

void CollectionView::registerClass(CellFactory factory, const QString &identifier)
{
    m_factories.insert(identifier, std::move(factory));
}

CollectionViewCell *CollectionView::dequeueReusableCell(const QString &identifier,
                                                        const IndexPath &indexPath)
{
    const auto factory = m_factories.constFind(identifier);
    if (factory == m_factories.cend() || !*factory) {
        qCWarning(lcCollectionView) << "no cell class registered for" << identifier;
        return nullptr;
    }
    QList<CollectionViewCell *> &queue = m_reuseQueues[identifier];
    CollectionViewCell *cell = nullptr;
    const auto own = std::find_if(queue.begin(), queue.end(), [&](CollectionViewCell *c) {
        return c->m_lastIndexPath == indexPath;
    });
    if (own != queue.end()) {
        cell = *own;
        queue.erase(own);
    } else if (!queue.isEmpty()) {
        cell = queue.takeFirst(); // the longest gone, least likely to be scrolled back to
    } else {
        cell = (*factory)(viewport());
        if (!cell) {
            qCWarning(lcCollectionView) << "the factory for" << identifier << "made no cell";
            return nullptr;
        }
        cell->m_reuseIdentifier = identifier;
        adoptCell(cell);
    }
    m_outstandingCells.insert(cell);
    if (m_cellRequestDepth == 0)
        setNeedsLayout();
    return cell;
}

void CollectionView::reloadData()
{
    m_needsCounts = true;
    m_reloadAll = true;
    m_selection.clear();
    m_layout->invalidateLayout();
}

void CollectionView::reloadItems(const QList<IndexPath> &indexPaths)
{
    for (const IndexPath &path : indexPaths) {
        if (m_visibleCells.contains(path))
            m_reloadPaths.insert(path);
    }
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
        m_reloadAll = true;
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
    if (!m_needsLayout && m_outstandingCells.isEmpty() && !m_didScrollPending)
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
    finishPass();
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
    m_scrollBar->setPageStep(bar->pageStep());
    bar->setRange(0, maximum);
    m_scrollBar->setVisible(maximum > 0 && m_alpha > 0);
}

void CollectionView::updateVisibleCells(const QRectF &area)
{
    const QList<LayoutAttributes> wanted = m_layout->layoutAttributesForElementsInRect(area);
    QSet<IndexPath> wantedPaths;
    wantedPaths.reserve(wanted.size());
    for (const LayoutAttributes &attributes : wanted)
        wantedPaths.insert(attributes.indexPath);

    // Leaving and reloaded cells go to their queues first, so the items arriving can reuse them.
    for (auto it = m_visibleCells.begin(); it != m_visibleCells.end();) {
        if (m_reloadAll || m_reloadPaths.contains(it.key()) || !wantedPaths.contains(it.key())) {
            CollectionViewCell *cell = it.value();
            it = m_visibleCells.erase(it);
            m_visibleIndexPaths.remove(cell);
            enqueueCell(cell);
        } else {
            ++it;
        }
    }
    m_reloadAll = false;
    m_reloadPaths.clear();

    QPointer<CollectionView> guard(this);
    for (const LayoutAttributes &attributes : wanted) {
        CollectionViewCell *cell = m_visibleCells.value(attributes.indexPath);
        if (!cell) {
            cell = requestCell(attributes.indexPath);
            if (!guard)
                return;
            if (!cell)
                continue;
        }
        placeCell(cell, attributes.frame);
    }
}

CollectionViewCell *CollectionView::requestCell(const IndexPath &indexPath)
{
    if (!m_dataSource)
        return nullptr;
    ++m_cellRequestDepth;
    QPointer<CollectionViewCell> cell
        = m_dataSource->collectionViewCellForItemAtIndexPath(this, indexPath);
    --m_cellRequestDepth;
    if (!cell) {
        qCWarning(lcCollectionView)
            << "the data source gave no cell for" << indexPath.section << indexPath.item;
        return nullptr;
    }
    adoptCell(cell);
    m_outstandingCells.remove(cell);
    for (QList<CollectionViewCell *> &queue : m_reuseQueues)
        queue.removeOne(cell);
    // A cell handed out twice moves to the item that asked last.
    if (const auto previous = m_visibleIndexPaths.constFind(cell);
        previous != m_visibleIndexPaths.cend()) {
        m_visibleCells.remove(*previous);
    }
    m_visibleCells.insert(indexPath, cell);
    m_visibleIndexPaths.insert(cell, indexPath);
    cell->m_lastIndexPath = indexPath;
    return cell;
}

void CollectionView::adoptCell(CollectionViewCell *cell)
{
    if (cell->parentWidget() != viewport())
        cell->setParent(viewport()); // hidden until placed
    if (m_knownCells.contains(cell))
        return;
    m_knownCells.insert(cell);
    connect(cell, &QObject::destroyed, this, [this, cell] { forgetCell(cell); });
    // Explicitly hidden, so showing the view does not show a cell that was never placed.
    cell->hide();
}

void CollectionView::forgetCell(CollectionViewCell *cell)
{
    m_knownCells.remove(cell);
    m_outstandingCells.remove(cell);
    m_cellsToHide.removeAll(cell);
    for (QList<CollectionViewCell *> &queue : m_reuseQueues)
        queue.removeOne(cell);
    if (const auto path = m_visibleIndexPaths.constFind(cell); path != m_visibleIndexPaths.cend()) {
        m_visibleCells.remove(*path);
        m_visibleIndexPaths.erase(path);
    }
}

void CollectionView::enqueueCell(CollectionViewCell *cell)
{
    cell->prepareForReuse();
    // Cells made outside dequeueReusableCell() cannot be dequeued; they are only hidden.
    if (!cell->m_reuseIdentifier.isNull())
        m_reuseQueues[cell->m_reuseIdentifier].append(cell);
    // Hidden at the end of the pass unless reused, so reloading a cell does not flicker.
    if (m_inLayout)
        m_cellsToHide.append(cell);
    else
        cell->hide();
}

void CollectionView::placeCell(CollectionViewCell *cell, const QRectF &frame)
{
    const QPointF offset = m_bounds.topLeft();
    const int left = qRound(frame.left() - offset.x());
    const int top = qRound(frame.top() - offset.y());
    const QRect geometry(left, top, qRound(frame.right() - offset.x()) - left,
                         qRound(frame.bottom() - offset.y()) - top);
    if (cell->geometry() != geometry)
        cell->setGeometry(geometry);
    if (cell->isHidden())
        cell->show();
}

void CollectionView::finishPass()
{
    // Cells dequeued but never displayed (a data source that asked twice, or a caller outside
    // the data source) go back to their queues.
    const QSet<CollectionViewCell *> outstanding = std::exchange(m_outstandingCells, {});
    for (CollectionViewCell *cell : outstanding) {
        if (cell->parentWidget() == viewport() && !m_visibleIndexPaths.contains(cell)) {
            bool queued = false;
            for (const QList<CollectionViewCell *> &queue : std::as_const(m_reuseQueues))
                queued = queued || queue.contains(cell);
            if (!queued)
                enqueueCell(cell);
        }
    }
    for (CollectionViewCell *cell : std::exchange(m_cellsToHide, {})) {
        if (!m_visibleIndexPaths.contains(cell) && cell->parentWidget() == viewport())
            cell->hide();
    }
}

QList<CollectionViewCell *> CollectionView::visibleCells()
{
    layoutIfNeeded();
    return m_visibleCells.values();
}

QList<IndexPath> CollectionView::indexPathsForVisibleItems()
{
    layoutIfNeeded();
    return m_visibleCells.keys();
}

CollectionViewCell *CollectionView::cellForItemAtIndexPath(const IndexPath &indexPath)
{
    layoutIfNeeded();
    return m_visibleCells.value(indexPath);
}

std::optional<IndexPath> CollectionView::indexPathForCell(const CollectionViewCell *cell)
{
    layoutIfNeeded();
    if (const auto path = m_visibleIndexPaths.constFind(cell); path != m_visibleIndexPaths.cend())
        return *path;
    return std::nullopt;
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
    return m_selection;
}

void CollectionView::selectItemAtIndexPath(const IndexPath &indexPath)
{
    if (isItemValid(indexPath))
        m_selection = { indexPath };
}

void CollectionView::deselectItemAtIndexPath(const IndexPath &indexPath)
{
    m_selection.removeAll(indexPath);
}

void CollectionView::selectItemByUser(const IndexPath &indexPath)
{
    QPointer<CollectionView> guard(this);
    const QList<IndexPath> previous = std::exchange(m_selection, { indexPath });
    for (const IndexPath &path : previous) {
        if (path != indexPath && m_delegate)
            m_delegate->didDeselectItemAtIndexPath(this, path);
        if (!guard)
            return;
    }
    if (m_delegate)
        m_delegate->didSelectItemAtIndexPath(this, indexPath);
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
        animateOffsetTo(y, animatedOffsetDuration);
    } else {
        stopScrollAnimation();
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
    m_backgroundBrush = brush;
    updateViewportOpacity();
    viewport()->update();
}

void CollectionView::updateViewportOpacity()
{
    // An opaque viewport hides what lies under the view, even while the view is blended.
    const QBrush painted = m_backgroundBrush.style() == Qt::NoBrush
        ? palette().brush(QPalette::Base)
        : m_backgroundBrush;
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent, m_alpha >= 1 && painted.isOpaque());
}

void CollectionView::setAlpha(qreal alpha)
{
    m_alpha = std::clamp(alpha, qreal(0), qreal(1));
    // Fully transparent: draw nothing at all. An opacity effect at zero still takes part in
    // the window's composition, which shows black where an embedded browser lives.
    viewport()->setVisible(m_alpha > 0);
    if (m_alpha <= 0)
        m_scrollBar->hide();
    else
        updateScrollRange();
    if (m_alpha >= 1 || m_alpha <= 0) {
        setGraphicsEffect(nullptr);
    } else {
        auto *effect = qobject_cast<QGraphicsOpacityEffect *>(graphicsEffect());
        if (!effect) {
            effect = new QGraphicsOpacityEffect(this);
            setGraphicsEffect(effect);
        }
        effect->setOpacity(m_alpha);
    }
    setAttribute(Qt::WA_TransparentForMouseEvents, m_alpha <= 0);
    updateViewportOpacity();
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
    positionScrollBar();
    layoutIfNeeded();
}

void CollectionView::positionScrollBar()
{
    const QRect area = viewport()->geometry();
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_scrollBar);
    m_scrollBar->setGeometry(area.right() + 1 - extent, area.top(), extent, area.height());
    m_scrollBar->raise();
}

void CollectionView::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    QBrush brush = m_backgroundBrush.style() == Qt::NoBrush ? palette().brush(QPalette::Base)
                                                            : m_backgroundBrush;
    // Anchored at the content's origin, so a pattern scrolls with the cells.
    brush.setTransform(brush.transform() * QTransform::fromTranslate(0, -m_bounds.top()));
    painter.fillRect(event->rect(), brush);
}

int CollectionView::maximumOffset() const
{
    return verticalScrollBar()->maximum();
}

void CollectionView::wheelEvent(QWheelEvent *event)
{
    const QPoint pixels = event->pixelDelta();
    const QPoint degrees = event->angleDelta();
    if (maximumOffset() <= 0 || (pixels.y() == 0 && degrees.y() == 0)) {
        event->ignore(); // nothing to scroll here: the parent may want it
        return;
    }
    if (!pixels.isNull()) {
        stopScrollAnimation();
        verticalScrollBar()->setValue(verticalScrollBar()->value() - pixels.y());
        beginUserScroll();
    } else {
        const qreal notches = degrees.y() / 120.0;
        scrollByUser(-notches * QApplication::wheelScrollLines()
                         * verticalScrollBar()->singleStep(),
                     wheelScrollDuration);
    }
    event->accept();
}

void CollectionView::keyPressEvent(QKeyEvent *event)
{
    const int step = verticalScrollBar()->singleStep();
    const int page = std::max(step, int(m_bounds.height()) - step);
    switch (event->key()) {
    case Qt::Key_Up:
        scrollByUser(-step, keyScrollDuration);
        break;
    case Qt::Key_Down:
        scrollByUser(step, keyScrollDuration);
        break;
    case Qt::Key_PageUp:
        scrollByUser(-page, keyScrollDuration);
        break;
    case Qt::Key_PageDown:
        scrollByUser(page, keyScrollDuration);
        break;
    case Qt::Key_Home:
        animateOffsetTo(0, keyScrollDuration);
        beginUserScroll();
        break;
    case Qt::Key_End:
        animateOffsetTo(maximumOffset(), keyScrollDuration);
        beginUserScroll();
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    event->accept();
}

void CollectionView::scrollByUser(qreal delta, int duration)
{
    // Notches arriving while the last one still animates add to its target.
    const bool running = m_scrollAnimation->state() == QAbstractAnimation::Running;
    const qreal from = running ? m_scrollTarget : verticalScrollBar()->value();
    animateOffsetTo(std::clamp(from + delta, qreal(0), qreal(maximumOffset())), duration);
    beginUserScroll();
}

void CollectionView::animateOffsetTo(qreal y, int duration)
{
    m_scrollAnimation->stop();
    m_scrollTarget = y;
    const int from = verticalScrollBar()->value();
    if (qRound(y) == from)
        return;
    m_scrollAnimation->setDuration(duration);
    m_scrollAnimation->setStartValue(qreal(from));
    m_scrollAnimation->setEndValue(y);
    m_scrollAnimation->start();
}

void CollectionView::stopScrollAnimation()
{
    m_scrollAnimation->stop();
}

void CollectionView::beginUserScroll()
{
    m_userScrolling = true;
    m_dragEndTimer->start();
}

void CollectionView::endDraggingIfIdle()
{
    if (!m_userScrolling || m_dragEndTimer->isActive() || m_scrollBar->isSliderDown()
        || m_scrollAnimation->state() == QAbstractAnimation::Running)
        return;
    m_userScrolling = false;
    if (m_delegate)
        m_delegate->scrollViewDidEndDragging(this, false);
}

void CollectionView::mousePressEvent(QMouseEvent *event)
{
    // Only clicks the cells did not take arrive here.
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    m_pressedIndexPath = indexPathForItemAtPoint(event->position() + m_bounds.topLeft());
    event->accept();
}

void CollectionView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    const std::optional<IndexPath> pressed = std::exchange(m_pressedIndexPath, std::nullopt);
    event->accept();
    if (pressed && pressed == indexPathForItemAtPoint(event->position() + m_bounds.topLeft()))
        selectItemByUser(*pressed);
}

bool CollectionView::eventFilter(QObject *watched, QEvent *event)
{
    // Wheel over the floating scroll bar scrolls as smoothly as over the content.
    if (watched == m_scrollBar && event->type() == QEvent::Wheel) {
        wheelEvent(static_cast<QWheelEvent *>(event));
        return true;
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}
