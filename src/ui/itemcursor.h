#pragma once

#include "ui/indexpath.h"

#include <QObject>

#include <optional>

class CollectionView;
class CollectionViewCell;
class QKeyEvent;

// The item the keyboard is on in a collection view. Tab and Shift+Tab step from item to item,
// starting from the first one in sight and leaving the view past either end; Enter opens the
// item as a click does. The item's cell shows an accent frame while the view has the keyboard,
// and the view scrolls to bring the item into sight. It follows the view's keys and focus itself.
class ItemCursor final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ItemCursor)

public:
    explicit ItemCursor(CollectionView *view);

    std::optional<IndexPath> current() const { return m_current; }
    void setCurrent(const std::optional<IndexPath> &indexPath);

    // Puts the cursor on the first item in sight unless it is on an item in sight already; true
    // when it moved.
    bool enterSight();
    // True when the cursor moved; false past either end, where the keyboard leaves the view.
    bool step(bool forward);
    // Marks the cell that shows the current item, and no other, while the view has the keyboard.
    void markCell(CollectionViewCell *cell, const IndexPath &indexPath) const;
    void markVisibleCells() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Enter and Return open the current item; Tab and Shift+Tab step. False for other keys.
    bool key(QKeyEvent *event);
    std::optional<IndexPath> firstInSight() const;
    std::optional<IndexPath> neighbour(const IndexPath &from, bool forward) const;
    void scrollToCurrent();

    CollectionView *m_view;
    std::optional<IndexPath> m_current;
};
