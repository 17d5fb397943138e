#pragma once

#include "ui/indexpath.h"

#include <QList>

#include <optional>

class CollectionView;
class QMouseEvent;

// The items of a collection view the user picked. A click (the left button pressed and released
// on one item) or Enter picks an item and tells the view's delegate, after telling it of the
// items no longer selected.
class ItemSelection final
{
public:
    explicit ItemSelection(CollectionView *view)
        : m_view(view)
    {
    }

    QList<IndexPath> items() const { return m_items; }
    // Without delegate callbacks.
    void select(const IndexPath &indexPath) { m_items = { indexPath }; }
    void deselect(const IndexPath &indexPath) { m_items.removeAll(indexPath); }
    void clear() { m_items.clear(); }

    // As a click on the item. The delegate may destroy the view, and this with it.
    void pick(const IndexPath &indexPath);
    // Mouse events the cells did not take; false for any but the left button.
    bool press(const QMouseEvent *event);
    bool release(const QMouseEvent *event);

private:
    std::optional<IndexPath> itemAt(const QMouseEvent *event) const;

    CollectionView *m_view;
    QList<IndexPath> m_items;
    std::optional<IndexPath> m_pressed;
};
