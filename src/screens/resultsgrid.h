#pragma once

#include "grid/listingorder.h"
#include "grid/scrollreloads.h"
#include "scrape/linkextractor.h"
#include "ui/collectionviewdatasource.h"
#include "ui/collectionviewdelegate.h"

#include <QObject>
#include <QPointer>

#include <optional>

class DisplayParsedLink;
class GridFilterBar;
class GridToolbar;
class ListingRows;
class LargeUICollectionView;
class PhotoPrefetcher;
class QGridLayout;
class QLabel;
class QPushButton;
class QWidget;
class ZestoListingProtocol;

// The grid face of the browser screen: a collection view of listing tiles over the denim, made
// anew for every grid, the bar of order and filters above it and the bar with "Reload tiles"
// and "Next page" along its bottom. It is
// the collection view's data source and delegate: items are the extractor's listings, sized as
// their tiles last laid them out, and items are reloaded once the user has scrolled far. Its
// views lie in one cell of the host's grid layout, over what else lies there.
class ResultsGrid final : public QObject,
                          public CollectionViewDataSource,
                          public CollectionViewDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ResultsGrid)

public:
    ResultsGrid(QWidget *host, QGridLayout *layout, ZestoListingProtocol *tileDelegate);
    ~ResultsGrid() override;

    LargeUICollectionView *collectionView() const { return m_collectionView; }
    GridToolbar *toolbar() const { return m_toolbar; }

    // Where the listings come from; null: none. foldReposts: one item for an offer posted twice.
    void setListings(const LinkExtractor::Ptr &extractor, bool foldReposts = true);
    // The order and filters the bar above the grid shows and the grid follows.
    GridChoice choice() const;
    void setChoice(const GridChoice &choice);
    GridFilterBar *filterBar() const { return m_filterBar; }
    // The listing item shows, under the order and filters chosen.
    std::shared_ptr<ParsedLink> listing(int item) const;
    // The screen's usable width (every tile is laid out for it) and height.
    void setDimensions(int width, int height)
    {
        m_width = width;
        m_height = height;
    }

    // A new grid, invisible until it opens; the previous one goes.
    void attachNewGrid();
    // The grid waits aside, hidden and unanswered, while another loads: it comes back if that
    // load is given up, and goes once the new grid opens.
    void holdAside();
    // The grid held aside is the grid again, the one loading goes; false with none held.
    bool restoreHeld();
    void releaseHeld();
    // The grid view goes.
    void discard();
    bool exists() const { return m_collectionView != nullptr; }
    bool isShown() const;
    // Some of it is seen: it opened (or is opening).
    bool isOpen() const;
    void show();
    void hide();
    // Fully opaque, shown and reloaded.
    void open();

    // A listing changed: a scratch tile lays it out, which stores its size, and the grid reloads.
    void layOutListing(const std::shared_ptr<ParsedLink> &parsedLink);
    // Every photo that failed fetched again, every item asked for anew, every visible tile
    // repainted.
    void reload();
    // After a change of the grid's frame: items may be reloaded by scrolling once more.
    void fitToFrame();
    // Listings and visible tiles take the width; the grid asks for every size again.
    void fixWidths();
    void relayItems();
    // The grid has the keyboard, unless an alert is up.
    void takeKeyboard();
    // The bar shows along the bottom of an open grid: "Next page" where there is one, else the
    // note that this is the last page (the favorites grid has no pages and says nothing).
    void setToolbarVisible(bool visible, bool hasNext, bool paged);
    // Every tile made so far, shown or waiting for reuse, marks its listing's favorite and seen
    // states as stored now.
    void refreshFavoriteMarks();

    // The grid's tile settings, for a tile about to lay a listing out.
    void configureTile(DisplayParsedLink *tile) const;

    int collectionViewNumberOfItemsInSection(CollectionView *collectionView, int section) override;
    CollectionViewCell *collectionViewCellForItemAtIndexPath(CollectionView *collectionView,
                                                             const IndexPath &indexPath) override;
    QSizeF sizeForItemAtIndexPath(CollectionView *collectionView, CollectionViewFlowLayout *layout,
                                  const IndexPath &indexPath) override;
    QMarginsF insetForSectionAtIndex(CollectionView *collectionView,
                                     CollectionViewFlowLayout *layout, int section) override;
    void scrollViewDidScroll(CollectionView *collectionView) override;
    void scrollViewDidEndDragging(CollectionView *collectionView, bool willDecelerate) override;
    // Enter on the tile the keyboard is on opens it, as a click on the tile does.
    void didSelectItemAtIndexPath(CollectionView *collectionView,
                                  const IndexPath &indexPath) override;

signals:
    // The user changed the order, a filter or the view.
    void choiceChanged(const GridChoice &choice);
    void reloadRequested();
    void nextRequested();

private:
    bool compact() const;
    void rowsChanged();
    void showCounts();

    QWidget *m_host;
    QGridLayout *m_layout;
    ZestoListingProtocol *m_tileDelegate;
    LinkExtractor::Ptr m_extractor;
    QPointer<LargeUICollectionView> m_collectionView;
    QPointer<PhotoPrefetcher> m_prefetcher;
    QPointer<LargeUICollectionView> m_heldView;
    QPointer<PhotoPrefetcher> m_heldPrefetcher;
    LinkExtractor::Ptr m_heldExtractor;
    GridToolbar *m_toolbar = nullptr;
    GridFilterBar *m_filterBar = nullptr;
    QLabel *m_noMatch = nullptr;
    ListingRows *m_rows = nullptr;
    // Lays out listings that changed, to learn their sizes; never shown.
    DisplayParsedLink *m_scratchTile = nullptr;
    int m_width = 0;
    int m_height = 0;
    ScrollReloads m_scrollReloads;
};
