#pragma once

#include "grid/largeuicollectionview.h"
#include "grid/zestolistingprotocol.h"
#include "scrape/linkextractor.h"
#include "scrape/parsedlinkmodified.h"
#include "ui/alertview.h"
#include "ui/alertviewdelegate.h"
#include "ui/barbuttonitem.h"
#include "ui/collectionviewdatasource.h"
#include "ui/collectionviewdelegate.h"
#include "ui/viewcontroller.h"

#include <QByteArray>
#include <QMutex>
#include <QPointer>
#include <QString>

#include <memory>

class DisplayParsedLink;
class HttpFetch;
class QLineEdit;
class QPushButton;
class QToolButton;
class QWebEngineView;

// The browser screen. Its browsing side shows one site in an embedded browser under a bar with
// the address field, back and forward, and the Zesto button. Its grid side turns the current
// results page (or the stored favorites, for "zesto://favorites") into a grid of listing tiles:
// the page is fetched again, a link extractor lists and details its listings, and tiles fill in
// as pages and photos arrive, behind a loading alert until more than 90 percent have settled.
class ListoroViewController final : public ViewController,
                                    public CollectionViewDataSource,
                                    public CollectionViewDelegate,
                                    public ParsedLinkModified,
                                    public ZestoListingProtocol,
                                    public AlertViewDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ListoroViewController)

public:
    static inline const QString favoritesUrl = QStringLiteral("zesto://favorites");
    static inline const QString detailSegue = QStringLiteral("Detailed View");

    // Alert tags.
    enum AlertTag { BookmarkOffer = 0, BookmarkName = 2, RemoveFavorite = 3, Loading = 101 };
    static constexpr int progressViewTag = 10;

    explicit ListoroViewController(QWidget *parent = nullptr);
    ~ListoroViewController() override;

    QString currentUrl() const { return m_currentUrl; }
    void setCurrentUrl(const QString &url) { m_currentUrl = url; }
    bool autozesto() const { return m_autozesto; }
    void setAutozesto(bool autozesto) { m_autozesto = autozesto; }
    bool isnext() const { return m_isnext; }
    bool askedbookmark() const { return m_askedbookmark; }
    int screen_width() const { return m_screenWidth; }
    int screen_height() const { return m_screenHeight; }

    // Outlets and state, for the application and its tests.
    QLineEdit *navBar() const { return m_navBar; }
    QWebEngineView *webview() const { return m_webview; }
    QPushButton *btnBack() const { return m_btnBack; }
    QPushButton *btnForward() const { return m_btnForward; }
    QToolButton *btnClear() const { return m_btnClear; }
    QPushButton *btnZesto() const { return m_btnZesto; }
    QPushButton *btnReload() const { return m_btnReload; }
    QPushButton *btnNext() const { return m_btnNext; }
    QWidget *browserControlsView() const { return m_browserControlsView; }
    QWidget *toolbar() const { return m_toolbar; }
    QWidget *activityIndicator() const { return m_activityIndicator; }
    LargeUICollectionView *collectionView() const { return m_collectionView; }
    LinkExtractor::Ptr extractor() const { return m_extractor; }
    AlertView *loadingAlert() const { return m_loadingAlert; }
    AlertView *bookmarkAlert() const { return m_bookmarkAlert; }

    // Lifecycle.
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    void didRotateFromInterfaceOrientation(bool wasLandscape) override;
    void orientationChanged();
    void prepareForSegue(StoryboardSegue &segue, QObject *sender) override;

    // Browsing.
    void loadUrl();
    void textFieldShouldReturn();
    void backClicked();
    void forwardClicked();
    void webViewDidStartLoad();
    void webViewDidFinishLoad();
    void webViewDidFailLoad();
    static void enableButton(QPushButton *button);
    static void disableButton(QPushButton *button);
    void enableZesto() { enableButton(m_btnZesto); }
    void disableZesto() { disableButton(m_btnZesto); }
    void getDimensions();
    void resizeWebView();
    void alignWebviewControlsWithNavBar();
    void showConfirmAddToBookmarks();
    void alertViewClickedButtonAtIndex(AlertView *alertView, int buttonIndex) override;

    // Grid mode.
    void zestoClicked();
    void startLoadingResults();
    void showLoading();
    void progress(int percent) override;
    void onParsedLinkModified(const std::shared_ptr<ParsedLink> &parsedLink) override;
    void onNoLinksFound() override;
    void nextClicked();
    void reloadClicked();
    void resizeCollectionView();
    void fixParsedLinksWidths();
    void showDetailedListing(DisplayParsedLink *tile, const IndexPath &indexPath) override;
    void addRemoveFavorite(QAbstractButton *button,
                           const std::shared_ptr<ParsedLink> &parsedLink) override;

    // The grid's data source and delegate.
    int collectionViewNumberOfItemsInSection(CollectionView *collectionView, int section) override;
    CollectionViewCell *collectionViewCellForItemAtIndexPath(CollectionView *collectionView,
                                                             const IndexPath &indexPath) override;
    QSizeF sizeForItemAtIndexPath(CollectionView *collectionView, CollectionViewFlowLayout *layout,
                                  const IndexPath &indexPath) override;
    QMarginsF insetForSectionAtIndex(CollectionView *collectionView,
                                     CollectionViewFlowLayout *layout, int section) override;
    void scrollViewDidScroll(CollectionView *collectionView) override;
    void scrollViewDidEndDragging(CollectionView *collectionView, bool willDecelerate) override;
    void reloadDataForVisibleSectionsThatHaveNotBeenReloadedInLastScroll(
        CollectionView *scrollView);

    // The six settings every tile gets before it lays a listing out.
    void configureTile(DisplayParsedLink *tile) const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildViews();
    void buildShortcuts();
    void updateGridItems();
    // Hides the page-loading box and sets back and forward from the history.
    void endPageLoad();
    void fetchFailed(const QString &reason);
    void abandonLoading();
    void dismissLoadingAlert();
    void showMessage(const QString &title, const QString &message);
    // Tells the user, once a grid, that the site refuses some listing pages.
    void noteRefusal();
    bool gridShown() const;

    // Browsing outlets.
    QLineEdit *m_navBar = nullptr;
    QWebEngineView *m_webview = nullptr;
    QPushButton *m_btnBack = nullptr;
    QWidget *m_browserControlsView = nullptr;
    QPushButton *m_btnForward = nullptr;
    QToolButton *m_btnClear = nullptr;
    QPushButton *m_btnZesto = nullptr;
    QWidget *m_toolbar = nullptr;
    QPushButton *m_btnReload = nullptr;
    QPushButton *m_btnNext = nullptr;
    QPointer<QWidget> m_activityIndicator;
    BarButtonItem *m_gridToggle = nullptr;

    // Grid state.
    QPointer<LargeUICollectionView> m_collectionView;
    LinkExtractor::Ptr m_extractor;
    QByteArray m_receivedData;
    std::shared_ptr<HttpFetch> m_pageFetch;
    QString m_currentUrl;
    bool m_autozesto = false;
    bool m_isnext = false;
    int m_screenWidth = 0;
    int m_screenHeight = 0;
    QPointer<AlertView> m_loadingAlert;
    QPointer<AlertView> m_bookmarkAlert;
    bool m_askedbookmark = false;
    bool m_noLinksFound = false;
    bool m_refusalNoted = false;
    bool m_refusalPending = false;
    bool m_favoritesLoadQueued = false;
    QSize m_lastLaidOutSize;
    // Lays out listings that changed, to learn their sizes; never shown.
    DisplayParsedLink *m_scratchTile = nullptr;
    QRecursiveMutex m_lock;
};
