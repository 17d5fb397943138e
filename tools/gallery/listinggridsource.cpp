#include "listinggridsource.h"

#include "grid/displayparsedlink.h"
#include "grid/largeuicollectionview.h"
#include "grid/photoprefetcher.h"
#include "grid/tilesettings.h"
#include "ui/collectionview.h"

#include <QLoggingCategory>
#include <QPixmap>

Q_LOGGING_CATEGORY(lcListingGridSource, "listoro.gallery.source", QtInfoMsg)

ListingGridSource::ListingGridSource(QList<ParsedLink::Ptr> records,
                                     ZestoListingProtocol *tileDelegate)
    : m_records(std::move(records))
    , m_tileDelegate(tileDelegate)
    , m_layoutTile(std::make_unique<DisplayParsedLink>())
{
}

ListingGridSource::~ListingGridSource()
{
    delete m_prefetcher;
    if (m_view) {
        m_view->setDataSource(nullptr);
        m_view->setDelegate(nullptr);
    }
}

void ListingGridSource::attach(LargeUICollectionView *view)
{
    m_view = view;
    view->registerClass<DisplayParsedLink>(DisplayParsedLink::reuseIdentifier);
    view->setBackgroundBrush(QBrush(QPixmap(QStringLiteral(":/kindajean.png"))));
    view->setDataSource(this);
    view->setDelegate(this);
    m_prefetcher = new PhotoPrefetcher(view, [this](int item) { return m_records.value(item); });
}

int ListingGridSource::screenWidth() const
{
    return m_view ? m_view->screen_width() : 0;
}

void ListingGridSource::configure(DisplayParsedLink *tile, int width)
{
    TileSettings::configure(tile, width);
}

void ListingGridSource::parsedLinkModified(const ParsedLink::Ptr &record)
{
    if (!record || !m_view)
        return;
    configure(m_layoutTile.get(), screenWidth());
    m_layoutTile->setParsedLink(record);
    m_layoutTile->computeDimensions();
    // Let go of the listing, so laying the same one out again after a change recomputes it.
    m_layoutTile->setParsedLink(nullptr);
    m_view->reloadData();
    if (m_prefetcher)
        m_prefetcher->schedule();
}

bool ListingGridSource::photosPlaced(CollectionView *view)
{
    const QList<CollectionViewCell *> cells = view->visibleCells();
    for (CollectionViewCell *cell : cells) {
        const auto *tile = qobject_cast<DisplayParsedLink *>(cell);
        const auto record = tile ? tile->parsedLink() : nullptr;
        if (record && tile->placedPhotos() < record->settledImagesCount())
            return false;
    }
    return true;
}

int ListingGridSource::collectionViewNumberOfItemsInSection(CollectionView *, int)
{
    return int(m_records.size());
}

CollectionViewCell *ListingGridSource::collectionViewCellForItemAtIndexPath(
    CollectionView *collectionView, const IndexPath &indexPath)
{
    auto *tile = qobject_cast<DisplayParsedLink *>(
        collectionView->dequeueReusableCell(DisplayParsedLink::reuseIdentifier, indexPath));
    const ParsedLink::Ptr record = m_records.value(indexPath.item);
    if (tile && record && !tile->showsCurrent(record)) {
        configure(tile, screenWidth());
        tile->setDelegate(m_tileDelegate);
        tile->setParsedLink(record);
        tile->render();
        ++m_renders;
        qCDebug(lcListingGridSource) << "rendered item" << indexPath.item;
    }
    return tile;
}

QSizeF ListingGridSource::sizeForItemAtIndexPath(CollectionView *, CollectionViewFlowLayout *,
                                                 const IndexPath &indexPath)
{
    const ParsedLink::Ptr record = m_records.value(indexPath.item);
    if (record && record->size().height > 0)
        return QSizeF(record->size().width, record->size().height);
    return QSizeF(screenWidth(), TileSettings::unlaidHeight);
}

QMarginsF ListingGridSource::insetForSectionAtIndex(CollectionView *, CollectionViewFlowLayout *,
                                                    int)
{
    return TileSettings::sectionInset();
}
