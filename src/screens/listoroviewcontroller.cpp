#include "screens/listoroviewcontroller.h"

#include "grid/displayparsedlink.h"
#include "grid/largeuicollectionview.h"
#include "grid/tilesettings.h"
#include "platform/httpclient.h"
#include "platform/mainqueue.h"
#include "saved/zestobookmark.h"
#include "saved/zestofavorite.h"
#include "screens/detailviewcontroller.h"
#include "screens/siteaddresses.h"
#include "ui/activityindicatorview.h"
#include "ui/alertview.h"
#include "ui/barbuttonitem.h"
#include "ui/collectionviewflowlayout.h"
#include "ui/navigationbar.h"
#include "ui/navigationcontroller.h"
#include "ui/navigationitem.h"
#include "ui/storyboardsegue.h"
#include "ui/viewtag.h"

#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QToolButton>
#include <QWebEngineHistory>
#include <QWebEngineView>

#include <algorithm>
#include <cmath>
#include <set>

Q_LOGGING_CATEGORY(lcBrowser, "listoro.browser")

namespace {

// State shared by every browser screen: the listing handed to the next detail screen, the
// listing and button of a pending favorite removal, and the scroll bookkeeping of the grid.
ParsedLink::Ptr segue_link;
ParsedLink::Ptr toRemoveParsedLink;
QPointer<QAbstractButton> removeButtonSender;
int lastOffset = 0;
std::optional<std::set<int>> visiblePathsInLastScroll;

constexpr int controlsHeight = 52;
constexpr int toolbarHeight = 48;

QBrush patternBrush(const QString &image)
{
    return QBrush(QPixmap(image));
}

QPushButton *controlButton(const QString &text, const QString &tip, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setToolTip(tip);
    button->setCursor(Qt::PointingHandCursor);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

ListoroViewController::ListoroViewController(QWidget *parent)
    : ViewController(parent)
{
    setObjectName(QStringLiteral("listoroViewController"));
}

ListoroViewController::~ListoroViewController()
{
    if (m_pageFetch)
        m_pageFetch->abort();
    if (m_extractor)
        m_extractor->stop();
    if (m_collectionView) {
        m_collectionView->setDataSource(nullptr);
        m_collectionView->setDelegate(nullptr);
    }
    for (AlertView *alert : { m_loadingAlert.data(), m_bookmarkAlert.data() }) {
        if (alert)
            alert->dismissWithClickedButtonIndex(0, false);
    }
}

// --- views -----------------------------------------------------------------------------------

void ListoroViewController::buildViews()
{
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setBrush(QPalette::Window, patternBrush(QStringLiteral(":/kindajean.png")));
    setPalette(p);

    m_browserControlsView = new QWidget(this);
    m_browserControlsView->setObjectName(QStringLiteral("browserControlsView"));
    m_browserControlsView->setAutoFillBackground(true);
    m_browserControlsView->setStyleSheet(QStringLiteral(
        "QPushButton { color: white; background: rgba(255,255,255,0.12); border: 1px solid "
        "rgba(255,255,255,0.25); border-radius: 6px; padding: 4px 10px; font-weight: 600; }"
        "QPushButton:hover { background: rgba(255,255,255,0.22); }"
        "QPushButton#btnZesto { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 "
        "#ffb347, stop:1 #f07c00); border: 1px solid #b85e00; color: white; font-size: 15px; "
        "padding: 4px 18px; }"
        "QPushButton#btnZesto:hover { background: #ff9f1a; }"
        "QLineEdit { border: 1px solid #555; border-radius: 6px; background: white; "
        "padding: 4px 8px; font-size: 14px; selection-background-color: #3d7fd6; }"));

    m_navBar = new QLineEdit(m_browserControlsView);
    m_navBar->setObjectName(QStringLiteral("navBar"));
    m_navBar->setPlaceholderText(tr("Address of a classified site's page"));
    connect(m_navBar, &QLineEdit::returnPressed, this,
            &ListoroViewController::textFieldShouldReturn);

    m_btnBack = controlButton(QStringLiteral("‹"), tr("Back (Alt+Left)"), m_browserControlsView);
    m_btnBack->setObjectName(QStringLiteral("btnBack"));
    connect(m_btnBack, &QPushButton::clicked, this, &ListoroViewController::backClicked);
    m_btnForward
        = controlButton(QStringLiteral("›"), tr("Forward (Alt+Right)"), m_browserControlsView);
    m_btnForward->setObjectName(QStringLiteral("btnForward"));
    connect(m_btnForward, &QPushButton::clicked, this, &ListoroViewController::forwardClicked);
    for (QPushButton *arrow : { m_btnBack, m_btnForward }) {
        arrow->setFixedSize(34, 30);
        arrow->setStyleSheet(QStringLiteral("QPushButton { color: #333; background: transparent; "
                                            "border: none; font-size: 22px; padding: 0 0 3px 0; }"
                                            "QPushButton:hover { color: #000; }"));
    }
    // The field's own clear button would lie under the forward button: this one sits beside it.
    m_btnClear = new QToolButton(m_browserControlsView);
    m_btnClear->setObjectName(QStringLiteral("btnClear"));
    m_btnClear->setIcon(style()->standardIcon(QStyle::SP_LineEditClearButton));
    m_btnClear->setToolTip(tr("Clear the address"));
    m_btnClear->setCursor(Qt::ArrowCursor);
    m_btnClear->setFocusPolicy(Qt::NoFocus);
    m_btnClear->setAutoRaise(true);
    m_btnClear->setFixedSize(24, 24);
    m_btnClear->setStyleSheet(
        QStringLiteral("QToolButton { border: none; background: transparent; }"));
    m_btnClear->hide();
    connect(m_btnClear, &QToolButton::clicked, this, [this] {
        m_navBar->clear();
        m_navBar->setFocus(Qt::MouseFocusReason);
    });
    connect(m_navBar, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_btnClear->setVisible(!text.isEmpty()); });
    m_navBar->setTextMargins(34, 0, 34 + 24, 0);
    m_btnZesto = controlButton(tr("Zesto!"), tr("Show the listings of this page as a grid"),
                               m_browserControlsView);
    m_btnZesto->setObjectName(QStringLiteral("btnZesto"));
    connect(m_btnZesto, &QPushButton::clicked, this, &ListoroViewController::zestoClicked);

    m_webview = new QWebEngineView(this);
    m_webview->setObjectName(QStringLiteral("webview"));
    connect(m_webview, &QWebEngineView::loadStarted, this,
            &ListoroViewController::webViewDidStartLoad);
    connect(m_webview, &QWebEngineView::loadFinished, this, [this](bool ok) {
        if (ok)
            webViewDidFinishLoad();
        else
            webViewDidFailLoad();
    });

    m_toolbar = new QWidget(this);
    m_toolbar->setObjectName(QStringLiteral("toolbar"));
    m_toolbar->setAutoFillBackground(true);
    m_toolbar->setStyleSheet(QStringLiteral(
        "QWidget#toolbar { background: rgba(30,30,30,0.88); border-top: 1px solid #111; }"
        "QPushButton { color: white; background: rgba(255,255,255,0.14); border: 1px solid "
        "rgba(255,255,255,0.3); border-radius: 6px; padding: 6px 16px; font-weight: 600; }"
        "QPushButton:hover { background: rgba(255,255,255,0.26); }"));
    auto *bar = new QHBoxLayout(m_toolbar);
    bar->setContentsMargins(12, 6, 12, 6);
    m_btnReload = controlButton(tr("Reload tiles"), tr("Draw the tiles again (F5)"), m_toolbar);
    m_btnReload->setObjectName(QStringLiteral("btnReload"));
    connect(m_btnReload, &QPushButton::clicked, this, &ListoroViewController::reloadClicked);
    m_btnNext
        = controlButton(tr("Next page  ›"), tr("The next page of results, as a grid"), m_toolbar);
    m_btnNext->setObjectName(QStringLiteral("btnNext"));
    connect(m_btnNext, &QPushButton::clicked, this, &ListoroViewController::nextClicked);
    bar->addWidget(m_btnReload);
    bar->addStretch(1);
    bar->addWidget(m_btnNext);
    m_toolbar->hide();

    m_scratchTile = new DisplayParsedLink(this);
    m_scratchTile->hide();

    // Moves between the grid and the page it was made from.
    m_gridToggle = new BarButtonItem(tr("Web page"), BarButtonItem::Style::Bordered);
    connect(m_gridToggle, &BarButtonItem::triggered, this, [this] {
        if (gridShown()) {
            backClicked();
        } else if (m_collectionView) {
            m_webview->hide();
            m_browserControlsView->hide();
            m_collectionView->show();
            m_collectionView->raise();
            updateGridItems();
        }
    });
    navigationItem()->setRightBarButtonItem(m_gridToggle);
}

void ListoroViewController::buildShortcuts()
{
    const auto add = [this](const QKeySequence &keys, auto slot) {
        auto *shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, slot);
    };
    add(QKeySequence(Qt::CTRL | Qt::Key_L), [this] {
        if (!m_browserControlsView->isVisible())
            backClicked();
        m_navBar->setFocus(Qt::ShortcutFocusReason);
        m_navBar->selectAll();
    });
    add(QKeySequence(Qt::ALT | Qt::Key_Left), [this] { backClicked(); });
    add(QKeySequence(Qt::ALT | Qt::Key_Right), [this] { forwardClicked(); });
    add(QKeySequence(Qt::Key_F5), [this] {
        if (gridShown())
            reloadClicked();
        else
            m_webview->reload();
    });
    add(QKeySequence(Qt::Key_Escape), [this] {
        if (!m_loadingAlert && m_webview->isVisible()) {
            m_webview->stop();
            if (m_activityIndicator)
                m_activityIndicator->hide();
        }
    });
}

void ListoroViewController::updateGridItems()
{
    const bool grid = gridShown();
    m_gridToggle->setTitle(grid ? tr("Web page") : tr("Grid"));
    // The favorites grid comes from no web page.
    m_gridToggle->setEnabled(m_currentUrl != favoritesUrl
                             && (grid || (m_collectionView && m_collectionView->alpha() > 0)));
    const bool hasNext = m_extractor && !m_extractor->nextLink().isEmpty();
    m_toolbar->setVisible(grid && hasNext);
    if (m_toolbar->isVisible())
        m_toolbar->raise();
}

bool ListoroViewController::gridShown() const
{
    return m_collectionView && !m_collectionView->isHidden();
}

// --- lifecycle -------------------------------------------------------------------------------

void ListoroViewController::viewDidLoad()
{
    buildViews();
    buildShortcuts();
    m_askedbookmark = false;
    disableZesto();
    disableButton(m_btnBack);
    disableButton(m_btnForward);
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
    QPalette p = m_browserControlsView->palette();
    p.setBrush(QPalette::Window, patternBrush(QStringLiteral(":/nasty_fabric.png")));
    m_browserControlsView->setPalette(p);
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

void ListoroViewController::resizeEvent(QResizeEvent *event)
{
    ViewController::resizeEvent(event);
    if (!isViewLoaded())
        return;
    getDimensions();
    resizeWebView();
    alignWebviewControlsWithNavBar();
    // A resize that keeps the window's shape lays the tiles out again for the new width; a turn
    // between landscape and portrait goes through the rotation instead.
    if (m_collectionView && size() != m_lastLaidOutSize) {
        fixParsedLinksWidths();
        resizeCollectionView();
        m_collectionView->performBatchUpdates({}, {});
    }
    m_lastLaidOutSize = size();
    if (m_toolbar->isVisible())
        m_toolbar->setGeometry(0, height() - toolbarHeight, width(), toolbarHeight);
    if (m_activityIndicator)
        m_activityIndicator->move((m_screenWidth - 120) / 2, 100);
}

void ListoroViewController::prepareForSegue(StoryboardSegue &segue, QObject *sender)
{
    Q_UNUSED(sender)
    if (segue.identifier == detailSegue) {
        if (auto *detail = qobject_cast<DetailViewController *>(segue.destination))
            detail->setParsedLink(segue_link);
    }
}

// --- browsing --------------------------------------------------------------------------------

void ListoroViewController::loadUrl()
{
    m_webview->show();
    m_browserControlsView->show();
    updateGridItems();

    QString address = SiteAddresses::defaultStartPage();
    if (!m_currentUrl.isNull()) {
        address = m_currentUrl;
        m_navBar->setText(m_currentUrl);
    } else if (!m_navBar->text().isEmpty() && m_navBar->text() != u"http://") {
        address = m_navBar->text();
    }

    if (address == favoritesUrl) {
        if (!m_favoritesLoadQueued) {
            m_favoritesLoadQueued = true;
            MainQueue::post(this, [this] { startLoadingResults(); });
        }
        return;
    }
    // An address that does not parse gives the browser nothing to load.
    const QUrl url(address, QUrl::StrictMode);
    if (url.isValid())
        m_webview->load(url);
    else
        qCDebug(lcBrowser) << "not an address:" << address;
}

void ListoroViewController::textFieldShouldReturn()
{
    m_currentUrl = m_navBar->text();
    loadUrl();
}

void ListoroViewController::backClicked()
{
    if (m_activityIndicator)
        m_activityIndicator->hide();
    if (!m_collectionView) {
        // With no grid yet (a first load cancelled), back means back to the page.
        if (m_webview->isHidden()) {
            m_webview->show();
            m_browserControlsView->show();
        } else {
            m_webview->back();
        }
    } else if (!m_collectionView->isHidden()) {
        m_collectionView->hide();
        m_webview->show();
        m_browserControlsView->show();
    } else if (m_webview->isVisible() || !m_webview->isHidden()) {
        m_webview->back();
    } else {
        m_collectionView->show();
    }
    updateGridItems();
}

void ListoroViewController::forwardClicked()
{
    if (m_activityIndicator)
        m_activityIndicator->hide();
    m_webview->forward();
}

void ListoroViewController::webViewDidStartLoad()
{
    if (m_activityIndicator) {
        m_activityIndicator->hide();
        m_activityIndicator->deleteLater();
    }
    m_activityIndicator.clear();

    auto *box = new QWidget(this);
    box->setObjectName(QStringLiteral("pageLoadingBox"));
    box->setAttribute(Qt::WA_TransparentForMouseEvents);
    box->setGeometry((m_screenWidth - 120) / 2, 100, 120, 120);
    box->setStyleSheet(QStringLiteral("QWidget#pageLoadingBox { background: rgba(0,0,0,0.6); "
                                      "border-radius: 15px; }"));
    box->setAttribute(Qt::WA_StyledBackground);
    auto *label = new QLabel(tr("Loading"), box);
    label->setGeometry(20, 25, 81, 22);
    label->setAlignment(Qt::AlignCenter);
    QFont bold = label->font();
    bold.setBold(true);
    bold.setPixelSize(18);
    label->setFont(bold);
    label->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    auto *spinner = new ActivityIndicatorView(ActivityIndicatorView::Style::WhiteLarge, box);
    spinner->setGeometry(42, 54, 37, 37);
    spinner->startAnimating();
    box->show();
    box->raise();
    m_activityIndicator = box;
    disableZesto();
}

void ListoroViewController::webViewDidFinishLoad()
{
    resizeWebView();
    m_navBar->setText(m_webview->url().toString(QUrl::FullyEncoded));
    m_navBar->setCursorPosition(0);
    m_currentUrl = m_navBar->text();
    enableZesto();
    endPageLoad();
}

void ListoroViewController::webViewDidFailLoad()
{
    // The browser shows its own error page; the box must not wait for good.
    endPageLoad();
}

void ListoroViewController::endPageLoad()
{
    if (m_activityIndicator)
        m_activityIndicator->hide();
    m_activityIndicator.clear();
    const QWebEngineHistory *history = m_webview->history();
    history->canGoBack() ? enableButton(m_btnBack) : disableButton(m_btnBack);
    history->canGoForward() ? enableButton(m_btnForward) : disableButton(m_btnForward);
}

void ListoroViewController::enableButton(QPushButton *button)
{
    button->setEnabled(true);
    button->setGraphicsEffect(nullptr);
}

void ListoroViewController::disableButton(QPushButton *button)
{
    button->setEnabled(false);
    auto *faded = new QGraphicsOpacityEffect(button);
    faded->setOpacity(0.1);
    button->setGraphicsEffect(faded);
}

void ListoroViewController::getDimensions()
{
    // The tablet's frame never turned, so its width and height were swapped in landscape; a
    // window's frame is its real shape, read as the portrait frame of its current orientation.
    const QSize frame = navigationController() ? navigationController()->size() : size();
    const int w = std::min(frame.width(), frame.height());
    const int h = std::max(frame.width(), frame.height());
    const bool landscape = frame.width() > frame.height();
    m_screenWidth = landscape ? h : w;
    m_screenHeight = landscape ? w : h;
}

void ListoroViewController::resizeWebView()
{
    getDimensions();
    const int navH = navigationController() ? navigationController()->navigationBar()->height() : 0;
    const int statusH = NavigationController::statusBarThickness();
    const int ctlH = m_browserControlsView->isHidden() ? 0 : controlsHeight;
    m_browserControlsView->setGeometry(0, 0, m_screenWidth, controlsHeight);
    m_webview->setGeometry(0, ctlH, m_screenWidth, (m_screenHeight - ctlH) - navH - statusH);
}

void ListoroViewController::alignWebviewControlsWithNavBar()
{
    // The address field spans the bar up to the Zesto button; back and forward sit at its ends.
    const int zestoWidth = std::max(110, m_btnZesto->sizeHint().width());
    m_btnZesto->setGeometry(m_screenWidth - zestoWidth - 12, 9, zestoWidth, 34);
    m_navBar->setGeometry(12, 10, m_screenWidth - zestoWidth - 36, 32);
    const QRect field = m_navBar->geometry();
    m_btnBack->move(field.x(), field.y() + (field.height() - m_btnBack->height()) / 2);
    m_btnForward->move(field.x() + field.width() - m_btnForward->width(),
                       field.y() + (field.height() - m_btnForward->height()) / 2);
    m_btnClear->move(m_btnForward->x() - m_btnClear->width(),
                     field.y() + (field.height() - m_btnClear->height()) / 2);
    m_btnBack->show();
    m_btnForward->show();
    m_btnBack->raise();
    m_btnForward->raise();
    m_btnClear->raise();
}

void ListoroViewController::showConfirmAddToBookmarks()
{
    // The favorites grid has no address to keep, whatever way led to it.
    if (m_currentUrl == favoritesUrl)
        return;
    const QList<ZestoBookmark> bookmarks = ZestoBookmark::getBookmarks();
    if (std::any_of(bookmarks.cbegin(), bookmarks.cend(),
                    [this](const ZestoBookmark &b) { return b.url() == m_currentUrl; })) {
        return;
    }
    if (m_bookmarkAlert || m_autozesto || m_askedbookmark)
        return;
    auto *alert = new AlertView(this);
    alert->setTag(BookmarkOffer);
    alert->setTitle(tr("Bookmark page?"));
    alert->setMessage(tr("Would you like to bookmark this page for future use?"));
    alert->setDelegate(this);
    alert->addButtonWithTitle(tr("Yes"));
    alert->addButtonWithTitle(tr("No"));
    alert->setCancelButtonIndex(1);
    m_bookmarkAlert = alert;
    m_askedbookmark = true;
    alert->show();
}

void ListoroViewController::alertViewClickedButtonAtIndex(AlertView *alertView, int buttonIndex)
{
    switch (alertView->tag()) {
    case BookmarkOffer:
        if (buttonIndex == 0) {
            auto *prompt = new AlertView(this);
            prompt->setAlertViewStyle(AlertView::AlertViewStyle::PlainTextInput);
            prompt->setTitle(tr("Name your bookmark"));
            prompt->setMessage(tr("i.e: antique tables below $60"));
            prompt->addButtonWithTitle(tr("Save"));
            prompt->setDelegate(this);
            prompt->setTag(BookmarkName);
            prompt->show();
        }
        break;
    case BookmarkName:
        if (buttonIndex == 0) {
            const QLineEdit *field = alertView->textFieldAtIndex(0);
            ZestoBookmark bookmark;
            bookmark.setTitle(field ? field->text() : QString());
            bookmark.setUrl(m_navBar->text());
            bookmark.addToBookmarks();
        }
        break;
    case RemoveFavorite:
        if (buttonIndex == 0) {
            if (toRemoveParsedLink)
                ZestoFavorite::removeFavoriteWithUrl(toRemoveParsedLink->url());
            if (removeButtonSender) {
                DisplayParsedLink::showFavoriteState(removeButtonSender, false);
                removeButtonSender->setEnabled(true);
            }
        } else if (removeButtonSender) {
            removeButtonSender->setEnabled(true);
        }
        toRemoveParsedLink.reset();
        break;
    case Loading:
        // Cancel abandons the load: no grid appears later on its own.
        abandonLoading();
        if (m_autozesto) {
            if (m_collectionView)
                m_collectionView->deleteLater();
            m_collectionView.clear();
            QPointer<NavigationController> navigation = navigationController();
            MainQueue::post(this, [navigation] {
                if (navigation)
                    navigation->popViewControllerAnimated(false);
            });
        } else {
            m_loadingAlert.clear();
            backClicked();
        }
        break;
    default:
        break;
    }
    if (alertView->tag() == BookmarkOffer)
        m_bookmarkAlert.clear();
}

// --- grid mode -------------------------------------------------------------------------------

void ListoroViewController::zestoClicked()
{
    showLoading();
    m_webview->hide();
    m_browserControlsView->hide();
    if (m_activityIndicator)
        m_activityIndicator->hide();
    if (m_collectionView)
        m_collectionView->show();
    updateGridItems();

    if (m_currentUrl == favoritesUrl) {
        // The favorites grid is built from the store; loadUrl() may have queued it already.
        if (!m_favoritesLoadQueued) {
            m_favoritesLoadQueued = true;
            MainQueue::post(this, [this] { startLoadingResults(); });
        }
        return;
    }

    if (m_pageFetch)
        m_pageFetch->abort();
    m_receivedData.clear();
    const QUrl url(m_currentUrl, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty()) {
        MainQueue::post(this,
                        [this] { fetchFailed(tr("This is not the address of a web page.")); });
        return;
    }
    m_pageFetch = HttpClient::instance().get(url, this, [this](const HttpResult &result) {
        m_pageFetch.reset();
        if (!result.ok()) {
            fetchFailed(result.error);
            return;
        }
        if (!result.isSuccessStatus()) {
            fetchFailed(tr("The site answered with HTTP status %1.").arg(result.statusCode));
            return;
        }
        m_receivedData = result.body;
        if (m_receivedData.isNull())
            m_receivedData = QByteArray("");
        startLoadingResults();
    });
}

void ListoroViewController::fetchFailed(const QString &reason)
{
    dismissLoadingAlert();
    loadUrl();
    showMessage(
        tr("The page could not be loaded"),
        tr("Listoro could not fetch %1 again to find its listings.\n%2").arg(m_currentUrl, reason));
}

void ListoroViewController::abandonLoading()
{
    if (m_pageFetch) {
        m_pageFetch->abort();
        m_pageFetch.reset();
    }
    if (m_collectionView && m_collectionView->alpha() == 0) {
        // A grid still loading behind the alert goes with it.
        if (m_extractor) {
            m_extractor->stop();
            m_extractor.reset();
        }
        m_collectionView->deleteLater();
        m_collectionView.clear();
    }
}

void ListoroViewController::dismissLoadingAlert()
{
    if (m_loadingAlert)
        m_loadingAlert->dismissWithClickedButtonIndex(0, false);
    m_loadingAlert.clear();
}

void ListoroViewController::showMessage(const QString &title, const QString &message)
{
    auto *alert = new AlertView(this);
    alert->setTitle(title);
    alert->setMessage(message);
    alert->addButtonWithTitle(tr("Ok"));
    alert->show();
}

void ListoroViewController::startLoadingResults()
{
    m_favoritesLoadQueued = false;
    if (m_extractor)
        m_extractor->stop();

    m_noLinksFound = false;
    m_refusalNoted = false;
    m_refusalPending = false;
    if (m_currentUrl == favoritesUrl) {
        m_extractor.reset();
        m_extractor = LinkExtractor::initWithFavorites(ZestoFavorite::getFavorites(), this);
    } else if (!m_receivedData.isNull()) {
        m_extractor.reset();
        m_extractor = LinkExtractor::initWithData(m_receivedData, this, m_currentUrl);
        if (m_noLinksFound) {
            // The page is back in the browser with the message; no empty grid covers it.
            m_extractor->stop();
            m_extractor.reset();
            return;
        }
    }
    if (!m_extractor)
        return;

    if (m_collectionView) {
        m_collectionView->setDataSource(nullptr);
        m_collectionView->setDelegate(nullptr);
        m_collectionView->deleteLater();
    }
    const int top = m_navBar->height();
    auto *grid = new LargeUICollectionView(QRect(0, top, m_screenWidth, m_screenHeight - top),
                                           new CollectionViewFlowLayout, this);
    grid->setObjectName(QStringLiteral("collectionView"));
    m_collectionView = grid;
    grid->setAlpha(0);
    grid->setBackgroundBrush(patternBrush(QStringLiteral(":/kindajean.png")));
    grid->registerClass<DisplayParsedLink>(DisplayParsedLink::reuseIdentifier);
    grid->setDelegate(this);
    grid->setDataSource(this);
    grid->show();
    grid->raise();
    resizeCollectionView();
    updateGridItems();
    if (m_loadingAlert)
        m_loadingAlert->raise();
    m_extractor->startDetailing();

    // A grid with nothing to wait for (no favorites, no listing) opens at once.
    if (m_extractor && m_extractor->parsedLinks() && m_extractor->parsedLinks()->isEmpty())
        progress(100);
}

void ListoroViewController::showLoading()
{
    if (m_loadingAlert)
        return;
    auto *alert
        = new AlertView(QStringLiteral(" "), QStringLiteral(" "), this, tr("Cancel"), {}, this);
    auto *bar = new QProgressBar;
    bar->setGeometry(50, 50, 200, 30);
    bar->setFixedSize(200, 30);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    setViewTag(bar, progressViewTag);
    alert->addSubview(bar);
    alert->setTitle(tr("Loading... %1%").arg(0));
    alert->setTag(Loading);
    m_loadingAlert = alert;
    alert->show();
}

void ListoroViewController::progress(int percent)
{
    if (percent <= 90) {
        if (m_loadingAlert) {
            if (auto *bar
                = qobject_cast<QProgressBar *>(m_loadingAlert->viewWithTag(progressViewTag)))
                bar->setValue(percent);
            m_loadingAlert->setTitle(tr("Loading... %1%").arg(percent));
        }
        return;
    }
    if (m_collectionView) {
        m_collectionView->setAlpha(1.0);
        m_collectionView->show();
        m_collectionView->reloadData();
    }
    updateGridItems();
    if (!m_loadingAlert)
        return;
    dismissLoadingAlert();
    if (!m_isnext)
        showConfirmAddToBookmarks();
    if (m_refusalPending)
        noteRefusal();
    QPointer<LargeUICollectionView> grid = m_collectionView;
    MainQueue::post(this, [grid] {
        if (grid)
            grid->reloadData();
    });
}

void ListoroViewController::onParsedLinkModified(const std::shared_ptr<ParsedLink> &parsedLink)
{
    QMutexLocker locker(&m_lock);
    if (!m_collectionView || !parsedLink)
        return;
    if (parsedLink->idInList() >= m_collectionView->numberOfItemsInSection(0))
        return;
    configureTile(m_scratchTile);
    m_scratchTile->setParsedLink(parsedLink);
    m_scratchTile->computeDimensions();
    m_collectionView->reloadData();
    if (parsedLink->refused())
        noteRefusal();
}

void ListoroViewController::noteRefusal()
{
    if (m_refusalNoted)
        return;
    // Said once the loading alert has closed, so the two never stand over each other.
    if (m_loadingAlert) {
        m_refusalPending = true;
        return;
    }
    m_refusalNoted = true;
    m_refusalPending = false;
    showMessage(tr("The site is limiting requests; some listings could not be loaded"),
                tr("The site refused some listing pages. They keep the title of the results "
                   "page; try again in a while."));
}

void ListoroViewController::onNoLinksFound()
{
    m_noLinksFound = true;
    dismissLoadingAlert();
    loadUrl();
    auto *alert = new AlertView(this);
    alert->setTitle(tr("You must be on a page that contains search results or a list of links "
                       "prior to clicking the Zesto button"));
    alert->addButtonWithTitle(tr("Ok"));
    alert->show();
}

void ListoroViewController::nextClicked()
{
    if (!m_extractor || m_extractor->nextLink().isNull())
        return;
    const QString next = m_extractor->nextLink();
    if (m_collectionView) {
        m_collectionView->setDataSource(nullptr);
        m_collectionView->setDelegate(nullptr);
        m_collectionView->deleteLater();
    }
    m_collectionView.clear();
    m_navBar->setText(next);
    m_currentUrl = next;
    m_isnext = true;
    loadUrl();
    zestoClicked();
}

void ListoroViewController::reloadClicked()
{
    if (!m_collectionView)
        return;
    m_collectionView->reloadData();
    for (CollectionViewCell *cell : m_collectionView->visibleCells())
        cell->update();
}

void ListoroViewController::resizeCollectionView()
{
    getDimensions();
    if (!m_collectionView || m_collectionView->isHidden())
        return;
    const int navH = navigationController() ? navigationController()->navigationBar()->height() : 0;
    const int statusH = NavigationController::statusBarThickness();
    m_collectionView->setGeometry(0, 0, m_screenWidth, m_screenHeight - navH - statusH);
    visiblePathsInLastScroll.reset();
    m_toolbar->setGeometry(0, m_screenHeight - navH - statusH - toolbarHeight, m_screenWidth,
                           toolbarHeight);
    m_toolbar->raise();
}

void ListoroViewController::fixParsedLinksWidths()
{
    getDimensions();
    if (!m_extractor || !m_extractor->parsedLinks())
        return;
    for (const ParsedLink::Ptr &link : *m_extractor->parsedLinks())
        link->setSize({ float(m_screenWidth), link->size().height });
    if (!m_collectionView)
        return;
    const int count = m_collectionView->numberOfItemsInSection(0);
    for (int i = 0; i < count; ++i) {
        if (auto *tile = qobject_cast<DisplayParsedLink *>(
                m_collectionView->cellForItemAtIndexPath(IndexPath{ 0, i }))) {
            tile->recomputeDimensionsWithWidth(m_screenWidth);
        }
    }
}

void ListoroViewController::didRotateFromInterfaceOrientation(bool wasLandscape)
{
    Q_UNUSED(wasLandscape)
    fixParsedLinksWidths();
    resizeCollectionView();
    if (m_collectionView && !m_collectionView->isHidden())
        zestoClicked();
    if (m_collectionView)
        m_collectionView->performBatchUpdates({}, {});
    m_lastLaidOutSize = size();
}

void ListoroViewController::showDetailedListing(DisplayParsedLink *tile, const IndexPath &indexPath)
{
    Q_UNUSED(tile)
    if (!m_extractor || !m_extractor->parsedLinks())
        return;
    segue_link = m_extractor->parsedLinks()->value(indexPath.row());
    m_autozesto = false;
    performSegue(detailSegue, this);
}

void ListoroViewController::addRemoveFavorite(QAbstractButton *button,
                                              const std::shared_ptr<ParsedLink> &parsedLink)
{
    if (!button || !parsedLink)
        return;
    button->setEnabled(false);
    if (viewTag(button) != 0) {
        toRemoveParsedLink = parsedLink;
        removeButtonSender = button;
        auto *alert = new AlertView(this);
        alert->setTag(RemoveFavorite);
        alert->setTitle(tr("Remove Favorite?"));
        alert->setMessage(tr("Are you sure you would like to remove from favorites?"));
        alert->setDelegate(this);
        alert->addButtonWithTitle(tr("Yes"));
        alert->addButtonWithTitle(tr("No"));
        alert->setCancelButtonIndex(1);
        alert->show();
        return;
    }
    ZestoFavorite favorite;
    favorite.setUrl(parsedLink->url());
    favorite.setTitle(parsedLink->title());
    favorite.addToFavorites();
    DisplayParsedLink::showFavoriteState(button, true);
    button->setEnabled(true);
}

// --- the grid's data source and delegate -----------------------------------------------------

void ListoroViewController::configureTile(DisplayParsedLink *tile) const
{
    TileSettings::configure(tile, m_screenWidth);
}

int ListoroViewController::collectionViewNumberOfItemsInSection(CollectionView *, int)
{
    if (!m_extractor)
        return 1;
    return m_extractor->parsedLinks() ? int(m_extractor->parsedLinks()->size()) : 0;
}

CollectionViewCell *ListoroViewController::collectionViewCellForItemAtIndexPath(
    CollectionView *collectionView, const IndexPath &indexPath)
{
    auto *tile = qobject_cast<DisplayParsedLink *>(
        collectionView->dequeueReusableCell(DisplayParsedLink::reuseIdentifier, indexPath));
    if (!tile)
        return nullptr;
    const ParsedLink::Ptr link = m_extractor && m_extractor->parsedLinks()
        ? m_extractor->parsedLinks()->value(indexPath.row())
        : nullptr;
    // A tile that already shows the listing as it is now is returned as it is.
    if (link && !tile->showsCurrent(link)) {
        configureTile(tile);
        tile->setDelegate(this);
        tile->setParsedLink(link);
        tile->render();
    }
    return tile;
}

QSizeF ListoroViewController::sizeForItemAtIndexPath(CollectionView *, CollectionViewFlowLayout *,
                                                     const IndexPath &indexPath)
{
    const ParsedLink::Ptr link = m_extractor && m_extractor->parsedLinks()
        ? m_extractor->parsedLinks()->value(indexPath.row())
        : nullptr;
    if (link && link->size().height > 0)
        return QSizeF(link->size().width, link->size().height);
    return QSizeF(m_screenWidth, TileSettings::unlaidHeight);
}

QMarginsF ListoroViewController::insetForSectionAtIndex(CollectionView *,
                                                        CollectionViewFlowLayout *, int)
{
    return TileSettings::sectionInset();
}

void ListoroViewController::scrollViewDidScroll(CollectionView *collectionView)
{
    const int offset = int(collectionView->contentOffset().y());
    const int distance = std::abs(offset - lastOffset);
    if (distance > m_screenHeight / 2) {
        lastOffset = offset;
        reloadDataForVisibleSectionsThatHaveNotBeenReloadedInLastScroll(collectionView);
    }
}

void ListoroViewController::scrollViewDidEndDragging(CollectionView *collectionView, bool)
{
    const int offset = int(collectionView->contentOffset().y());
    const int distance = std::abs(offset - lastOffset);
    if (distance > m_screenHeight * 0.5 - 1.0
        || collectionView->contentOffset().y() == collectionView->height()) {
        reloadDataForVisibleSectionsThatHaveNotBeenReloadedInLastScroll(collectionView);
    }
}

void ListoroViewController::reloadDataForVisibleSectionsThatHaveNotBeenReloadedInLastScroll(
    CollectionView *scrollView)
{
    lastOffset = int(scrollView->contentOffset().y());
    std::set<int> visible;
    for (const IndexPath &path : scrollView->indexPathsForVisibleItems())
        visible.insert(path.row());
    QList<IndexPath> reload;
    for (int row : visible) {
        if (!visiblePathsInLastScroll || !visiblePathsInLastScroll->count(row))
            reload.append(IndexPath{ 0, row });
    }
    if (visiblePathsInLastScroll)
        visiblePathsInLastScroll->insert(visible.cbegin(), visible.cend());
    else
        visiblePathsInLastScroll = visible;
    scrollView->reloadItems(reload);
}
