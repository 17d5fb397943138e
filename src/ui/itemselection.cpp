#include "ui/itemselection.h"

#include "ui/collectionview.h"
#include "ui/collectionviewdelegate.h"

#include <QMouseEvent>
#include <QPointer>

#include <utility>

void ItemSelection::pick(const IndexPath &indexPath)
{
    QPointer<CollectionView> guard(m_view);
    const QList<IndexPath> previous = std::exchange(m_items, { indexPath });
    for (const IndexPath &path : previous) {
        if (path != indexPath && m_view->delegate())
            m_view->delegate()->didDeselectItemAtIndexPath(m_view, path);
        if (!guard)
            return;
    }
    if (m_view->delegate())
        m_view->delegate()->didSelectItemAtIndexPath(m_view, indexPath);
}

bool ItemSelection::press(const QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return false;
    m_pressed = itemAt(event);
    return true;
}

bool ItemSelection::release(const QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return false;
    const std::optional<IndexPath> pressed = std::exchange(m_pressed, std::nullopt);
    if (pressed && pressed == itemAt(event))
        pick(*pressed);
    return true;
}

std::optional<IndexPath> ItemSelection::itemAt(const QMouseEvent *event) const
{
    return m_view->indexPathForItemAtPoint(event->position() + m_view->bounds().topLeft());
}
