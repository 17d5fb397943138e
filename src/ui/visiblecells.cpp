#include "ui/visiblecells.h"

#include "ui/cellreusepool.h"
#include "ui/collectionviewcell.h"

VisibleCells::VisibleCells(QObject *owner, CellReusePool *pool, Request request, Placed placed)
    : m_owner(owner)
    , m_pool(pool)
    , m_request(std::move(request))
    , m_placed(std::move(placed))
{
}

void VisibleCells::reload(const IndexPath &indexPath)
{
    if (m_cells.contains(indexPath))
        m_reload.insert(indexPath);
}

bool VisibleCells::update(const QList<LayoutAttributes> &wanted, QPointF offset, bool inPass)
{
    QSet<IndexPath> wantedPaths;
    wantedPaths.reserve(wanted.size());
    for (const LayoutAttributes &attributes : wanted)
        wantedPaths.insert(attributes.indexPath);

    // Leaving and reloaded cells go to their queues first, so the items arriving can reuse them.
    for (auto it = m_cells.begin(); it != m_cells.end();) {
        if (m_reloadAll || m_reload.contains(it.key()) || !wantedPaths.contains(it.key())) {
            CollectionViewCell *cell = it.value();
            it = m_cells.erase(it);
            m_paths.remove(cell);
            cell->setMarked(false);
            m_pool->enqueue(cell, inPass);
        } else {
            ++it;
        }
    }
    m_reloadAll = false;
    m_reload.clear();

    const QPointer<QObject> owner = m_owner;
    for (const LayoutAttributes &attributes : wanted) {
        CollectionViewCell *cell = m_cells.value(attributes.indexPath);
        if (!cell) {
            cell = request(attributes.indexPath);
            if (!owner)
                return false;
            if (!cell)
                continue;
        }
        place(cell, attributes.frame, offset);
    }
    return true;
}

CollectionViewCell *VisibleCells::request(const IndexPath &indexPath)
{
    const QPointer<QObject> owner = m_owner;
    QPointer<CollectionViewCell> cell = m_request(indexPath);
    if (!owner || !cell)
        return nullptr;
    m_pool->take(cell);
    // A cell handed out twice moves to the item that asked last.
    if (const auto previous = m_paths.constFind(cell); previous != m_paths.cend())
        m_cells.remove(*previous);
    m_cells.insert(indexPath, cell);
    m_paths.insert(cell, indexPath);
    cell->m_lastIndexPath = indexPath;
    return cell;
}

void VisibleCells::place(CollectionViewCell *cell, const QRectF &frame, QPointF offset)
{
    const int left = qRound(frame.left() - offset.x());
    const int top = qRound(frame.top() - offset.y());
    const QRect geometry(left, top, qRound(frame.right() - offset.x()) - left,
                         qRound(frame.bottom() - offset.y()) - top);
    if (cell->geometry() != geometry)
        cell->setGeometry(geometry);
    if (cell->isHidden())
        cell->show();
    m_placed(cell, m_paths.value(cell));
}

void VisibleCells::finishPass()
{
    m_pool->finishPass([this](const CollectionViewCell *cell) { return m_paths.contains(cell); });
}

void VisibleCells::forget(CollectionViewCell *cell)
{
    if (const auto path = m_paths.constFind(cell); path != m_paths.cend()) {
        m_cells.remove(*path);
        m_paths.erase(path);
    }
}

std::optional<IndexPath> VisibleCells::indexPath(const CollectionViewCell *cell) const
{
    if (const auto path = m_paths.constFind(cell); path != m_paths.cend())
        return *path;
    return std::nullopt;
}
