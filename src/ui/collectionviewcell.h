#pragma once

#include "ui/indexpath.h"

#include <QPointer>
#include <QString>
#include <QWidget>

class CollectionView;

// One item's view in a CollectionView. The view creates cells through the factory registered for
// a reuse identifier, places them over their items and, when an item leaves the visible area,
// hides its cell and keeps it for the next item that needs one.
class CollectionViewCell : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CollectionViewCell)

public:
    explicit CollectionViewCell(QWidget *parent = nullptr);
    ~CollectionViewCell() override;

    // The identifier the cell was registered and dequeued under; null for a cell made elsewhere.
    QString reuseIdentifier() const { return m_reuseIdentifier; }

    // Called when the cell goes back to its reuse queue, before it serves another item.
    virtual void prepareForReuse();

    // The height the cell's content needs, which may exceed the item it was given; grids that
    // follow tall cells read it.
    virtual int contentHeight() const;

    // The item the keyboard is on: an accent frame over the cell's content.
    void setMarked(bool marked);
    bool isMarked() const { return m_marker != nullptr; }

private:
    friend class CollectionView;
    friend class CellReusePool;
    friend class VisibleCells;

    QString m_reuseIdentifier;
    QPointer<QWidget> m_marker;
    // The item the cell showed last; a reload hands the same item back to the same cell.
    IndexPath m_lastIndexPath{ -1, -1 };
};
