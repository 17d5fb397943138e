#pragma once

#include "ui/barbuttonitem.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

// What the navigation bar shows for one screen: its title, the right-hand items, and the item
// whose title the back button takes on the screen pushed above it. The navigation item holds
// the items it shows: installing one makes it its child, and an item it no longer shows is
// deleted later unless it was handed to another owner meanwhile.
class NavigationItem final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NavigationItem)

public:
    explicit NavigationItem(QObject *parent = nullptr);

    QString title() const { return m_title; }
    void setTitle(const QString &title);

    BarButtonItem *backBarButtonItem() const { return m_backBarButtonItem; }
    void setBackBarButtonItem(BarButtonItem *item);

    // The first of the right-hand items, the one at the bar's right edge. Setting it replaces the
    // whole list; null clears it.
    BarButtonItem *rightBarButtonItem() const;
    void setRightBarButtonItem(BarButtonItem *item);
    // Ordered from the right edge leftwards.
    QList<BarButtonItem *> rightBarButtonItems() const;
    void setRightBarButtonItems(const QList<BarButtonItem *> &items);

signals:
    // The title, the back item (or its title) or the list of right-hand items changed.
    void changed();

private:
    void adopt(BarButtonItem *item);
    void release(BarButtonItem *item);
    bool isInstalled(const BarButtonItem *item) const;
    void deleteReleasedItems();

    QString m_title;
    QPointer<BarButtonItem> m_backBarButtonItem;
    QList<QPointer<BarButtonItem>> m_rightBarButtonItems;
    QList<QPointer<BarButtonItem>> m_releasedItems;
};
