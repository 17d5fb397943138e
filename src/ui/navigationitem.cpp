#include "ui/navigationitem.h"

#include "ui/barbuttonitem.h"

#include <utility>

NavigationItem::NavigationItem(QObject *parent)
    : QObject(parent)
{
}

void NavigationItem::setTitle(const QString &title)
{
    if (title == m_title && title.isNull() == m_title.isNull())
        return;
    m_title = title;
    emit changed();
}

void NavigationItem::setBackBarButtonItem(BarButtonItem *item)
{
    if (item == m_backBarButtonItem)
        return;
    BarButtonItem *old = m_backBarButtonItem;
    m_backBarButtonItem = item;
    if (old) {
        disconnect(old, &BarButtonItem::changed, this, &NavigationItem::changed);
        release(old);
    }
    if (item) {
        adopt(item);
        connect(item, &BarButtonItem::changed, this, &NavigationItem::changed);
    }
    emit changed();
}

BarButtonItem *NavigationItem::rightBarButtonItem() const
{
    const QList<BarButtonItem *> items = rightBarButtonItems();
    return items.isEmpty() ? nullptr : items.first();
}

void NavigationItem::setRightBarButtonItem(BarButtonItem *item)
{
    setRightBarButtonItems(item ? QList<BarButtonItem *>{ item } : QList<BarButtonItem *>{});
}

QList<BarButtonItem *> NavigationItem::rightBarButtonItems() const
{
    QList<BarButtonItem *> items;
    for (const QPointer<BarButtonItem> &item : m_rightBarButtonItems) {
        if (item)
            items.append(item);
    }
    return items;
}

void NavigationItem::setRightBarButtonItems(const QList<BarButtonItem *> &items)
{
    const QList<BarButtonItem *> old = rightBarButtonItems();
    QList<BarButtonItem *> added;
    for (BarButtonItem *item : items) {
        if (item && !added.contains(item))
            added.append(item);
    }
    if (old == added)
        return;
    m_rightBarButtonItems.clear();
    for (BarButtonItem *item : added) {
        adopt(item);
        m_rightBarButtonItems.append(item);
    }
    for (BarButtonItem *item : old)
        release(item);
    emit changed();
}

void NavigationItem::adopt(BarButtonItem *item)
{
    if (item->parent() != this)
        item->setParent(this);
    // An item deleted by someone else simply leaves the bar.
    connect(item, &QObject::destroyed, this, &NavigationItem::changed, Qt::UniqueConnection);
}

void NavigationItem::release(BarButtonItem *item)
{
    if (isInstalled(item))
        return;
    disconnect(item, &QObject::destroyed, this, &NavigationItem::changed);
    // Deleted only after the current event, so an item taken out and put back at once survives.
    if (m_releasedItems.isEmpty())
        QMetaObject::invokeMethod(this, &NavigationItem::deleteReleasedItems, Qt::QueuedConnection);
    m_releasedItems.append(item);
}

bool NavigationItem::isInstalled(const BarButtonItem *item) const
{
    if (item == m_backBarButtonItem)
        return true;
    for (const QPointer<BarButtonItem> &installed : m_rightBarButtonItems) {
        if (installed == item)
            return true;
    }
    return false;
}

void NavigationItem::deleteReleasedItems()
{
    const QList<QPointer<BarButtonItem>> released = std::exchange(m_releasedItems, {});
    for (const QPointer<BarButtonItem> &item : released) {
        if (item && item->parent() == this && !isInstalled(item))
            item->deleteLater();
    }
}
