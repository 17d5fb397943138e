#pragma once

#include "scrape/parsedlink.h"
#include "ui/collectionviewdatasource.h"
#include "ui/collectionviewdelegate.h"

#include <QList>
#include <QPointer>

#include <memory>

class CollectionView;
class DisplayParsedLink;
class LargeUICollectionView;
class PhotoPrefetcher;
class ZestoListingProtocol;

// The listing grid's data source and delegate, run the way the browser screen runs them: one
// section of listings; an item is as wide as the screen and as high as its listing's laid-out
// tile (60 until the listing has been laid out); a tile gets the grid's settings and is rendered
// only when it does not already show the listing as it is now.
class ListingGridSource final : public CollectionViewDataSource, public CollectionViewDelegate
{
public:
    explicit ListingGridSource(QList<ParsedLink::Ptr> records,
                               ZestoListingProtocol *tileDelegate = nullptr);
    ~ListingGridSource() override;
    Q_DISABLE_COPY_MOVE(ListingGridSource)

    // Registers the tile class, paints the background pattern and becomes view's data source
    // and delegate (until this source goes).
    void attach(LargeUICollectionView *view);

    // A listing changed: its size is worked out by a tile and the grid reloads. The tile used is
    // one of this source's own, never one the grid shows, so no grid tile is left holding a
    // listing it has not drawn.
    void parsedLinkModified(const ParsedLink::Ptr &record);

    const QList<ParsedLink::Ptr> &records() const { return m_records; }
    // How many times a tile was rendered.
    int renders() const { return m_renders; }

    // The settings the grid gives every tile, for a screen width points wide.
    static void configure(DisplayParsedLink *tile, int width);
    // Whether every tile the view holds has placed all the photos its listing had completed.
    static bool photosPlaced(CollectionView *view);

    int collectionViewNumberOfItemsInSection(CollectionView *collectionView, int section) override;
    CollectionViewCell *collectionViewCellForItemAtIndexPath(CollectionView *collectionView,
                                                             const IndexPath &indexPath) override;
    QSizeF sizeForItemAtIndexPath(CollectionView *collectionView, CollectionViewFlowLayout *layout,
                                  const IndexPath &indexPath) override;
    QMarginsF insetForSectionAtIndex(CollectionView *collectionView,
                                     CollectionViewFlowLayout *layout, int section) override;

private:
    int screenWidth() const;

    QList<ParsedLink::Ptr> m_records;
    ZestoListingProtocol *m_tileDelegate = nullptr;
    QPointer<LargeUICollectionView> m_view;
    // Decodes photos ahead of the scroll, as the browser screen's grid does.
    QPointer<PhotoPrefetcher> m_prefetcher;
    std::unique_ptr<DisplayParsedLink> m_layoutTile;
    int m_renders = 0;
};
