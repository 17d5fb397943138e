#include "grid/photoprefetcher.h"

#include "grid/tilephotocache.h"
#include "grid/tilephotolayout.h"
#include "platform/imageutils.h"
#include "platform/mainqueue.h"
#include "scrape/parsedlink.h"
#include "ui/collectionview.h"
#include "ui/collectionviewflowlayout.h"

#include <QScrollBar>

#include <algorithm>

PhotoPrefetcher::PhotoPrefetcher(CollectionView *view, ListingAt listingAt)
    : QObject(view)
    , m_view(view)
    , m_listingAt(std::move(listingAt))
{
    connect(view->verticalScrollBar(), &QScrollBar::valueChanged, this, &PhotoPrefetcher::schedule);
    connect(view->verticalScrollBar(), &QScrollBar::rangeChanged, this, &PhotoPrefetcher::schedule);
}

PhotoPrefetcher::~PhotoPrefetcher()
{
    TilePhotoCache::instance().clear();
}

void PhotoPrefetcher::schedule()
{
    if (m_scheduled)
        return;
    m_scheduled = true;
    MainQueue::post(this, [this] {
        m_scheduled = false;
        update();
    });
}

void PhotoPrefetcher::update()
{
    if (!m_view || !m_listingAt)
        return;
    const QRectF visible = m_view->bounds();
    const qreal screen = visible.height();
    if (screen <= 0)
        return;
    if (visible.top() != m_lastOffset)
        m_direction = visible.top() > m_lastOffset ? 1 : -1;
    m_lastOffset = visible.top();
    const bool down = m_direction > 0;
    const QRectF near = visible.adjusted(0, -screen * (down ? screensBehind : screensAhead), 0,
                                         screen * (down ? screensAhead : screensBehind));
    const QRectF kept = visible.adjusted(0, -screen * screensKept, 0, screen * screensKept);

    const qreal scale = ImageUtils::displayScaleFactor();
    QSet<TilePhotoCache::Key> keep;
    QList<std::pair<qreal, TilePhotoCache::Request>> wanted;
    const QList<LayoutAttributes> items
        = m_view->collectionViewLayout()->layoutAttributesForElementsInRect(kept);
    for (const LayoutAttributes &item : items) {
        const std::shared_ptr<ParsedLink> record = m_listingAt(item.indexPath.item);
        if (!record)
            continue;
        QList<TilePhotoLayout::Photo> photos;
        TilePhotoLayout::forGrid(int(item.frame.width())).walk(*record, &photos);
        for (const TilePhotoLayout::Photo &photo : std::as_const(photos)) {
            const QRectF frame = photo.frame.translated(item.frame.topLeft());
            if (photo.failed || !frame.intersects(kept))
                continue;
            const TilePhotoCache::Request request{
                { photo.url, TilePhotoLayout::pixelSize(photo.frame, scale) }, photo.fitted, scale
            };
            keep.insert(request.key);
            if (frame.intersects(near)) {
                // Distance ahead in the scroll's direction: what is on screen comes first.
                const qreal ahead
                    = down ? frame.top() - visible.bottom() : visible.top() - frame.bottom();
                wanted.append({ ahead, request });
            }
        }
    }
    TilePhotoCache &cache = TilePhotoCache::instance();
    cache.retainOnly(keep);
    std::stable_sort(wanted.begin(), wanted.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    for (const auto &[distance, request] : std::as_const(wanted))
        cache.prefetch(request);
}
