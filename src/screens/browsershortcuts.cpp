#include "screens/browsershortcuts.h"

#include "grid/displayparsedlink.h"
#include "grid/largeuicollectionview.h"
#include "screens/browserpane.h"
#include "screens/listoroviewcontroller.h"
#include "screens/teachsession.h"
#include "ui/alertview.h"
#include "ui/barbuttonitem.h"
#include "ui/navigationcontroller.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QWebEngineView>

BrowserShortcuts::BrowserShortcuts(ListoroViewController *screen, BrowserPane *pane)
    : QObject(screen)
    , m_screen(screen)
    , m_pane(pane)
{
    const auto add = [this](const QKeySequence &keys, auto slot) {
        auto *shortcut = new QShortcut(keys, m_screen);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, slot);
    };
    add(QKeySequence(Qt::CTRL | Qt::Key_L), [this] {
        if (!m_pane->browserControlsView()->isVisible())
            m_screen->backClicked();
        m_pane->navBar()->setFocus(Qt::ShortcutFocusReason);
        m_pane->navBar()->selectAll();
    });
    add(QKeySequence(Qt::ALT | Qt::Key_Left), [this] { m_screen->backClicked(); });
    add(QKeySequence(Qt::ALT | Qt::Key_Right), [this] { m_screen->forwardClicked(); });
    add(QKeySequence(Qt::Key_F5), [this] {
        const LargeUICollectionView *grid = m_screen->collectionView();
        if (grid && !grid->isHidden())
            m_screen->reloadClicked();
        else
            m_pane->webview()->reload();
    });
    add(QKeySequence(Qt::CTRL | Qt::Key_T), [this] { m_screen->toggleTeaching(); });
    // The toolbar's actions, as their tool tips say: Zesto, the grid's toggle, home.
    add(QKeySequence(Qt::CTRL | Qt::Key_E), [this] {
        if (m_pane->btnZesto()->isEnabled() && m_pane->btnZesto()->isVisible())
            m_pane->btnZesto()->click();
    });
    add(QKeySequence(Qt::CTRL | Qt::Key_G), [this] {
        if (BarButtonItem *toggle = m_screen->gridToggle(); toggle && toggle->isEnabled())
            toggle->trigger();
    });
    add(QKeySequence(Qt::ALT | Qt::Key_Home), [this] {
        if (NavigationController *navigation = m_screen->navigationController())
            navigation->popToRootViewController(true);
    });
    // The favorite of the tile the keyboard is on, as the tile's green button does it.
    add(QKeySequence(Qt::CTRL | Qt::Key_D), [this] {
        LargeUICollectionView *grid = m_screen->collectionView();
        if (!grid || grid->isHidden() || !grid->currentItem())
            return;
        if (auto *tile
            = qobject_cast<DisplayParsedLink *>(grid->cellForItemAtIndexPath(*grid->currentItem())))
            tile->handleFavoriteButtonTap();
    });
    add(QKeySequence(Qt::Key_Escape), [this] { escape(); });
}

BrowserShortcuts::~BrowserShortcuts() = default;

void BrowserShortcuts::escape()
{
    const QList<AlertView *> alerts = AlertView::visibleAlerts();
    if (!alerts.isEmpty()) {
        AlertView *top = alerts.last();
        if (top->cancelButtonIndex() >= 0)
            top->buttonAtIndex(top->cancelButtonIndex())->click();
        return;
    }
    if (m_screen->teachSession()->isActive()) {
        m_screen->teachSession()->requestStop();
        return;
    }
    if (m_pane->isPageShown()) {
        m_pane->webview()->stop();
        m_pane->hideLoadingBox();
    }
}
