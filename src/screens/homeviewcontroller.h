#pragma once

#include "saved/zestobookmark.h"
#include "screens/bookmarkspanel.h"
#include "screens/favoritespanel.h"
#include "ui/alertview.h"
#include "ui/alertviewdelegate.h"
#include "ui/barbuttonitem.h"
#include "ui/popover.h"
#include "ui/popoverdelegate.h"
#include "ui/viewcontroller.h"
#include "widgets/panelstyling.h"

#include <QPointer>
#include <QString>

class CustomBadge;
class PanelView;
class QLabel;
class QListWidget;
class QShortcut;
class ZestoBookmarkTableCell;

// The first screen and the root of the navigation stack. It starts the scrape settings refresh,
// offers the classified sites in the navigation bar, shows how many favorites there are in a
// panel that opens them as a grid, lists the bookmarks in a second panel (a bookmark opens its
// results page straight as a grid), and covers itself with the how-to on the first runs.
class HomeViewController final : public ViewController,
                                 public AlertViewDelegate,
                                 public PopoverDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HomeViewController)

public:
    // The tag of the view addInnerShadow() puts inside a view.
    static constexpr int innerShadowTag = PanelStyling::innerShadowTag;

    explicit HomeViewController(QWidget *parent = nullptr);
    ~HomeViewController() override;

    QListWidget *bookmarksTable() const { return m_bookmarks.table(); }
    PanelView *vwBookmarksView() const { return m_bookmarks.panel(); }
    PanelView *vwFavoritesView() const { return m_favorites.panel(); }
    QLabel *lblFavoritesNumber() const { return m_favorites.countLabel(); }
    QLabel *txtFavorites() const { return m_favorites.caption(); }
    CustomBadge *favoritesBadge() const { return m_favorites.badge(); }
    // Shown instead of the table while there are no bookmarks.
    QLabel *bookmarksPlaceholder() const { return m_bookmarks.placeholder(); }
    PanelView *coverView() const { return m_coverView; }
    BarButtonItem *btnCraigslist() const { return m_btnCraigslist; }
    BarButtonItem *btnKijiji() const { return m_btnKijiji; }
    BarButtonItem *btnBackpage() const { return m_btnBackpage; }
    BarButtonItem *btnRuleSets() const { return m_btnRuleSets; }
    BarButtonItem *btnPreferences() const { return m_btnPreferences; }
    // The how-to popover while it exists: set when the segue is prepared, cleared when the user
    // dismisses it.
    Popover *popover() const { return m_popover; }

    int screen_width() const { return m_screenWidth; }
    int screen_height() const { return m_screenHeight; }

    // The address the next "Home to Listoro" segue opens, shared by every home screen.
    static QString selectedUrl();

    // The home page of the first site named in title: "craigslist", "kijiji", "ebay" or
    // "backpage", in that order, in any letter case. Null when it names none.
    static QString siteAddressForTitle(const QString &title);

    // Opens address when the screen first appears: as a grid, as a bookmark does, or in the
    // browser. The how-to waits for the next time the screen appears.
    void setLaunchPage(const QString &address, bool grid);
    // Opens address now (handed over by a later start of the program): the screens above this
    // one close first.
    void openPage(const QString &address, bool grid);

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void prepareForSegue(StoryboardSegue &segue, QObject *sender) override;

    // The usable width and height, from the navigation controller's shape.
    void getDimensions();
    // Places and styles both panels, refreshes the favorites count, dims what is empty and
    // installs the site items.
    void fixUI();
    // Tells the user, once a run, of a store that cannot be written.
    void showStoreProblems();
    void loadBarButtonItems();
    void segueBarButtonItem(BarButtonItem *sender);
    // Covers the screen and presents the how-to unless the user confirmed it.
    void checkFirstTime();
    // Covers the screen and presents the how-to, asked for (F1) or on a first run.
    void showHowto();
    void handleCoverViewSingleTap();
    // Opens the favorites grid shortly after a click, when there are favorites.
    void handleSingleTap();
    void zestoclicked();
    void orientationChanged();

    // The bookmarks table.
    int numberOfRowsInSection(int section) const;
    // The text a row shows: the bookmark's title, else its url, else "Bookmark" and the row.
    static QString textForBookmark(const ZestoBookmark &bookmark, int row);
    ZestoBookmarkTableCell *cellForRowAtIndexPath(int row);
    // The cell shown for a row, or null.
    ZestoBookmarkTableCell *cellForRow(int row) const;
    void reloadData();
    // Asks whether to delete the bookmark of a row.
    void commitEditingStyle(int row);
    void didSelectRowAtIndexPath(int row);

    void alertViewClickedButtonAtIndex(AlertView *alertView, int buttonIndex) override;
    void popoverControllerDidDismissPopover(Popover *popover) override;

    // Where the how-to points: the bottom edge of the favorites panel, in this screen.
    QRect howtoAnchorRect() const;

    // Styling helpers: a white inset panel with a soft shadow inside view (made once, tag
    // innerShadowTag), and a gradient with dark edges at the top and bottom behind its
    // children.
    static void addInnerShadow(QWidget *view, int distance, int cornerRadius);
    static void setGradientLayerOld(QWidget *view);
    // Forgets every bookmark.
    static void cleanBookmarks();

signals:
    // The remote settings refresh ended; adopted tells whether its document replaced the
    // stored rule sets.
    void settingsRefreshFinished(bool adopted);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void updateCoverKeys();
    void layoutPanels();
    void windowResized();
    ZestoBookmarkTableCell *makeCell(const ZestoBookmark &bookmark, int row);

    FavoritesPanel m_favorites;
    BookmarksPanel m_bookmarks;
    PanelView *m_coverView = nullptr;
    QLabel *m_coverHint = nullptr;
    QString m_launchPage;
    bool m_launchAsGrid = false;
    // The address the next "surf" segue opens when no site item asked for it.
    QString m_surfAddress;
    QPointer<BarButtonItem> m_btnCraigslist;
    QPointer<BarButtonItem> m_btnKijiji;
    QPointer<BarButtonItem> m_btnBackpage;
    QPointer<BarButtonItem> m_btnRuleSets;
    QPointer<BarButtonItem> m_btnPreferences;
    QList<QShortcut *> m_coverKeys;
    QPointer<Popover> m_popover;
    QPointer<AlertView> m_deleteAlert;
    ZestoBookmark m_deleteBookmark;
    QPointer<NavigationController> m_observed;
    int m_screenWidth = 0;
    int m_screenHeight = 0;
    bool m_favoritesOpening = false;
};
