#pragma once

#include "ui/indexpath.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

#include <functional>

class CollectionViewCell;
class QWidget;

// The cells of a collection view that are not showing an item: made by the factory registered
// for their reuse identifier, kept in that identifier's queue for the next item that needs one,
// and hidden once a layout pass has not reused them. It follows every cell it made or was given
// and forgets one that is destroyed.
class CellReusePool final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CellReusePool)

public:
    using CellFactory = std::function<CollectionViewCell *(QWidget *parent)>;

    // Cells live in viewport.
    explicit CellReusePool(QWidget *viewport);
    ~CellReusePool() override;

    void registerClass(const CellFactory &factory, const QString &identifier);
    // A queued cell (preferably the one that last showed indexPath) or a new one; null for an
    // identifier never registered. It stays outstanding until it is displayed or the pass ends.
    CollectionViewCell *dequeue(const QString &identifier, const IndexPath &indexPath);
    bool hasOutstanding() const { return !m_outstanding.isEmpty(); }

    // A cell about to show an item: followed from now on, no longer queued or outstanding.
    void take(CollectionViewCell *cell);
    // A cell no longer showing an item. Within a pass it is hidden at the pass's end, unless an
    // item took it again; otherwise at once.
    void enqueue(CollectionViewCell *cell, bool inPass);
    // At the end of a pass: outstanding cells that no item took go back to their queues, and
    // queued cells are hidden. isShown tells which cells an item took.
    void finishPass(const std::function<bool(const CollectionViewCell *)> &isShown);

    // Called when a followed cell is destroyed.
    std::function<void(CollectionViewCell *)> onForget;

private:
    void adopt(CollectionViewCell *cell);
    void forget(CollectionViewCell *cell);
    bool isQueued(const CollectionViewCell *cell) const;

    QWidget *m_viewport;
    QHash<QString, CellFactory> m_factories;
    QHash<QString, QList<CollectionViewCell *>> m_queues;
    QSet<CollectionViewCell *> m_known; // every cell whose destruction we follow
    QSet<CollectionViewCell *> m_outstanding; // dequeued, not yet displayed
    QList<CollectionViewCell *> m_toHide; // enqueued during a pass
};
