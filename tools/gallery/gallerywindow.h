#pragma once

#include "grid/zestolistingprotocol.h"
#include "listinggridsource.h"

#include <QWidget>

#include <functional>

class CustomBadge;
class LargeUICollectionView;
class QLabel;

// The gallery's window: the listing grid as the application shows it, filling the window, with
// a favorites count on a badge over the bottom-left corner and a "Loading" box over the
// bottom-right one. A tile's button adds or removes the listing from the favorites (and the
// count follows); a click elsewhere on a tile names the listing in the window's title.
class GalleryWindow final : public QWidget, public ZestoListingProtocol
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GalleryWindow)

public:
    static constexpr QSize windowSize{ 1024, 768 };

    explicit GalleryWindow(QList<ParsedLink::Ptr> records, QWidget *parent = nullptr);
    ~GalleryWindow() override;

    LargeUICollectionView *grid() const { return m_grid; }

    // Scrolls the grid down by scroll points, waits until the photos of the tiles on screen
    // are placed (at most timeoutMs), saves a grab of the window to file and calls done with
    // whether the photos were placed in time and the file written.
    void saveWhenPlaced(const QString &file, int scroll, int timeoutMs,
                        std::function<void(bool)> done);

    void showDetailedListing(DisplayParsedLink *tile, const IndexPath &indexPath) override;
    void addRemoveFavorite(QAbstractButton *button,
                           const std::shared_ptr<ParsedLink> &parsedLink) override;

private:
    void updateFavoritesCount();

    LargeUICollectionView *m_grid = nullptr;
    ListingGridSource m_source;
    QWidget *m_favoritesPanel = nullptr;
    CustomBadge *m_badge = nullptr;
};
