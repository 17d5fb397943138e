#pragma once

#include "ui/barbuttonitem.h"
#include "ui/navigationitem.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class QAbstractButton;
class QLabel;
class QToolButton;

// The bar over a navigation controller's screens: a back button on the left, the top screen's
// title centred, and its right-hand items on the right, the first item at the right edge.
class NavigationBar final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(NavigationBar)

public:
    static constexpr int barHeight = 44;

    explicit NavigationBar(QWidget *parent = nullptr);

    // topItem is shown; backItem belongs to the screen under it and names the back button
    // (null hides the back button).
    void setItems(NavigationItem *topItem, NavigationItem *backItem);

    // The back button's title for a screen whose predecessor has this navigation item: its back
    // item's title, else its title, else "Back".
    static QString backTitle(const NavigationItem *previous);

    QAbstractButton *backButton() const;
    // The button drawn for one of the top item's right-hand items, or null.
    QAbstractButton *buttonForItem(const BarButtonItem *item) const;
    QString title() const;

signals:
    void backRequested();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct ItemButton
    {
        QPointer<BarButtonItem> item;
        QToolButton *button = nullptr;
    };

    void refresh();
    void syncRightButtons();
    QToolButton *createButton();
    void updateButton(QToolButton *button, const BarButtonItem *item);
    void layoutBar();

    QPointer<NavigationItem> m_topItem;
    QPointer<NavigationItem> m_backItem;
    QToolButton *m_backButton;
    QLabel *m_titleLabel;
    QString m_title;
    QString m_backTitle;
    QList<ItemButton> m_rightButtons;
};
