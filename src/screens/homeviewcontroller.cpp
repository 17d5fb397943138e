#include "screens/homeviewcontroller.h"

#include "platform/defaultskeys.h"
#include "platform/userdefaults.h"
#include "saved/zestobookmarktablecell.h"
#include "saved/zestofavorite.h"
#include "scrape/settingsrefresh.h"
#include "screens/homeheader.h"
#include "screens/howtopopoverviewcontroller.h"
#include "screens/listorostoryboard.h"
#include "screens/listoroviewcontroller.h"
#include "screens/panelview.h"
#include "screens/siteaddresses.h"
#include "screens/viewalpha.h"
#include "ui/alertview.h"
#include "ui/navigationcontroller.h"
#include "ui/navigationitem.h"
#include "ui/popover.h"
#include "ui/storyboardsegue.h"
#include "ui/theme.h"
#include "ui/viewtag.h"
#include "widgets/custombadge.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QListWidget>
#include <QLoggingCategory>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

Q_LOGGING_CATEGORY(lcHome, "listoro.screens.home")

namespace {

QString s_selectedUrl;

constexpr int panelMargin = 20;
constexpr int favoritesPanelHeight = 100;
constexpr int bookmarksPanelHeight = 500;
constexpr int favoritesOpenDelayMs = 50;
constexpr int favoritesFlashMs = 5000;
constexpr double dimmedAlpha = 0.4;
constexpr double dimmedBackground = 0.2;
constexpr double coverAlpha = 0.95;
constexpr int bookmarkRowHeight = 54;
constexpr int bookmarksHeaderHeight = 56;

// The colours UIKit names light gray and dark gray.
const QColor lightGray = QColor::fromRgbF(2.0f / 3, 2.0f / 3, 2.0f / 3);
const QColor darkGray = QColor::fromRgbF(1.0f / 3, 1.0f / 3, 1.0f / 3);
const QColor faintBlack = QColor::fromRgbF(0, 0, 0, 0.1f);

const QBrush &paperPattern()
{
    static const QBrush pattern(QPixmap(QStringLiteral(":/lightpaperfibers.png")));
    return pattern;
}

// The rectangle of view that stands for its frame: a panel's frame lies inside its shadow.
QRect boundsOf(QWidget *view)
{
    if (auto *panel = qobject_cast<PanelView *>(view))
        return panel->bounds();
    return view->rect();
}

} // namespace

HomeViewController::HomeViewController(QWidget *parent)
    : ViewController(parent)
{
    setObjectName(QStringLiteral("home"));
    navigationItem()->setTitle(QStringLiteral("Listoro"));
    buildFavoritesPanel();
    buildBookmarksPanel();

    m_coverView = new PanelView(this);
    m_coverView->setObjectName(QStringLiteral("coverView"));
    m_coverView->setBackgroundBrush(Theme::colour(Theme::Colour::Cover));
    m_coverHint = new QLabel(tr("Click anywhere to go on"), m_coverView);
    m_coverHint->setObjectName(QStringLiteral("coverHint"));
    m_coverHint->setAlignment(Qt::AlignCenter);
    m_coverView->hide();
    connect(m_coverView, &PanelView::tapped, this, &HomeViewController::handleCoverViewSingleTap);
}

HomeViewController::~HomeViewController() = default;

void HomeViewController::buildFavoritesPanel()
{
    m_vwFavoritesView = new PanelView(this);
    m_vwFavoritesView->setObjectName(QStringLiteral("vwFavoritesView"));
    connect(m_vwFavoritesView, &PanelView::tapped, this, &HomeViewController::handleSingleTap);

    m_favoritesBadge = CustomBadge::customBadgeWithString(
        QStringLiteral("0"), Qt::white, Theme::colour(Theme::Colour::BrandGreen), true, Qt::white,
        1.8f, false, m_vwFavoritesView);
    m_favoritesBadge->setObjectName(QStringLiteral("favoritesBadge"));

    m_lblFavoritesNumber = new QLabel(m_vwFavoritesView);
    m_lblFavoritesNumber->setObjectName(QStringLiteral("lblFavoritesNumber"));
    m_txtFavorites = new QLabel(m_vwFavoritesView);
    m_txtFavorites->setObjectName(QStringLiteral("txtFavorites"));
    m_favoritesChevron = new QLabel(QStringLiteral("\u203A"), m_vwFavoritesView);
    m_favoritesChevron->setObjectName(QStringLiteral("favoritesChevron"));

    auto *texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addStretch(1);
    texts->addWidget(m_lblFavoritesNumber);
    texts->addWidget(m_txtFavorites);
    texts->addStretch(1);

    auto *layout = new QHBoxLayout(m_vwFavoritesView);
    layout->setContentsMargins(24, 0, 24, 0);
    layout->setSpacing(18);
    layout->addWidget(m_favoritesBadge, 0, Qt::AlignVCenter);
    layout->addLayout(texts, 1);
    layout->addWidget(m_favoritesChevron, 0, Qt::AlignVCenter);
}

void HomeViewController::buildBookmarksPanel()
{
    m_vwBookmarksView = new PanelView(this);
    m_vwBookmarksView->setObjectName(QStringLiteral("vwBookmarksView"));

    m_bookmarksHeader = new HomeHeader(QRect(), m_vwBookmarksView);
    m_bookmarksHeader->setObjectName(QStringLiteral("bookmarksHeader"));
    m_bookmarksHeader->setFixedHeight(bookmarksHeaderHeight);
    auto *heading = new QLabel(tr("Bookmarks"), m_bookmarksHeader);
    heading->setObjectName(QStringLiteral("bookmarksHeading"));
    m_bookmarksCount = new QLabel(m_bookmarksHeader);
    m_bookmarksCount->setObjectName(QStringLiteral("bookmarksCount"));
    auto *headerLayout = new QHBoxLayout(m_bookmarksHeader);
    headerLayout->setContentsMargins(24, 16, 24, 10);
    headerLayout->addWidget(heading);
    headerLayout->addStretch(1);
    headerLayout->addWidget(m_bookmarksCount);

    auto *rule = new QWidget(m_vwBookmarksView);
    rule->setObjectName(QStringLiteral("bookmarksRule"));
    rule->setFixedHeight(1);
    rule->setAttribute(Qt::WA_StyledBackground);

    m_bookmarksTable = new QListWidget(m_vwBookmarksView);
    m_bookmarksTable->setObjectName(QStringLiteral("bookmarksTable"));
    m_bookmarksTable->setFrameShape(QFrame::NoFrame);
    m_bookmarksTable->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_bookmarksTable->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_bookmarksTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_bookmarksTable->setUniformItemSizes(true);
    m_bookmarksTable->viewport()->setAutoFillBackground(false);

    // The hint lies over the panel rather than in it, so it stays legible while the empty
    // panel is dimmed.
    m_bookmarksPlaceholder
        = new QLabel(tr("No bookmarks yet: open a results page, press Zesto, and save it when "
                        "asked."),
                     this);
    m_bookmarksPlaceholder->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_bookmarksPlaceholder->setObjectName(QStringLiteral("bookmarksPlaceholder"));
    m_bookmarksPlaceholder->setAlignment(Qt::AlignCenter);
    m_bookmarksPlaceholder->setWordWrap(true);
    m_bookmarksPlaceholder->hide();

    auto *layout = new QVBoxLayout(m_vwBookmarksView);
    layout->setContentsMargins(0, 0, 0, 12);
    layout->setSpacing(0);
    layout->addWidget(m_bookmarksHeader);
    layout->addWidget(rule);
    layout->addSpacing(6);
    layout->addWidget(m_bookmarksTable, 1);
}

QString HomeViewController::selectedUrl()
{
    return s_selectedUrl;
}

QString HomeViewController::siteAddressForTitle(const QString &title)
{
    if (title.isNull())
        return {};
    struct Site
    {
        QLatin1StringView name;
        QString (*address)();
    };
    static constexpr Site sites[] = {
        { QLatin1StringView("craigslist"), &SiteAddresses::craigslist },
        { QLatin1StringView("kijiji"), &SiteAddresses::kijiji },
        { QLatin1StringView("ebay"), &SiteAddresses::ebay },
        { QLatin1StringView("backpage"), &SiteAddresses::backpage },
    };
    for (const Site &site : sites) {
        if (title.contains(site.name, Qt::CaseInsensitive))
            return site.address();
    }
    return {};
}

void HomeViewController::viewDidLoad()
{
    ViewController::viewDidLoad();
    // Seed before the refresh starts: the refresh compares versions and the seed does not, so
    // this order never lets the shipped document replace a newer remote one.
    SettingsRefresh::seedFromShippedDocument();
    SettingsRefresh::refreshFromRemote(this, [this](bool adopted) {
        qCDebug(lcHome) << "remote scrape settings" << (adopted ? "adopted" : "not adopted");
        emit settingsRefreshFinished(adopted);
    });

    connect(m_bookmarksTable, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        didSelectRowAtIndexPath(m_bookmarksTable->row(item));
    });
    connect(m_bookmarksTable, &QListWidget::currentRowChanged, this, [this](int current) {
        for (int row = 0; row < m_bookmarksTable->count(); ++row) {
            if (ZestoBookmarkTableCell *cell = cellForRow(row))
                cell->setSelected(row == current);
        }
    });
    m_bookmarksTable->installEventFilter(this);
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
    if (m_bookmarksTable->count() > 0)
        m_bookmarksTable->setFocus();
    checkFirstTime();
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

void HomeViewController::styleCard(PanelView *panel) const
{
    panel->setCornerRadius(12);
    panel->setBorderColor(faintBlack);
    panel->setBorderWidth(1);
    panel->setShadowColor(lightGray);
    panel->setShadowOpacity(0.6);
    panel->setShadowRadius(5);
    panel->setShadowOffset(QPoint(0, 0));
}

void HomeViewController::layoutPanels()
{
    m_vwFavoritesView->setFrame(
        QRect(panelMargin, panelMargin, m_screenWidth - 2 * panelMargin, favoritesPanelHeight));
    const QRect favorites = m_vwFavoritesView->frame();
    m_vwBookmarksView->setFrame(QRect(panelMargin, favorites.y() + favorites.height() + panelMargin,
                                      m_screenWidth - 2 * panelMargin, bookmarksPanelHeight));
    m_bookmarksPlaceholder->setGeometry(
        m_vwBookmarksView->frame().adjusted(0, bookmarksHeaderHeight, 0, -bookmarksHeaderHeight));
    if (!m_coverView->isHidden())
        m_coverView->setFrame(QRect(0, 0, m_screenWidth, m_screenHeight));
    // The hint sits under the panels, where the screen is still in sight.
    m_coverHint->setGeometry(0, m_vwBookmarksView->frame().bottom() + 16, m_screenWidth, 28);
}

void HomeViewController::fixUI()
{
    QPalette paper = palette();
    paper.setBrush(QPalette::Window, paperPattern());
    setPalette(paper);
    setAutoFillBackground(true);

    styleCard(m_vwFavoritesView);
    styleCard(m_vwBookmarksView);
    layoutPanels();
    m_vwFavoritesView->stopWhitening();
    m_vwFavoritesView->setBackgroundBrush(paperPattern());
    m_vwFavoritesView->setBackgroundOpacity(1.0);
    m_vwBookmarksView->setBackgroundBrush(paperPattern());
    m_vwBookmarksView->setBackgroundOpacity(1.0);

    const int favorites = int(ZestoFavorite::getFavorites().size());
    m_lblFavoritesNumber->setText(tr("You have %1 favorite%2")
                                      .arg(favorites)
                                      .arg(favorites == 1 ? QString() : QStringLiteral("s")));
    m_txtFavorites->setText(favorites > 0
                                ? tr("Click to see them all as a grid of photos")
                                : tr("Keep a listing with the green + button on its tile"));
    m_favoritesBadge->autoBadgeSizeWithString(QString::number(favorites));
    m_favoritesBadge->setFixedSize(m_favoritesBadge->size());
    m_favoritesChevron->setVisible(favorites > 0);
    if (favorites > 0) {
        setViewAlpha(m_vwFavoritesView, 1.0);
        m_vwFavoritesView->setUserInteractionEnabled(true);
        setViewAlpha(m_lblFavoritesNumber, 1.0);
        setViewAlpha(m_txtFavorites, 1.0);
        setViewAlpha(m_favoritesBadge, 1.0);
    } else {
        m_vwFavoritesView->setBackgroundOpacity(dimmedBackground);
        setViewAlpha(m_lblFavoritesNumber, dimmedAlpha);
        setViewAlpha(m_txtFavorites, dimmedAlpha);
        setViewAlpha(m_favoritesBadge, dimmedAlpha);
    }
    m_vwFavoritesView->setHighlightsOnHover(favorites > 0);
    m_vwFavoritesView->setCursor(favorites > 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
    m_vwFavoritesView->setToolTip(favorites > 0 ? tr("Open your favorites as a grid of photos")
                                                : QString());

    const bool anyBookmark = !ZestoBookmark::getBookmarks().isEmpty();
    setViewAlpha(m_vwBookmarksView, anyBookmark ? 1.0 : dimmedAlpha);
    m_vwBookmarksView->setUserInteractionEnabled(anyBookmark);

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
    // The first item stands at the right edge: the bar reads Craigslist, Backpage, Kijiji.
    navigationItem()->setRightBarButtonItems({ m_btnKijiji, m_btnBackpage, m_btnCraigslist });
}

void HomeViewController::segueBarButtonItem(BarButtonItem *sender)
{
    performSegue(ListoroStoryboard::surf, sender);
}

void HomeViewController::checkFirstTime()
{
    if (UserDefaults::standard().boolForKey(DefaultsKeys::howtoPopoverOkayed))
        return;
    m_coverView->setUserInteractionEnabled(true);
    m_coverView->show();
    m_coverView->raise();
    m_coverView->setFrame(QRect(0, 0, m_screenWidth, m_screenHeight));
    setViewAlpha(m_coverView, coverAlpha);
    // A how-to already on screen stays; a second one would stack over it.
    if (m_popover && m_popover->isPopoverVisible())
        return;
    performSegue(ListoroStoryboard::howtopopover, this);
}

void HomeViewController::handleCoverViewSingleTap()
{
    m_coverView->hide();
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
    m_vwFavoritesView->animateToWhite(favoritesFlashMs);
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
        const QString address = siteAddressForTitle(item ? item->title() : QString());
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
    const QRect favorites = m_vwFavoritesView->frame();
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
    cell->title()->setText(textForBookmark(bookmark, row));
    cell->setToolTip(bookmark.url());
    // The row of a cell is looked up at the click: rows move when others are deleted.
    const auto rowOf = [this, cell] {
        for (int r = 0; r < m_bookmarksTable->count(); ++r) {
            if (cellForRow(r) == cell)
                return r;
        }
        return -1;
    };
    connect(cell->zestoButton(), &QPushButton::clicked, this,
            [this, rowOf] { didSelectRowAtIndexPath(rowOf()); });
    connect(cell->deleteButton(), &QPushButton::clicked, this,
            [this, rowOf] { commitEditingStyle(rowOf()); });
    return cell;
}

ZestoBookmarkTableCell *HomeViewController::cellForRow(int row) const
{
    QListWidgetItem *item = m_bookmarksTable->item(row);
    return item ? qobject_cast<ZestoBookmarkTableCell *>(m_bookmarksTable->itemWidget(item))
                : nullptr;
}

void HomeViewController::reloadData()
{
    const int current = m_bookmarksTable->currentRow();
    m_bookmarksTable->clear();
    const QList<ZestoBookmark> bookmarks = ZestoBookmark::getBookmarks();
    const int rows = int(bookmarks.size());
    for (int row = 0; row < rows; ++row) {
        auto *item = new QListWidgetItem(m_bookmarksTable);
        item->setSizeHint(QSize(0, bookmarkRowHeight));
        m_bookmarksTable->setItemWidget(item, makeCell(bookmarks.at(row), row));
    }
    if (current >= 0 && current < rows)
        m_bookmarksTable->setCurrentRow(current, QItemSelectionModel::NoUpdate);
    m_bookmarksPlaceholder->setVisible(rows == 0);
    m_bookmarksCount->setText(rows == 1 ? tr("1 saved page") : tr("%1 saved pages").arg(rows));
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
    if (watched == m_bookmarksTable && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Delete:
        case Qt::Key_Backspace:
            commitEditingStyle(m_bookmarksTable->currentRow());
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            didSelectRowAtIndexPath(m_bookmarksTable->currentRow());
            return true;
        default:
            break;
        }
    }
    return ViewController::eventFilter(watched, event);
}

void HomeViewController::addInnerShadow(QWidget *view, int distance, int cornerRadius)
{
    if (!view)
        return;
    PanelView *inner = nullptr;
    for (QObject *child : view->children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (widget && viewTag(widget) == innerShadowTag) {
            inner = qobject_cast<PanelView *>(widget);
            break;
        }
    }
    if (!inner) {
        inner = new PanelView(view);
        setViewTag(inner, innerShadowTag);
        inner->setBackgroundBrush(Qt::white);
        // Decoration only: clicks belong to the view it sits in.
        inner->setUserInteractionEnabled(false);
        inner->lower();
        inner->show();
    }
    inner->setCornerRadius(cornerRadius);
    inner->setBorderColor(faintBlack);
    inner->setBorderWidth(1);
    inner->setShadowColor(Qt::black);
    inner->setShadowOffset(QPoint(0, 0));
    inner->setShadowOpacity(0.2);
    inner->setShadowRadius(distance / 2);
    const QRect bounds = boundsOf(view);
    inner->setFrame(QRect(bounds.x() + distance, bounds.y() + distance,
                          bounds.width() - 2 * distance, bounds.height() - 2 * distance));
}

void HomeViewController::setGradientLayerOld(QWidget *view)
{
    if (!view)
        return;
    QLinearGradient gradient(0, 0, 0, 1);
    gradient.setCoordinateMode(QGradient::ObjectBoundingMode);
    gradient.setColorAt(0.0, darkGray);
    gradient.setColorAt(0.03, Qt::white);
    gradient.setColorAt(0.97, Qt::white);
    gradient.setColorAt(1.0, darkGray);
    auto *layer = new PanelView(view);
    layer->setObjectName(QStringLiteral("gradientLayer"));
    layer->setBackgroundBrush(gradient);
    layer->setUserInteractionEnabled(false);
    layer->setFrame(boundsOf(view));
    layer->lower();
    layer->show();
}

void HomeViewController::cleanBookmarks()
{
    ZestoBookmark::setBookmarks({});
}
