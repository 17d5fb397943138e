#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class CollectionView;
class ParsedLink;

// Decodes the photos of the tiles about to scroll into view, so that a tile finds them ready
// when it is drawn: those within a screen behind the visible area and two ahead of it, in the
// direction of the scroll, nearest first. Decoded photos further than three screens away are
// dropped and their decodes not yet run are cancelled. It follows the view's scrolling and
// content size; owners tell it when listings change.
class PhotoPrefetcher final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PhotoPrefetcher)

public:
    using ListingAt = std::function<std::shared_ptr<ParsedLink>(int item)>;

    static constexpr qreal screensAhead = 4;
    static constexpr qreal screensBehind = 1;
    static constexpr qreal screensKept = 5;

    // A child of view; its decoded photos go with it.
    PhotoPrefetcher(CollectionView *view, ListingAt listingAt);
    ~PhotoPrefetcher() override;

    // Updates at the next turn of the event loop, once however often it is asked.
    void schedule();
    void update();

private:
    QPointer<CollectionView> m_view;
    ListingAt m_listingAt;
    qreal m_lastOffset = 0;
    int m_direction = 1;
    bool m_scheduled = false;
};
