#pragma once

#include "grid/largeuicollectionview.h"
#include "grid/zestolistingprotocol.h"
#include "scrape/linkextractor.h"
#include "scrape/parsedlinkmodified.h"
#include "scrape/zestoscrapesetting.h"
#include "screens/addressfield.h"
#include "screens/bookmarkoffer.h"
#include "screens/browserpane.h"
#include "screens/gridflow.h"
#include "screens/resultsgrid.h"
#include "screens/resultsloader.h"
#include "screens/tilefavorites.h"
#include "ui/alertview.h"
#include "ui/alertviewdelegate.h"
#include "ui/viewcontroller.h"

#include <QLineEdit>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QWebEngineView>

#include <memory>

class BarButtonItem;
class TeachSession;
class DisplayParsedLink;
class QGridLayout;
class QPushButton;
class QToolButton;

// The browser screen. Its browsing side shows one site in an embedded browser under a bar with
// the address field, back and forward, and the Zesto button (BrowserPane). Its grid side turns the
// current results page (or the stored favorites, for "zesto://favorites") into a grid of listing
// tiles (GridFlow): the page is fetched again and a link extractor lists and details its listings
// (ResultsLoader), and tiles fill in as pages and photos arrive (ResultsGrid), behind a loading
// alert until more than 90 percent have settled. This class keeps the screen's state, its life
// cycle, segues and keys, and answers every alert; the parts do the work.
class ListoroViewController final : public ViewController,
                                    public ParsedLinkModified,
                                    public ZestoListingProtocol,
                                    public AlertViewDelegate,
                                    private GridFlowHost
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ListoroViewController)

public:
    // The bar's toggle between the grid and its web page.
    BarButtonItem *gridToggle() const { return m_gridToggle; }
    static inline const QString favoritesUrl = GridFlow::favoritesUrl;
    static inline const QString detailSegue = QStringLiteral("Detailed View");

    // Alert tags.
    enum AlertTag {
        BookmarkOffer = ::BookmarkOffer::offerTag,
        BookmarkName = ::BookmarkOffer::nameTag,
        RemoveFavorite = TileFavorites::removeTag,
        Loading = ResultsLoader::loadingTag,
    };
    static constexpr int progressViewTag = ResultsLoader::progressViewTag;

    explicit ListoroViewController(QWidget *parent = nullptr);
    ~ListoroViewController() override;

    QString currentUrl() const override { return m_currentUrl; }
    void setCurrentUrl(const QString &url) { m_currentUrl = url; }
    bool autozesto() const { return m_autozesto; }
    void setAutozesto(bool autozesto) { m_autozesto = autozesto; }
    bool isnext() const { return m_flow->isNext(); }
    bool askedbookmark() const { return m_bookmarkOffer.asked(); }
    int screen_width() const { return m_screenWidth; }
    int screen_height() const { return m_screenHeight; }

    // Outlets and state, for the application and its tests.
    QLineEdit *navBar() const { return m_pane->navBar(); }
    QWebEngineView *webview() const { return m_pane->webview(); }
    QPushButton *btnBack() const { return m_pane->btnBack(); }
    QPushButton *btnForward() const { return m_pane->btnForward(); }
    QToolButton *btnClear() const { return m_pane->btnClear(); }
    QPushButton *btnZesto() const { return m_pane->btnZesto(); }
    QPushButton *btnReload() const;
    QPushButton *btnNext() const;
    QWidget *browserControlsView() const { return m_pane->browserControlsView(); }
    QWidget *toolbar() const;
    QWidget *activityIndicator() const { return m_pane->activityIndicator(); }
    LargeUICollectionView *collectionView() const { return m_grid->collectionView(); }
    LinkExtractor::Ptr extractor() const { return m_loader->extractor(); }
    AlertView *loadingAlert() const { return m_loader->loadingAlert(); }
    AlertView *bookmarkAlert() const { return m_bookmarkOffer.alert(); }

    // Lifecycle.
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    void didRotateFromInterfaceOrientation(bool wasLandscape) override;
    void orientationChanged();
    void prepareForSegue(StoryboardSegue &segue, QObject *sender) override;

    // Browsing.
    // False when the address cannot be opened: the user is told, the page shown stays.
    bool loadUrl() override;
    void textFieldShouldReturn()
    {
        const QString previous = m_currentUrl;
        m_currentUrl = navBar()->text();
        if (!loadUrl())
            m_currentUrl = previous;
    }
    void backClicked();
    void forwardClicked()
    {
        m_pane->hideLoadingBox();
        webview()->forward();
    }
    void webViewDidStartLoad() { m_pane->beginPageLoad(); }
    void webViewDidFinishLoad();
    // The browser shows its own error page; the box must not wait for good.
    void webViewDidFailLoad() { m_pane->endPageLoad(false); }
    static void enableButton(QPushButton *button) { BrowserPane::enableButton(button); }
    static void disableButton(QPushButton *button) { BrowserPane::disableButton(button); }
    void enableZesto() { m_pane->setZestoEnabled(true); }
    void disableZesto() { m_pane->setZestoEnabled(false); }
    void getDimensions();
    void resizeWebView();
    void alignWebviewControlsWithNavBar() { m_pane->navBar()->alignButtons(); }
    void showConfirmAddToBookmarks() { offerBookmark(); }
    void offerBookmark() override
    {
        m_bookmarkOffer.offer(m_currentUrl, m_autozesto, favoritesUrl);
    }
    void alertViewClickedButtonAtIndex(AlertView *alertView, int buttonIndex) override;

    // Grid mode.
    void zestoClicked();
    void startLoadingResults() { m_flow->build(); }
    void showLoading() { m_loader->showLoading(); }
    void progress(int percent) override;
    void onParsedLinkModified(const std::shared_ptr<ParsedLink> &parsedLink) override;
    void onNoLinksFound() override;
    // The window title follows the page, the grid or the favorites.
    void updatePlace();
    // Teach mode on the page shown, or off again (the Teach button, Ctrl+T).
    void toggleTeaching();
    TeachSession *teachSession() const { return m_teach; }
    void nextClicked();
    void reloadClicked() { m_grid->reload(); }
    void fitGrid() override { resizeCollectionView(); }
    void resizeCollectionView()
    {
        getDimensions();
        m_grid->fitToFrame();
    }
    void fixParsedLinksWidths()
    {
        getDimensions();
        m_grid->fixWidths();
    }
    void showDetailedListing(DisplayParsedLink *tile, const IndexPath &indexPath) override;
    void addRemoveFavorite(QAbstractButton *button,
                           const std::shared_ptr<ParsedLink> &parsedLink) override
    {
        m_tileFavorites.toggle(button, parsedLink);
    }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildViews();
    void updateGridItems() override;
    void goTo(const QString &address) override;
    void relayGrid() override;

    BrowserPane *m_pane = nullptr;
    TeachSession *m_teach = nullptr;
    QGridLayout *m_layout = nullptr;
    ResultsGrid *m_grid = nullptr;
    ResultsLoader *m_loader = nullptr;
    ::BookmarkOffer m_bookmarkOffer;
    TileFavorites m_tileFavorites;
    GridFlow *m_flow = nullptr;
    BarButtonItem *m_gridToggle = nullptr;

    QString m_currentUrl;
    bool m_autozesto = false;
    int m_screenWidth = 0;
    int m_screenHeight = 0;
    QSize m_lastLaidOutSize;
    // The listing handed to the next detail screen.
    std::shared_ptr<ParsedLink> m_segueLink;
};
