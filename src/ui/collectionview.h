#pragma once

#include "ui/indexpath.h"

#include <QAbstractScrollArea>
#include <QBrush>
#include <QHash>
#include <QList>
#include <QMap>
#include <QPointF>
#include <QRectF>
#include <QSet>
#include <QSizeF>

#include <functional>
#include <memory>
#include <optional>

class CollectionViewCell;
class CollectionViewDataSource;
class CollectionViewDelegate;
class CollectionViewFlowLayout;
class CellReusePool;
class ItemCursor;
class ItemSelection;
class SmoothScroller;
class ViewBlend;
class VisibleCells;

// A virtualised vertical flow of cells. The layout places every item in the content; cells exist
// only for the items whose frames meet visibleBounds(), as children of the viewport at their
// frame less the content offset. A cell whose item leaves that area is hidden and kept in the
// reuse queue of its identifier for the next item that needs one.
//
// Layout is deferred: reloads and invalidations mark the view and a pass runs at the next turn of
// the event loop, or at once when the view is scrolled, resized or asked about its cells.
//
// The scroll bar floats over the right edge of the content, so the content is as wide as the
// view. Wheel and key scrolling are animated; touchpad pixel deltas apply directly.
class CollectionView : public QAbstractScrollArea
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CollectionView)

public:
    using CellFactory = std::function<CollectionViewCell *(QWidget *parent)>;

    // Takes ownership of a layout that has no parent.
    CollectionView(const QRect &frame, CollectionViewFlowLayout *layout, QWidget *parent = nullptr);
    ~CollectionView() override;

    // Neither is owned; the owner outlives the view or clears them.
    CollectionViewDataSource *dataSource() const { return m_dataSource; }
    void setDataSource(CollectionViewDataSource *dataSource);
    CollectionViewDelegate *delegate() const { return m_delegate; }
    void setDelegate(CollectionViewDelegate *delegate);

    CollectionViewFlowLayout *collectionViewLayout() const { return m_layout; }

    template<typename T>
    void registerClass(const QString &identifier)
    {
        registerClass([](QWidget *parent) -> CollectionViewCell * { return new T(parent); },
                      identifier);
    }
    void registerClass(const CellFactory &factory, const QString &identifier);

    // A queued cell of that identifier (preferably the one that last showed indexPath) or a new
    // one; null for an identifier never registered. Meant for the data source: a cell dequeued
    // elsewhere and not displayed goes back to its queue at the next layout pass.
    CollectionViewCell *dequeueReusableCell(const QString &identifier, const IndexPath &indexPath);

    // Counts, sizes and every visible cell are asked for again.
    void reloadData();
    // The visible ones among these items get their cells anew; sizes are asked for again.
    void reloadItems(const QList<IndexPath> &indexPaths);
    // Runs updates, then asks for every size again (and for every count: when a count changed,
    // the visible cells are reloaded too), lays out and calls completion(true).
    void performBatchUpdates(const std::function<void()> &updates,
                             const std::function<void(bool)> &completion);
    // Runs the pending layout pass now.
    void layoutIfNeeded();

    int numberOfSections();
    int numberOfItemsInSection(int section);

    // Ordered by index path.
    QList<CollectionViewCell *> visibleCells();
    QList<IndexPath> indexPathsForVisibleItems();
    CollectionViewCell *cellForItemAtIndexPath(const IndexPath &indexPath);
    std::optional<IndexPath> indexPathForCell(const CollectionViewCell *cell);
    // A point in content coordinates.
    std::optional<IndexPath> indexPathForItemAtPoint(const QPointF &point);

    // The item the keyboard is on (Tab and Shift+Tab move it, Enter opens it), if any.
    std::optional<IndexPath> currentItem() const;
    void setCurrentItem(const std::optional<IndexPath> &indexPath);
    // As a click on the item: the delegate is told it was selected.
    void activateItem(const IndexPath &indexPath);

    QList<IndexPath> indexPathsForSelectedItems() const;
    // Without delegate callbacks.
    void selectItemAtIndexPath(const IndexPath &indexPath);
    void deselectItemAtIndexPath(const IndexPath &indexPath);

    // A vertical flow: the horizontal offset is always 0. Offsets are clamped to the content.
    QPointF contentOffset() const;
    void setContentOffset(const QPointF &offset, bool animated);
    QSizeF contentSize();
    // The content area shown: the content offset and the viewport's size.
    QRectF bounds() const { return m_bounds; }
    // The content area in which cells must exist.
    virtual QRectF visibleBounds() const;

    // Tiled from the content's origin, so a pattern moves with the content. No brush paints
    // the palette's base colour.
    QBrush backgroundBrush() const;
    void setBackgroundBrush(const QBrush &brush);
    // How much of the view's top and bottom bars over it hide: items the keyboard moves to are
    // scrolled clear of them.
    int obscuredTop() const { return m_obscuredTop; }
    void setObscuredTop(int height) { m_obscuredTop = height; }
    int obscuredBottom() const { return m_obscuredBottom; }
    void setObscuredBottom(int height) { m_obscuredBottom = height; }
    // 0 hides the view and lets clicks through, 1 shows it; values between blend it.
    qreal alpha() const;
    void setAlpha(qreal alpha);

protected:
    // The cells that exist at this moment, without running a pending layout pass.
    QList<CollectionViewCell *> currentCells() const;

    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    friend class CollectionViewFlowLayout;

    void setNeedsLayout();
    QSizeF viewportSize() const;
    void syncBounds();
    void loadCountsIfNeeded();
    void updateScrollRange();
    void updateVisibleCells(const QRectF &area);
    // The data source's cell for an item; null when it gives none, or destroyed this view.
    CollectionViewCell *requestCell(const IndexPath &indexPath);
    bool isItemValid(const IndexPath &indexPath);

    int maximumOffset() const;
    void notifyDidScroll();

    CollectionViewFlowLayout *m_layout = nullptr;
    CollectionViewDataSource *m_dataSource = nullptr;
    CollectionViewDelegate *m_delegate = nullptr;

    QList<int> m_itemCounts;
    QRectF m_bounds;
    bool m_needsCounts = true;
    bool m_needsLayout = true;
    bool m_layoutScheduled = false;
    bool m_inLayout = false;
    int m_cellRequestDepth = 0;
    bool m_didScrollPending = false;
    bool m_warnedUnsettled = false;

    SmoothScroller *m_scroller = nullptr;
    CellReusePool *m_cells = nullptr;
    ItemCursor *m_cursor;
    std::unique_ptr<ItemSelection> m_selection;
    std::unique_ptr<VisibleCells> m_visible;

    std::unique_ptr<ViewBlend> m_blend;
    int m_obscuredTop = 0;
    int m_obscuredBottom = 0;
};
