#pragma once

#include "ui/collectionviewflowlayout.h"
#include "ui/indexpath.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QSet>

#include <functional>
#include <optional>

class CellReusePool;
class CollectionViewCell;

// Which cell shows which item of a collection view: cells are asked for as items come into the
// area that must have them, placed at their frames, and given back to the reuse pool as their
// items leave it or are reloaded.
class VisibleCells final
{
public:
    // Asks the data source for the cell of an item; null when it gives none.
    using Request = std::function<CollectionViewCell *(const IndexPath &indexPath)>;
    // A cell was placed for an item (the keyboard's mark follows it).
    using Placed = std::function<void(CollectionViewCell *cell, const IndexPath &indexPath)>;

    // owner: the view whose data source may destroy it, and this with it, while asked.
    VisibleCells(QObject *owner, CellReusePool *pool, Request request, Placed placed);

    void reloadAll() { m_reloadAll = true; }
    // A shown item's cell is asked for anew at the next update.
    void reload(const IndexPath &indexPath);

    // Shows the wanted items at their frames less offset; inPass: within a layout pass, whose
    // end hides the cells given back. False when the owner went while a cell was asked for:
    // nothing of this may be touched then.
    bool update(const QList<LayoutAttributes> &wanted, QPointF offset, bool inPass);
    // The end of a layout pass: cells dequeued and not shown go back to the pool.
    void finishPass();
    // A cell destroyed: it shows nothing any more.
    void forget(CollectionViewCell *cell);

    CollectionViewCell *cell(const IndexPath &indexPath) const { return m_cells.value(indexPath); }
    std::optional<IndexPath> indexPath(const CollectionViewCell *cell) const;
    // Ordered by index path.
    QList<CollectionViewCell *> cells() const { return m_cells.values(); }
    QList<IndexPath> indexPaths() const { return m_cells.keys(); }

private:
    CollectionViewCell *request(const IndexPath &indexPath);
    void place(CollectionViewCell *cell, const QRectF &frame, QPointF offset);

    QPointer<QObject> m_owner;
    CellReusePool *m_pool;
    Request m_request;
    Placed m_placed;
    QMap<IndexPath, CollectionViewCell *> m_cells;
    QHash<const CollectionViewCell *, IndexPath> m_paths;
    bool m_reloadAll = false;
    QSet<IndexPath> m_reload;
};
