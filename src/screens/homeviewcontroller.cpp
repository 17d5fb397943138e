#include "screens/homeviewcontroller.h"

#include "platform/defaultskeys.h"
#include "platform/storeproblems.h"
#include "platform/userdefaults.h"
#include "saved/bookmarkvisits.h"
#include "saved/watchedbookmarks.h"
#include "saved/zestobookmarktablecell.h"
#include "saved/zestofavorite.h"
#include "scrape/settingsrefresh.h"
#include "screens/homeheader.h"
#include "screens/howtopopoverviewcontroller.h"
#include "screens/listorostoryboard.h"
#include "screens/listoroviewcontroller.h"
#include "screens/siteaddresses.h"
#include "screens/watchcentre.h"
#include "ui/alertview.h"
#include "ui/navigationbar.h"
#include "ui/navigationcontroller.h"
#include "ui/navigationitem.h"
#include "ui/popover.h"
#include "ui/storyboardsegue.h"
#include "ui/theme.h"
#include "ui/untrustedtext.h"
#include "ui/viewtag.h"
#include "widgets/custombadge.h"
#include "widgets/panelstyling.h"
#include "widgets/panelview.h"
#include "widgets/viewalpha.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QListWidget>
#include <QLoggingCategory>
#include <QPixmap>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

Q_LOGGING_CATEGORY(lcHome, "listoro.screens.home")

namespace {

QString s_selectedUrl;

constexpr int panelMargin = 20;
constexpr int favoritesPanelHeight = 100;
constexpr int bookmarksPanelHeight = 500;
// A small window shortens the bookmarks panel to what it shows, never below a few rows.
constexpr int minimumBookmarksPanelHeight = 180;
constexpr int favoritesOpenDelayMs = 50;
constexpr int favoritesFlashMs = 5000;
constexpr double coverAlpha = 0.95;

const QBrush &paperPattern()
{
    static const QBrush pattern(QPixmap(QStringLiteral(":/lightpaperfibers.png")));
    return pattern;
}

} // namespace

HomeViewController::HomeViewController(QWidget *parent)
    : ViewController(parent)
    , m_favorites(this)
    , m_bookmarks(this)
{
    setObjectName(QStringLiteral("home"));
    navigationItem()->setTitle(QStringLiteral("Listoro"));
    setWindowTitle(tr("Home"));
    connect(m_favorites.panel(), &PanelView::tapped, this, &HomeViewController::handleSingleTap);

    m_coverView = new PanelView(this);
    m_coverView->setObjectName(QStringLiteral("coverView"));
    m_coverView->setBackgroundBrush(Theme::colour(Theme::Colour::Cover));
    m_coverHint = new QLabel(tr("Click anywhere to go on"), m_coverView);
    m_coverHint->setObjectName(QStringLiteral("coverHint"));
    m_coverHint->setAlignment(Qt::AlignCenter);
    m_coverView->hide();
    connect(m_coverView, &PanelView::tapped, this, &HomeViewController::handleCoverViewSingleTap);

    // F1 shows the how-to again; while it covers the screen, Escape, Enter and Space go on as a
    // click does.
    auto *help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    help->setContext(Qt::WindowShortcut);
    connect(help, &QShortcut::activated, this, [this] {
        if (isVisible())
            showHowto();
    });
    for (const int key :
         { int(Qt::Key_Escape), int(Qt::Key_Return), int(Qt::Key_Enter), int(Qt::Key_Space) }) {
        auto *goOn = new QShortcut(QKeySequence(key), this);
        goOn->setContext(Qt::WindowShortcut);
        connect(goOn, &QShortcut::activated, this, [this] {
            if (!m_coverView->isHidden())
                handleCoverViewSingleTap();
        });
        connect(goOn, &QShortcut::activatedAmbiguously, this, [this] {
            if (!m_coverView->isHidden())
                handleCoverViewSingleTap();
        });
        m_coverKeys.append(goOn);
    }
    updateCoverKeys();
}

void HomeViewController::updateCoverKeys()
{
    // Only while the cover shows: otherwise these keys belong to the bookmarks and the alerts.
    for (QShortcut *key : std::as_const(m_coverKeys))
        key->setEnabled(!m_coverView->isHidden() && isVisible());
}

HomeViewController::~HomeViewController() = default;

QString HomeViewController::selectedUrl()
{
    return s_selectedUrl;
}

QString HomeViewController::siteAddressForTitle(const QString &title)
{
    return SiteAddresses::forTitle(title);
}

void HomeViewController::viewDidLoad()
{
    ViewController::viewDidLoad();
    connect(&StoreProblems::instance(), &StoreProblems::reported, this,
            &HomeViewController::showStoreProblems);
    // A watch's word on its row follows its checks; after the toggle that changed it returns.
    if (WatchCentre *watches = WatchCentre::instance())
        connect(watches, &WatchCentre::changed, this, &HomeViewController::reloadData,
                Qt::QueuedConnection);
    showStoreProblems();
    // Seed before the refresh starts: the refresh compares versions and the seed does not, so
    // this order never lets the shipped document replace a newer remote one.
    SettingsRefresh::seedFromShippedDocument();
    SettingsRefresh::refreshFromRemote(this, [this](bool adopted) {
        qCDebug(lcHome) << "remote scrape settings" << (adopted ? "adopted" : "not adopted");
        emit settingsRefreshFinished(adopted);
    });

    QListWidget *table = bookmarksTable();
    connect(table, &QListWidget::itemClicked, this,
            [this, table](QListWidgetItem *item) { didSelectRowAtIndexPath(table->row(item)); });
    connect(table, &QListWidget::currentRowChanged, this,
            [this](int current) { m_bookmarks.selectRow(current); });
    table->installEventFilter(this);
}

void HomeViewController::viewWillAppear(bool animated)
{
    ViewController::viewWillAppear(animated);
    getDimensions();
    fixUI();
    NavigationController *navigation = navigationController();
    if (navigation && m_observed != navigation) {
        if (m_observed)
            disconnect(m_observed, nullptr, this, nullptr);
        connect(navigation, &NavigationController::orientationChanged, this,
                &HomeViewController::orientationChanged);
        connect(navigation, &NavigationController::resized, this,
                &HomeViewController::windowResized);
        m_observed = navigation;
    }
    reloadData();
}

void HomeViewController::viewDidAppear(bool animated)
{
    ViewController::viewDidAppear(animated);
    // Arrow keys, Enter and Delete work on the bookmarks at once.
    if (bookmarksTable()->count() > 0)
        bookmarksTable()->setFocus();
    if (!m_launchPage.isNull()) {
        const QString address = std::exchange(m_launchPage, QString());
        if (m_launchAsGrid) {
            s_selectedUrl = address;
            performSegue(ListoroStoryboard::homeToListoro, this);
        } else {
            m_surfAddress = address;
            performSegue(ListoroStoryboard::surf, this);
        }
        return;
    }
    checkFirstTime();
}

void HomeViewController::setLaunchPage(const QString &address, bool grid)
{
    m_launchPage = address;
    m_launchAsGrid = grid;
}

void HomeViewController::openPage(const QString &address, bool grid)
{
    setLaunchPage(address, grid);
    // The how-to gives way to the page; it shows again when the user comes back.
    handleCoverViewSingleTap();
    NavigationController *navigation = navigationController();
    if (navigation && navigation->topViewController() != this)
        navigation->popToRootViewController(false); // appearing again, the screen opens it
    else
        viewDidAppear(false);
}

void HomeViewController::getDimensions()
{
    const QWidget *frame = navigationController();
    if (!frame)
        frame = window();
    const int w = frame->width();
    const int h = frame->height();
    const bool landscape = w > h;
    m_screenWidth = landscape ? std::max(w, h) : std::min(w, h);
    m_screenHeight = landscape ? std::min(w, h) : std::max(w, h);
}

void HomeViewController::layoutPanels()
{
    PanelView *favorites = m_favorites.panel();
    favorites->setFrame(
        QRect(panelMargin, panelMargin, m_screenWidth - 2 * panelMargin, favoritesPanelHeight));
    const QRect frame = favorites->frame();
    const int top = frame.y() + frame.height() + panelMargin;
    const NavigationController *navigation = navigationController();
    const int viewHeight
        = m_screenHeight - (navigation ? navigation->navigationBar()->height() : 0);
    const int height = std::clamp(viewHeight - top - panelMargin, minimumBookmarksPanelHeight,
                                  bookmarksPanelHeight);
    m_bookmarks.panel()->setFrame(QRect(panelMargin, top, m_screenWidth - 2 * panelMargin, height));
    m_bookmarks.placePlaceholder();
    if (!m_coverView->isHidden())
        m_coverView->setFrame(QRect(0, 0, m_screenWidth, m_screenHeight));
    // The hint sits under the panels, where the screen is still in sight.
    m_coverHint->setGeometry(0, m_bookmarks.panel()->frame().bottom() + 16, m_screenWidth, 28);
}

void HomeViewController::fixUI()
{
    QPalette paper = palette();
    paper.setBrush(QPalette::Window, paperPattern());
    setPalette(paper);
    setAutoFillBackground(true);

    m_favorites.showCount(int(ZestoFavorite::getFavorites().size()), paperPattern());
    m_bookmarks.showState(!ZestoBookmark::getBookmarks().isEmpty(), paperPattern());
    layoutPanels();
    loadBarButtonItems();
}

void HomeViewController::loadBarButtonItems()
{
    const auto siteItem = [this](const QString &title) {
        auto *item = new BarButtonItem(title, BarButtonItem::Style::Bordered);
        connect(item, &BarButtonItem::triggered, this, &HomeViewController::segueBarButtonItem);
        return item;
    };
    m_btnCraigslist = siteItem(QStringLiteral("Craigslist \u00AE"));
    m_btnKijiji = siteItem(QStringLiteral("Kijiji"));
    m_btnBackpage = siteItem(QStringLiteral("Backpage \u00AE"));
    m_btnRuleSets = new BarButtonItem(tr("Rule sets"), BarButtonItem::Style::Bordered);
    connect(m_btnRuleSets, &BarButtonItem::triggered, this,
            [this] { performSegue(ListoroStoryboard::ruleSets, m_btnRuleSets); });
    m_btnPreferences = new BarButtonItem(tr("Preferences"), BarButtonItem::Style::Bordered);
    connect(m_btnPreferences, &BarButtonItem::triggered, this,
            [this] { performSegue(ListoroStoryboard::preferences, m_btnPreferences); });
    // The first item stands at the right edge: the bar reads Preferences, Rule sets, Craigslist,
    // Backpage, Kijiji.
    navigationItem()->setRightBarButtonItems(
        { m_btnKijiji, m_btnBackpage, m_btnCraigslist, m_btnRuleSets, m_btnPreferences });
}

void HomeViewController::segueBarButtonItem(BarButtonItem *sender)
{
    performSegue(ListoroStoryboard::surf, sender);
}

void HomeViewController::checkFirstTime()
{
    if (UserDefaults::standard().boolForKey(DefaultsKeys::howtoPopoverOkayed))
        return;
    showHowto();
}

void HomeViewController::showHowto()
{
    m_coverView->setUserInteractionEnabled(true);
    m_coverView->show();
    m_coverView->raise();
    m_coverView->setFrame(QRect(0, 0, m_screenWidth, m_screenHeight));
    setViewAlpha(m_coverView, coverAlpha);
    updateCoverKeys();
    // A how-to already on screen stays; a second one would stack over it.
    if (m_popover && m_popover->isPopoverVisible())
        return;
    performSegue(ListoroStoryboard::howtopopover, this);
}

void HomeViewController::handleCoverViewSingleTap()
{
    m_coverView->hide();
    updateCoverKeys();
    if (m_popover)
        m_popover->dismissPopoverAnimated(true);
}

void HomeViewController::popoverControllerDidDismissPopover(Popover *popover)
{
    if (popover != m_popover)
        return;
    m_popover = nullptr;
    popover->deleteLater();
}

void HomeViewController::orientationChanged()
{
    getDimensions();
    fixUI();
    if (!m_popover)
        return;
    m_popover->dismissPopoverAnimated(true);
    // Present the how-to anew only over this screen, never over a screen pushed above it.
    if (isVisible())
        checkFirstTime();
}

void HomeViewController::windowResized()
{
    getDimensions();
    layoutPanels();
    if (m_popover && m_popover->isPopoverVisible())
        m_popover->presentFromRect(howtoAnchorRect(), this);
}

void HomeViewController::handleSingleTap()
{
    if (m_favoritesOpening || ZestoFavorite::getFavorites().isEmpty())
        return;
    // A double click must not open the favorites twice.
    m_favoritesOpening = true;
    QTimer::singleShot(favoritesOpenDelayMs, this, [this] {
        m_favoritesOpening = false;
        zestoclicked();
    });
}

void HomeViewController::zestoclicked()
{
    m_favorites.panel()->animateToWhite(favoritesFlashMs);
    s_selectedUrl = ListoroViewController::favoritesUrl;
    performSegue(ListoroStoryboard::homeToListoro, this);
}

void HomeViewController::prepareForSegue(StoryboardSegue &segue, QObject *sender)
{
    navigationItem()->setBackBarButtonItem(
        new BarButtonItem(tr("Home"), BarButtonItem::Style::Bordered));

    if (segue.identifier == ListoroStoryboard::homeToListoro) {
        if (auto *browser = qobject_cast<ListoroViewController *>(segue.destination)) {
            browser->setCurrentUrl(s_selectedUrl);
            browser->setAutozesto(true);
        }
    } else if (segue.identifier == ListoroStoryboard::surf) {
        auto *browser = qobject_cast<ListoroViewController *>(segue.destination);
        const auto *item = qobject_cast<BarButtonItem *>(sender);
        const QString address
            = item ? siteAddressForTitle(item->title()) : std::exchange(m_surfAddress, QString());
        if (browser && !address.isNull())
            browser->setCurrentUrl(address);
    } else if (segue.identifier == ListoroStoryboard::howtopopover) {
        if (m_popover && m_popover != segue.popoverController)
            m_popover->deleteLater();
        m_popover = segue.popoverController;
        if (m_popover)
            m_popover->setDelegate(this);
        if (auto *howto = qobject_cast<HowtoPopOverViewController *>(segue.destination)) {
            howto->setPopover(m_popover);
            howto->setHomeViewController(this);
            // The cover's hint shows only while the how-to is away.
            howto->installEventFilter(this);
        }
    }
}

QRect HomeViewController::howtoAnchorRect() const
{
    const QRect favorites = m_favorites.panel()->frame();
    return QRect(favorites.center().x() - 20, favorites.bottom() - 10, 40, 10);
}

int HomeViewController::numberOfRowsInSection(int section) const
{
    return section == 0 ? int(ZestoBookmark::getBookmarks().size()) : 0;
}

QString HomeViewController::textForBookmark(const ZestoBookmark &bookmark, int row)
{
    if (!bookmark.title().isNull())
        return bookmark.title();
    if (!bookmark.url().isNull())
        return bookmark.url();
    return QStringLiteral("Bookmark%1").arg(row);
}

ZestoBookmarkTableCell *HomeViewController::cellForRowAtIndexPath(int row)
{
    const QList<ZestoBookmark> bookmarks = ZestoBookmark::getBookmarks();
    return makeCell(row >= 0 && row < bookmarks.size() ? bookmarks.at(row) : ZestoBookmark(), row);
}

ZestoBookmarkTableCell *HomeViewController::makeCell(const ZestoBookmark &bookmark, int row)
{
    auto *cell = new ZestoBookmarkTableCell;
    cell->setTitleText(textForBookmark(bookmark, row));
    const int fresh = BookmarkVisits::last(bookmark.url()).newCount;
    QStringList notes;
    if (fresh > 0)
        notes.append(fresh == 1 ? tr("1 new at the last visit")
                                : tr("%1 new at the last visit").arg(fresh));
    // Watching needs the application's watches; a screen without them offers none.
    WatchCentre *watches = WatchCentre::instance();
    cell->watchButton()->setVisible(watches);
    if (watches) {
        cell->setWatched(WatchedBookmarks::isWatched(bookmark.url()));
        if (const QString note = watches->note(bookmark.url()); !note.isEmpty())
            notes.append(note);
        connect(cell->watchButton(), &QPushButton::toggled, this,
                [cell, address = bookmark.url()](bool on) {
                    if (WatchCentre *centre = WatchCentre::instance())
                        centre->setWatched(address, on);
                    cell->setWatched(on);
                });
    }
    cell->setNote(notes.join(QStringLiteral(" · ")));
    UntrustedText::setToolTip(cell, bookmark.url());
    // The row of a cell is looked up at the click: rows move when others are deleted.
    connect(cell->zestoButton(), &QPushButton::clicked, this,
            [this, cell] { didSelectRowAtIndexPath(m_bookmarks.rowOfCell(cell)); });
    connect(cell->deleteButton(), &QPushButton::clicked, this,
            [this, cell] { commitEditingStyle(m_bookmarks.rowOfCell(cell)); });
    return cell;
}

ZestoBookmarkTableCell *HomeViewController::cellForRow(int row) const
{
    return m_bookmarks.cellForRow(row);
}

void HomeViewController::reloadData()
{
    m_bookmarks.reload(
        ZestoBookmark::getBookmarks(),
        [this](const ZestoBookmark &bookmark, int row) { return makeCell(bookmark, row); });
}

void HomeViewController::showStoreProblems()
{
    for (const QString &message : StoreProblems::instance().takeUnshown()) {
        auto *alert = new AlertView(tr("Not kept"), message, nullptr, tr("OK"), {}, this);
        alert->show();
    }
}

void HomeViewController::commitEditingStyle(int row)
{
    const QList<ZestoBookmark> bookmarks = ZestoBookmark::getBookmarks();
    if (row < 0 || row >= bookmarks.size())
        return;
    m_deleteBookmark = bookmarks.at(row);
    auto *alert = new AlertView(
        tr("Sure?"),
        tr("Are you sure you want to delete %1 ?").arg(textForBookmark(m_deleteBookmark, row)),
        this, QString(), { tr("Yes"), tr("No") });
    alert->setTag(row);
    m_deleteAlert = alert;
    alert->show();
}

void HomeViewController::alertViewClickedButtonAtIndex(AlertView *alertView, int buttonIndex)
{
    if (buttonIndex != 0)
        return;
    const int row = alertView->tag();
    const QList<ZestoBookmark> bookmarks = ZestoBookmark::getBookmarks();
    int index = row;
    // The store may have changed since the question was asked: delete the bookmark that was
    // named, wherever it is now, and nothing if it is gone.
    if (alertView == m_deleteAlert
        && (row >= bookmarks.size() || bookmarks.at(row) != m_deleteBookmark))
        index = int(bookmarks.indexOf(m_deleteBookmark));
    if (index >= 0)
        ZestoBookmark::removeBookmarkAtIndex(index);
    reloadData();
    fixUI();
}

void HomeViewController::didSelectRowAtIndexPath(int row)
{
    const QList<ZestoBookmark> bookmarks = ZestoBookmark::getBookmarks();
    if (row < 0 || row >= bookmarks.size())
        return;
    s_selectedUrl = bookmarks.at(row).url();
    performSegue(ListoroStoryboard::homeToListoro, this);
}

bool HomeViewController::eventFilter(QObject *watched, QEvent *event)
{
    if ((event->type() == QEvent::Show || event->type() == QEvent::Hide) && m_popover
        && watched == m_popover->contentViewController())
        m_coverHint->setVisible(event->type() == QEvent::Hide);
    if (watched == bookmarksTable()
        && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut))
        m_bookmarks.focusChanged();
    if (watched == bookmarksTable() && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Delete:
        case Qt::Key_Backspace:
            commitEditingStyle(bookmarksTable()->currentRow());
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            didSelectRowAtIndexPath(bookmarksTable()->currentRow());
            return true;
        default:
            break;
        }
    }
    return ViewController::eventFilter(watched, event);
}

void HomeViewController::addInnerShadow(QWidget *view, int distance, int cornerRadius)
{
    PanelStyling::addInnerShadow(view, distance, cornerRadius);
}

void HomeViewController::setGradientLayerOld(QWidget *view)
{
    PanelStyling::addGradientLayer(view);
}

void HomeViewController::cleanBookmarks()
{
    ZestoBookmark::setBookmarks({});
}
