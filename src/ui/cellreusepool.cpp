#include "ui/cellreusepool.h"

#include "ui/collectionviewcell.h"

#include <QLoggingCategory>
#include <QWidget>

#include <algorithm>

Q_LOGGING_CATEGORY(lcCellReusePool, "listoro.ui.cellreusepool")

CellReusePool::CellReusePool(QWidget *viewport)
    : QObject(viewport)
    , m_viewport(viewport)
{
}

CellReusePool::~CellReusePool()
{
    // The cells outlive this object (their widget parent deletes them later).
    for (CollectionViewCell *cell : std::as_const(m_known))
        disconnect(cell, nullptr, this, nullptr);
}

void CellReusePool::registerClass(const CellFactory &factory, const QString &identifier)
{
    m_factories.insert(identifier, factory);
}

CollectionViewCell *CellReusePool::dequeue(const QString &identifier, const IndexPath &indexPath)
{
    const auto factory = m_factories.constFind(identifier);
    if (factory == m_factories.cend() || !*factory) {
        qCWarning(lcCellReusePool) << "no cell class registered for" << identifier;
        return nullptr;
    }
    QList<CollectionViewCell *> &queue = m_queues[identifier];
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
        cell = (*factory)(m_viewport);
        if (!cell) {
            qCWarning(lcCellReusePool) << "the factory for" << identifier << "made no cell";
            return nullptr;
        }
        cell->m_reuseIdentifier = identifier;
        adopt(cell);
    }
    m_outstanding.insert(cell);
    return cell;
}

void CellReusePool::take(CollectionViewCell *cell)
{
    adopt(cell);
    m_outstanding.remove(cell);
    for (QList<CollectionViewCell *> &queue : m_queues)
        queue.removeOne(cell);
}

void CellReusePool::enqueue(CollectionViewCell *cell, bool inPass)
{
    cell->prepareForReuse();
    // Cells made outside dequeue() cannot be dequeued; they are only hidden.
    if (!cell->m_reuseIdentifier.isNull())
        m_queues[cell->m_reuseIdentifier].append(cell);
    // Hidden at the end of the pass unless reused, so reloading a cell does not flicker.
    if (inPass)
        m_toHide.append(cell);
    else
        cell->hide();
}

void CellReusePool::finishPass(const std::function<bool(const CollectionViewCell *)> &isShown)
{
    // Cells dequeued but never displayed (a data source that asked twice, or a caller outside
    // the data source) go back to their queues.
    const QSet<CollectionViewCell *> outstanding = std::exchange(m_outstanding, {});
    for (CollectionViewCell *cell : outstanding) {
        if (cell->parentWidget() == m_viewport && !isShown(cell) && !isQueued(cell))
            enqueue(cell, true);
    }
    for (CollectionViewCell *cell : std::exchange(m_toHide, {})) {
        if (!isShown(cell) && cell->parentWidget() == m_viewport)
            cell->hide();
    }
}

void CellReusePool::adopt(CollectionViewCell *cell)
{
    if (cell->parentWidget() != m_viewport)
        cell->setParent(m_viewport); // hidden until placed
    if (m_known.contains(cell))
        return;
    m_known.insert(cell);
    connect(cell, &QObject::destroyed, this, [this, cell] { forget(cell); });
    // Explicitly hidden, so showing the view does not show a cell that was never placed.
    cell->hide();
}

void CellReusePool::forget(CollectionViewCell *cell)
{
    m_known.remove(cell);
    m_outstanding.remove(cell);
    m_toHide.removeAll(cell);
    for (QList<CollectionViewCell *> &queue : m_queues)
        queue.removeOne(cell);
    if (onForget)
        onForget(cell);
}

bool CellReusePool::isQueued(const CollectionViewCell *cell) const
{
    return std::any_of(m_queues.cbegin(), m_queues.cend(),
                       [cell](const QList<CollectionViewCell *> &queue) {
                           return queue.contains(const_cast<CollectionViewCell *>(cell));
                       });
}
