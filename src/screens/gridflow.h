#pragma once

#include "screens/gridmessages.h"

#include <QObject>
#include <QSet>
#include <QString>

#include <memory>

class BrowserPane;
class ParsedLink;
class ResultsGrid;
class ResultsLoader;
struct GridChoice;

// What the grid's flow needs of the screen it works in.
class GridFlowHost
{
public:
    virtual ~GridFlowHost() = default;
    // The page the screen is on; goTo() moves it there (the address field follows).
    virtual QString currentUrl() const = 0;
    virtual void goTo(const QString &address) = 0;
    // Shows the current page in the browser; false when its address cannot be opened.
    virtual bool loadUrl() = 0;
    virtual void updateGridItems() = 0;
    // The grid takes the screen's size: a new grid is fitted, one brought back laid out anew.
    virtual void fitGrid() = 0;
    virtual void relayGrid() = 0;
    virtual void offerBookmark() = 0;
};

// Turning the screen's page into a grid: the page is fetched again and its listings detailed
// behind the loading alert (ResultsLoader), the grid opens once most have settled (ResultsGrid),
// a next page loads into the same grid while the one shown waits aside, and cancelling or a
// failed fetch brings that one back. The favorites grid is built from the store instead.
class GridFlow final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GridFlow)

public:
    static inline const QString favoritesUrl = QStringLiteral("zesto://favorites");

    GridFlow(GridFlowHost *host, BrowserPane *pane, ResultsGrid *grid, ResultsLoader *loader,
             QWidget *parent);

    GridMessages &messages() { return m_messages; }
    // The grid shows a page after the first of its search.
    bool isNext() const { return m_isNext; }
    // The address the grid opened at, before any next page; null before a grid.
    QString gridAddress() const { return m_gridAddress; }

    // Zesto: the grid of the current page.
    void start();
    // The favorites grid, once however many ways ask for it.
    void queueFavorites();
    // The current page arrived: its listings are listed and detailed into the grid.
    void build();
    void progress(int percent);
    void listingChanged(const std::shared_ptr<ParsedLink> &listing);
    void noListings();
    void fetchFailed(const QString &reason);
    void next();
    // Cancel in the loading alert: true when a grid held aside came back.
    bool cancel();
    // The user's order and filters, kept for the grid's first page.
    void keepChoice(const GridChoice &choice) const;

private:
    // The grid a next page was to replace comes back (true), or goes for good.
    bool restoreHeld();
    void releaseHeld();

    GridFlowHost *m_host;
    BrowserPane *m_pane;
    ResultsGrid *m_grid;
    ResultsLoader *m_loader;
    GridMessages m_messages;
    bool m_isNext = false;
    // The next results page is loading into the grid the previous page was in.
    bool m_continuing = false;
    // The address the grid opened at, before any next page: its choice of order and filters.
    QString m_gridAddress;
    // The addresses of the listings this grid showed on its pages so far: each shows once.
    QSet<QString> m_listedAddresses;
    bool m_noListings = false;
    bool m_favoritesQueued = false;
    // The page of the grid held aside while its next page loads; null when none is.
    QString m_heldUrl;
};
