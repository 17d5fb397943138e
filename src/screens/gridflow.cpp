#include "screens/gridflow.h"

#include "grid/largeuicollectionview.h"
#include "platform/mainqueue.h"
#include "saved/zestobookmark.h"
#include "scrape/parsedlink.h"
#include "screens/browserpane.h"
#include "screens/gridchoices.h"
#include "screens/newlistings.h"
#include "screens/resultsgrid.h"
#include "screens/resultsloader.h"
#include "ui/alertview.h"

#include <QPointer>

#include <algorithm>
#include <utility>

GridFlow::GridFlow(GridFlowHost *host, BrowserPane *pane, ResultsGrid *grid, ResultsLoader *loader,
                   QWidget *parent)
    : QObject(parent)
    , m_host(host)
    , m_pane(pane)
    , m_grid(grid)
    , m_loader(loader)
    , m_messages(parent)
{
    connect(m_loader, &ResultsLoader::pageReceived, this, &GridFlow::build);
    connect(m_loader, &ResultsLoader::failed, this, &GridFlow::fetchFailed);
}

void GridFlow::start()
{
    m_loader->showLoading();
    m_pane->hidePage();
    m_grid->show();
    m_host->updateGridItems();
    if (m_host->currentUrl() == favoritesUrl) {
        // The favorites grid is built from the store; loadUrl() may have queued it already.
        queueFavorites();
        return;
    }
    m_loader->fetch(m_host->currentUrl());
}

void GridFlow::queueFavorites()
{
    if (m_favoritesQueued)
        return;
    m_favoritesQueued = true;
    MainQueue::post(this, [this] { build(); });
}

void GridFlow::build()
{
    m_favoritesQueued = false;
    m_noListings = false;
    m_messages.startGrid();
    const QString address = m_host->currentUrl();
    const bool favorites = address == favoritesUrl;
    const LinkExtractor::Ptr made = m_loader->makeExtractor(address, favorites);
    if (m_noListings) {
        // The page is back in the browser with the message; no empty grid covers it.
        m_loader->dropExtractor();
        return;
    }
    if (!made)
        return;
    const bool continuing = std::exchange(m_continuing, false);
    if (!continuing)
        m_listedAddresses.clear();
    if (!favorites)
        made->dropListingsShown(m_listedAddresses);

    m_grid->setListings(made, !favorites);
    // The next pages keep the choice made on the first.
    if (!continuing) {
        m_gridAddress = address;
        NewListings::mark(m_gridAddress, *made);
        m_grid->setChoice(GridChoices::forPage(m_gridAddress));
    }
    m_grid->attachNewGrid();
    m_host->fitGrid();
    m_host->updateGridItems();
    if (AlertView *alert = m_loader->loadingAlert())
        alert->raise();
    made->startDetailing();

    // A grid with nothing to wait for (no favorites, no listing) opens at once.
    const LinkExtractor::Ptr shown = m_loader->extractor();
    if (shown && shown->parsedLinks() && shown->parsedLinks()->isEmpty())
        progress(100);
}

void GridFlow::progress(int percent)
{
    if (percent <= 90) {
        m_loader->showProgress(percent);
        return;
    }
    m_grid->open();
    releaseHeld();
    m_host->updateGridItems();
    if (!m_loader->loadingAlert())
        return;
    m_loader->dismissLoading();
    m_host->updateGridItems();
    // Given the keyboard before the offer, which hands it back when answered.
    m_grid->takeKeyboard();
    if (!m_isNext)
        m_host->offerBookmark();
    m_messages.loadingClosed();
    QPointer<LargeUICollectionView> view = m_grid->collectionView();
    MainQueue::post(this, [view] {
        if (view)
            view->reloadData();
    });
}

void GridFlow::listingChanged(const std::shared_ptr<ParsedLink> &listing)
{
    if (!listing)
        return;
    m_grid->layOutListing(listing);
    if (listing->refused())
        m_messages.siteRefused(m_loader->loadingAlert() != nullptr);
}

void GridFlow::noListings()
{
    m_noListings = true;
    m_loader->dismissLoading();
    // The previous grid's listings went with its extractor: none of it may show again.
    m_grid->setListings(nullptr);
    m_grid->discard();
    m_heldUrl.clear();
    m_grid->releaseHeld();
    m_loader->releaseHeld();
    m_host->loadUrl();
    // Which rules read the page and what their link rule did, so an out-of-date rule set is not
    // mistaken for a page without results.
    m_messages.noListings(m_loader->healthLine(m_host->currentUrl()));
}

void GridFlow::fetchFailed(const QString &reason)
{
    m_loader->dismissLoading();
    const QString failed = m_host->currentUrl();
    // A next page that cannot be had leaves the grid it was to follow.
    if (!restoreHeld())
        m_host->loadUrl();
    m_messages.fetchFailed(failed, reason);
}

void GridFlow::next()
{
    const LinkExtractor::Ptr shown = m_loader->extractor();
    if (!shown || shown->nextLink().isNull())
        return;
    const QString nextPage = shown->nextLink();
    // The grid shown waits aside until the next page's grid opens: cancelling brings it back.
    releaseHeld();
    m_heldUrl = m_host->currentUrl();
    m_grid->holdAside();
    m_loader->holdAside();
    m_host->goTo(nextPage);
    m_isNext = true;
    m_continuing = true;
    start();
}

bool GridFlow::cancel()
{
    m_loader->abandonFetch();
    // A grid still loading behind the alert goes with it.
    if (m_grid->exists() && !m_grid->isOpen()) {
        m_loader->dropExtractor();
        m_grid->setListings(nullptr);
        m_grid->discard();
    }
    m_loader->forgetLoading();
    return restoreHeld();
}

void GridFlow::keepChoice(const GridChoice &choice) const
{
    const QList<ZestoBookmark> bookmarks = ZestoBookmark::getBookmarks();
    const bool stored = m_gridAddress == favoritesUrl
        || std::any_of(bookmarks.cbegin(), bookmarks.cend(),
                       [this](const ZestoBookmark &b) { return b.url() == m_gridAddress; });
    GridChoices::keep(m_gridAddress, choice, stored);
}

bool GridFlow::restoreHeld()
{
    if (m_heldUrl.isNull())
        return false;
    m_host->goTo(std::exchange(m_heldUrl, QString()));
    m_continuing = false;
    m_loader->restoreHeld();
    if (!m_grid->restoreHeld()) {
        m_host->loadUrl();
        return true;
    }
    m_pane->hidePage();
    m_host->relayGrid();
    m_host->updateGridItems();
    return true;
}

void GridFlow::releaseHeld()
{
    m_grid->releaseHeld();
    m_loader->releaseHeld();
    if (m_heldUrl.isNull())
        return;
    m_heldUrl.clear();
    // The browser follows the grid to its page only now, so a cancelled next page leaves it on
    // the page the kept grid was made of.
    m_pane->load(m_host->currentUrl());
}
