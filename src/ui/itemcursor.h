#pragma once

#include "ui/indexpath.h"

#include <optional>

class CollectionView;
class CollectionViewCell;
class QKeyEvent;

// The item the keyboard is on in a collection view. Tab and Shift+Tab step from item to item,
// starting from the first one in sight and leaving the view past either end; Enter opens the
// item as a click does. The item's cell shows an accent frame while the view has the keyboard,
// and the view scrolls to bring the item into sight.
class ItemCursor final
{
public:
    explicit ItemCursor(CollectionView *view);

    std::optional<IndexPath> current() const { return m_current; }
    void setCurrent(const std::optional<IndexPath> &indexPath);

    // Puts the cursor on the first item in sight unless it is on an item in sight already; true
    // when it moved.
    bool enterSight();
    // True when the cursor moved; false past either end, where the keyboard leaves the view.
    bool step(bool forward);
    // Enter and Return open the current item; other keys are left to the caller.
    bool key(QKeyEvent *event);
    // Marks the cell that shows the current item, and no other, while the view has the keyboard.
    void markCell(CollectionViewCell *cell, const IndexPath &indexPath) const;
    void markVisibleCells() const;

private:
    std::optional<IndexPath> firstInSight() const;
    std::optional<IndexPath> neighbour(const IndexPath &from, bool forward) const;
    void scrollToCurrent();

    CollectionView *m_view;
    std::optional<IndexPath> m_current;
};
