#include "screens/listoroviewcontroller.h"

#include "grid/displayparsedlink.h"
#include "platform/mainqueue.h"
#include "saved/watchedbookmarks.h"
#include "saved/zestobookmark.h"
#include "screens/addressfield.h"
#include "screens/browserpane.h"
#include "screens/browsershortcuts.h"
#include "screens/detailviewcontroller.h"
#include "screens/gridtoolbar.h"
#include "screens/resultsgrid.h"
#include "screens/rulesetsviewcontroller.h"
#include "screens/siteaddresses.h"
#include "screens/teachsession.h"
#include "screens/watchcentre.h"
#include "ui/barbuttonitem.h"
#include "ui/navigationbar.h"
#include "ui/navigationcontroller.h"
#include "ui/navigationitem.h"
#include "ui/storyboardsegue.h"

#include <QGridLayout>
#include <QPushButton>
#include <QThread>
#include <QUrl>
#include <QWebEngineView>

#include <algorithm>

ListoroViewController::ListoroViewController(QWidget *parent)
    : ViewController(parent)
    , m_bookmarkOffer(this, this)
    , m_tileFavorites(this, this)
{
    setObjectName(QStringLiteral("listoroViewController"));
}

ListoroViewController::~ListoroViewController()
{
    // Nothing may reach this screen once it goes: the extractor stops, the grid lets go of it.
    if (m_loader) {
        m_loader->abandonFetch();
        m_loader->dropExtractor();
        m_loader->dismissLoading();
    }
    if (m_grid)
        m_grid->discard();
    if (AlertView *offer = m_bookmarkOffer.alert())
        offer->dismissWithClickedButtonIndex(0, false);
}

// --- views -----------------------------------------------------------------------------------

void ListoroViewController::buildViews()
{
    setAutoFillBackground(true);
    QPalette denim = palette();
    denim.setBrush(QPalette::Window, QBrush(QPixmap(QStringLiteral(":/kindajean.png"))));
    setPalette(denim);

    // The page and the grid take the whole screen, one over the other.
    m_layout = new QGridLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_pane = new BrowserPane(this);
    m_layout->addWidget(m_pane, 0, 0);
    connect(m_pane, &BrowserPane::addressEntered, this,
            &ListoroViewController::textFieldShouldReturn);
    connect(m_pane, &BrowserPane::zestoClicked, this, &ListoroViewController::zestoClicked);
    m_teach = new TeachSession(m_pane, this);
    connect(m_pane, &BrowserPane::teachClicked, this, &ListoroViewController::toggleTeaching);
    connect(m_teach, &TeachSession::stopped, this,
            [this] { m_pane->btnTeach()->setChecked(false); });
    connect(m_teach, &TeachSession::saved, this, [this](const ZestoScrapeSetting &rules) {
        m_flow->messages().ruleSetSaved(rules, m_currentUrl);
    });
    connect(m_pane, &BrowserPane::backClicked, this, &ListoroViewController::backClicked);
    connect(m_pane, &BrowserPane::forwardClicked, this, &ListoroViewController::forwardClicked);
    connect(m_pane, &BrowserPane::loadStarted, this, &ListoroViewController::webViewDidStartLoad);
    connect(webview(), &QWebEngineView::titleChanged, this, &ListoroViewController::updatePlace);
    connect(m_pane, &BrowserPane::loadFinished, this, [this](bool ok) {
        if (ok)
            webViewDidFinishLoad();
        else
            webViewDidFailLoad();
    });

    m_grid = new ResultsGrid(this, m_layout, this);
    connect(m_grid, &ResultsGrid::reloadRequested, this, &ListoroViewController::reloadClicked);
    connect(m_grid, &ResultsGrid::nextRequested, this, &ListoroViewController::nextClicked);
    m_loader = new ResultsLoader(this, this, this);
    m_flow = new GridFlow(this, m_pane, m_grid, m_loader, this);
    connect(m_grid, &ResultsGrid::choiceChanged, m_flow, &GridFlow::keepChoice);
    connect(m_grid->toolbar(), &GridToolbar::watchToggled, this, [this](bool watched) {
        if (WatchCentre *watches = WatchCentre::instance())
            watches->setWatched(m_flow->gridAddress(), watched);
    });

    // Moves between the grid and the page it was made from.
    m_gridToggle = new BarButtonItem(tr("Web page"), BarButtonItem::Style::Bordered);
    connect(m_gridToggle, &BarButtonItem::triggered, this, [this] {
        if (m_grid->isShown()) {
            backClicked();
        } else if (m_grid->exists()) {
            m_pane->hidePage();
            m_grid->show();
            updateGridItems();
        }
    });
    navigationItem()->setRightBarButtonItem(m_gridToggle);
}

QPushButton *ListoroViewController::btnReload() const
{
    return m_grid->toolbar()->btnReload();
}

QPushButton *ListoroViewController::btnNext() const
{
    return m_grid->toolbar()->btnNext();
}

QWidget *ListoroViewController::toolbar() const
{
    return m_grid->toolbar();
}

void ListoroViewController::updateGridItems()
{
    const bool grid = m_grid->isShown();
    m_gridToggle->setTitle(grid ? tr("Web page") : tr("Grid"));
    m_gridToggle->setToolTip(grid ? tr("Show the results page (Ctrl+G)")
                                  : tr("Show the grid of listings (Ctrl+G)"));
    // The favorites grid comes from no web page.
    m_gridToggle->setEnabled(m_currentUrl != favoritesUrl && (grid || m_grid->isOpen()));
    const bool hasNext = extractor() && !extractor()->nextLink().isEmpty();
    // Not behind the loading alert: the grid is not open yet.
    m_grid->setToolbarVisible(grid && m_grid->isOpen(), hasNext, m_currentUrl != favoritesUrl);
    // A bookmarked search can be watched from its grid too.
    const QString page = m_flow->gridAddress();
    m_grid->toolbar()->showWatch(WatchCentre::instance() && !page.isEmpty() && page != favoritesUrl
                                     && ZestoBookmark::isBookmarked(page),
                                 WatchedBookmarks::isWatched(page));
    updatePlace();
}

void ListoroViewController::toggleTeaching()
{
    if (m_teach->isActive()) {
        m_teach->stop();
        return;
    }
    // Teaching points at the page, not at a grid made of it.
    if (m_grid->isShown())
        backClicked();
    m_teach->start(m_currentUrl);
    m_pane->btnTeach()->setChecked(m_teach->isActive());
}

void ListoroViewController::updatePlace()
{
    // What the window's title says: the page, its grid, or the favorites.
    if (m_currentUrl == favoritesUrl) {
        setWindowTitle(tr("Favorites"));
        return;
    }
    QString page = webview() ? webview()->title() : QString();
    if (page.isEmpty() || page == webview()->url().toString())
        page = QUrl(m_currentUrl).host();
    setWindowTitle(m_grid->isShown() ? tr("Grid of %1").arg(page) : page);
}

// --- lifecycle -------------------------------------------------------------------------------

void ListoroViewController::viewDidLoad()
{
    buildViews();
    new BrowserShortcuts(this, m_pane);
    disableZesto();
    disableButton(btnBack());
    disableButton(btnForward());
    getDimensions();
    loadUrl();
    updateGridItems();
}

void ListoroViewController::viewWillAppear(bool animated)
{
    Q_UNUSED(animated)
    if (NavigationController *navigation = navigationController()) {
        connect(navigation, &NavigationController::orientationChanged, this,
                &ListoroViewController::orientationChanged, Qt::UniqueConnection);
    }
    // The detail screen may have added or removed a favorite shown on a tile.
    m_grid->refreshFavoriteMarks();
    if (m_autozesto)
        zestoClicked();
}

void ListoroViewController::viewDidAppear(bool animated)
{
    Q_UNUSED(animated)
    alignWebviewControlsWithNavBar();
    getDimensions();
    resizeCollectionView();
    resizeWebView();
}

void ListoroViewController::viewDidDisappear(bool animated)
{
    Q_UNUSED(animated)
    if (NavigationController *navigation = navigationController()) {
        disconnect(navigation, &NavigationController::orientationChanged, this,
                   &ListoroViewController::orientationChanged);
    }
}

void ListoroViewController::orientationChanged()
{
    getDimensions();
    resizeWebView();
    alignWebviewControlsWithNavBar();
}

// The one place that follows the window's size: a resize that keeps the window's shape lays the
// tiles out for the new width; a turn between landscape and portrait comes through the rotation.
void ListoroViewController::resizeEvent(QResizeEvent *event)
{
    ViewController::resizeEvent(event);
    if (!isViewLoaded())
        return;
    getDimensions();
    if (m_grid->exists() && size() != m_lastLaidOutSize) {
        fixParsedLinksWidths();
        resizeCollectionView();
        m_grid->relayItems();
    }
    m_lastLaidOutSize = size();
}

void ListoroViewController::prepareForSegue(StoryboardSegue &segue, QObject *sender)
{
    Q_UNUSED(sender)
    if (segue.identifier == detailSegue) {
        if (auto *detail = qobject_cast<DetailViewController *>(segue.destination))
            detail->setParsedLink(m_segueLink);
    }
}

// --- browsing --------------------------------------------------------------------------------

bool ListoroViewController::loadUrl()
{
    m_pane->showPage();
    updateGridItems();

    QString address = SiteAddresses::defaultStartPage();
    if (!m_currentUrl.isNull()) {
        address = m_currentUrl;
        navBar()->setText(m_currentUrl);
    } else if (!navBar()->text().isEmpty() && navBar()->text() != u"http://") {
        address = navBar()->text();
    }
    if (address == favoritesUrl) {
        m_flow->queueFavorites();
        return true;
    }
    if (m_pane->load(address))
        return true;
    // An empty field opens nothing and needs no word.
    if (!address.isEmpty())
        m_flow->messages().badAddress(address);
    return false;
}

void ListoroViewController::backClicked()
{
    m_pane->hideLoadingBox();
    if (!m_grid->exists()) {
        // With no grid yet (a first load cancelled), back means back to the page.
        if (!m_pane->isPageShown())
            m_pane->showPage();
        else
            webview()->back();
    } else if (m_grid->isShown()) {
        m_grid->hide();
        m_pane->showPage();
    } else if (m_pane->isPageShown()) {
        webview()->back();
    } else {
        m_grid->show();
    }
    updateGridItems();
}

void ListoroViewController::webViewDidFinishLoad()
{
    resizeWebView();
    m_pane->endPageLoad(true);
    m_currentUrl = navBar()->text();
    RuleSetsViewController::setCurrentPage(m_currentUrl);
}

void ListoroViewController::getDimensions()
{
    // The tablet's frame never turned, so its width and height were swapped in landscape; a
    // window's frame is its real shape, read as the portrait frame of its current orientation.
    const QSize frame = navigationController() ? navigationController()->size() : size();
    const bool landscape = frame.width() > frame.height();
    const int shorter = std::min(frame.width(), frame.height());
    const int longer = std::max(frame.width(), frame.height());
    m_screenWidth = landscape ? longer : shorter;
    m_screenHeight = landscape ? shorter : longer;
    m_grid->setDimensions(m_screenWidth, m_screenHeight);
}

void ListoroViewController::resizeWebView()
{
    // The page lies under the controls bar, or takes its place while the bar is hidden: the
    // pane's layout keeps it so.
    getDimensions();
    m_pane->updateGeometry();
}

void ListoroViewController::alertViewClickedButtonAtIndex(AlertView *alertView, int buttonIndex)
{
    switch (alertView->tag()) {
    case BookmarkOffer:
        m_bookmarkOffer.answerOffer(buttonIndex);
        m_bookmarkOffer.offerClosed();
        break;
    case BookmarkName:
        m_bookmarkOffer.answerName(alertView, buttonIndex, navBar()->text());
        // A page just bookmarked can be watched from its grid.
        updateGridItems();
        break;
    case RemoveFavorite:
        m_tileFavorites.answerRemoval(buttonIndex);
        break;
    case Loading:
        // Cancel abandons the load: no grid appears later on its own.
        if (m_flow->cancel())
            break;
        if (m_autozesto) {
            m_grid->discard();
            QPointer<NavigationController> navigation = navigationController();
            MainQueue::post(this, [navigation] {
                if (navigation)
                    navigation->popViewControllerAnimated(false);
            });
        } else {
            backClicked();
        }
        break;
    default:
        break;
    }
}

// --- grid mode -------------------------------------------------------------------------------

void ListoroViewController::zestoClicked()
{
    m_flow->start();
}

void ListoroViewController::progress(int percent)
{
    m_flow->progress(percent);
}

void ListoroViewController::onParsedLinkModified(const std::shared_ptr<ParsedLink> &parsedLink)
{
    // Records report on the GUI thread only, so no lock guards this.
    Q_ASSERT(QThread::currentThread() == thread());
    m_flow->listingChanged(parsedLink);
}

void ListoroViewController::onNoLinksFound()
{
    m_flow->noListings();
}

void ListoroViewController::nextClicked()
{
    m_flow->next();
}

void ListoroViewController::goTo(const QString &address)
{
    m_currentUrl = address;
    navBar()->setText(address);
}

void ListoroViewController::relayGrid()
{
    fixParsedLinksWidths();
    resizeCollectionView();
    m_grid->relayItems();
    m_lastLaidOutSize = size();
}

void ListoroViewController::didRotateFromInterfaceOrientation(bool wasLandscape)
{
    Q_UNUSED(wasLandscape)
    fixParsedLinksWidths();
    resizeCollectionView();
    if (m_grid->isShown())
        zestoClicked();
    m_grid->relayItems();
    m_lastLaidOutSize = size();
}

void ListoroViewController::showDetailedListing(DisplayParsedLink *tile, const IndexPath &indexPath)
{
    Q_UNUSED(tile)
    if (!extractor() || !extractor()->parsedLinks())
        return;
    m_segueLink = extractor()->parsedLinks()->value(indexPath.row());
    m_autozesto = false;
    performSegue(detailSegue, this);
}
