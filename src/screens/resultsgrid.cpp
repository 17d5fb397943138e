#include "screens/resultsgrid.h"

#include "grid/compacttile.h"
#include "grid/displayparsedlink.h"
#include "grid/largeuicollectionview.h"
#include "grid/listingrows.h"
#include "grid/photoprefetcher.h"
#include "grid/tilesettings.h"
#include "grid/zestolistingprotocol.h"
#include "screens/gridexport.h"
#include "screens/gridfilterbar.h"
#include "screens/gridtoolbar.h"
#include "ui/alertview.h"
#include "ui/collectionviewflowlayout.h"

#include <QGridLayout>
#include <QLabel>
#include <QPixmap>

#include <cmath>

ResultsGrid::ResultsGrid(QWidget *host, QGridLayout *layout, ZestoListingProtocol *tileDelegate)
    : QObject(host)
    , m_host(host)
    , m_layout(layout)
    , m_tileDelegate(tileDelegate)
    , m_toolbar(new GridToolbar(host))
    , m_scratchTile(new DisplayParsedLink(host))
{
    m_layout->addWidget(m_toolbar, 0, 0, Qt::AlignBottom);
    m_toolbar->hide();
    connect(m_toolbar, &GridToolbar::reloadRequested, this, &ResultsGrid::reloadRequested);
    connect(m_toolbar, &GridToolbar::nextRequested, this, &ResultsGrid::nextRequested);
    connect(m_toolbar, &GridToolbar::exportRequested, this, [this] {
        QList<ParsedLink::Ptr> shown;
        for (int item = 0; item < m_rows->count(); ++item)
            shown.append(listing(item));
        GridExport::ask(m_host, shown);
    });

    m_scratchTile->hide();

    m_filterBar = new GridFilterBar(host);
    m_layout->addWidget(m_filterBar, 0, 0, Qt::AlignTop);
    m_filterBar->hide();
    m_noMatch
        = new QLabel(tr("No listing matches these filters: change or clear them above."), host);
    m_noMatch->setObjectName(QStringLiteral("noMatch"));
    m_noMatch->setAlignment(Qt::AlignCenter);
    m_noMatch->setWordWrap(true);
    m_layout->addWidget(m_noMatch, 0, 0, Qt::AlignCenter);
    m_noMatch->hide();
    m_rows = new ListingRows(this);
    connect(m_rows, &ListingRows::changed, this, &ResultsGrid::rowsChanged);
    connect(m_filterBar, &GridFilterBar::heightChanged, this, [this] {
        if (m_collectionView && m_filterBar->isVisible())
            m_collectionView->setObscuredTop(m_filterBar->barHeight());
        relayItems();
    });
    connect(m_filterBar, &GridFilterBar::choiceChanged, this, [this](const GridChoice &choice) {
        const bool viewChanged = choice.compact != compact();
        m_rows->setChoice(choice);
        if (viewChanged)
            rowsChanged();
        emit choiceChanged(choice);
    });
}

void ResultsGrid::setListings(const LinkExtractor::Ptr &extractor, bool foldReposts)
{
    m_rows->setFoldsReposts(foldReposts);
    m_extractor = extractor;
    m_rows->setListings(extractor);
    showCounts();
}

GridChoice ResultsGrid::choice() const
{
    return m_rows->choice();
}

void ResultsGrid::setChoice(const GridChoice &choice)
{
    m_filterBar->setChoice(choice);
    m_rows->setChoice(choice);
}

bool ResultsGrid::compact() const
{
    return m_rows->choice().compact;
}

void ResultsGrid::rowsChanged()
{
    showCounts();
    if (!m_collectionView)
        return;
    m_scrollReloads.forget();
    m_collectionView->setCurrentItem(std::nullopt);
    m_collectionView->reloadData();
    if (m_prefetcher)
        m_prefetcher->schedule();
}

void ResultsGrid::showCounts()
{
    m_filterBar->setCounts(m_rows->count(), m_rows->total(), m_rows->folded());
    // Filters that leave nothing say so, rather than leave an empty grid.
    m_noMatch->setVisible(m_filterBar->isVisible() && m_rows->count() == 0 && m_rows->total() > 0);
    if (m_noMatch->isVisible())
        m_noMatch->raise();
}

ResultsGrid::~ResultsGrid()
{
    releaseHeld();
    if (m_collectionView) {
        m_collectionView->setDataSource(nullptr);
        m_collectionView->setDelegate(nullptr);
    }
}

void ResultsGrid::attachNewGrid()
{
    discard();
    auto *grid = new LargeUICollectionView(QRect(), new CollectionViewFlowLayout, m_host);
    grid->setObjectName(QStringLiteral("collectionView"));
    grid->setAccessibleName(tr("Listings"));
    grid->setAccessibleDescription(tr("Tab goes from listing to listing, Enter opens one"));
    m_collectionView = grid;
    grid->setAlpha(0);
    grid->setBackgroundBrush(QBrush(QPixmap(QStringLiteral(":/kindajean.png"))));
    grid->registerClass<DisplayParsedLink>(DisplayParsedLink::reuseIdentifier);
    grid->registerClass<CompactTile>(CompactTile::reuseIdentifier);
    grid->setDelegate(this);
    grid->setDataSource(this);
    m_prefetcher = new PhotoPrefetcher(grid, [self = QPointer<ResultsGrid>(this)](int item) {
        return self ? self->listing(item) : nullptr;
    });
    m_layout->addWidget(grid, 0, 0);
    grid->show();
    grid->raise();
    m_toolbar->raise();
}

void ResultsGrid::holdAside()
{
    releaseHeld();
    if (!m_collectionView)
        return;
    m_collectionView->setDataSource(nullptr);
    m_collectionView->setDelegate(nullptr);
    m_collectionView->hide();
    m_heldView = std::exchange(m_collectionView, nullptr);
    m_heldPrefetcher = std::exchange(m_prefetcher, nullptr);
    m_heldExtractor = std::exchange(m_extractor, nullptr);
    m_rows->setListings(nullptr);
}

bool ResultsGrid::restoreHeld()
{
    if (!m_heldView) {
        releaseHeld();
        return false;
    }
    discard();
    m_collectionView = std::exchange(m_heldView, nullptr);
    m_prefetcher = std::exchange(m_heldPrefetcher, nullptr);
    m_extractor = std::exchange(m_heldExtractor, nullptr);
    m_rows->setListings(m_extractor);
    showCounts();
    m_collectionView->setDelegate(this);
    m_collectionView->setDataSource(this);
    m_scrollReloads.forget();
    show();
    return true;
}

void ResultsGrid::releaseHeld()
{
    m_heldExtractor.reset();
    m_heldPrefetcher.clear();
    if (!m_heldView)
        return;
    m_layout->removeWidget(m_heldView);
    m_heldView->deleteLater();
    m_heldView.clear();
}

void ResultsGrid::discard()
{
    if (!m_collectionView)
        return;
    m_collectionView->setDataSource(nullptr);
    m_collectionView->setDelegate(nullptr);
    m_collectionView->hide();
    m_layout->removeWidget(m_collectionView);
    m_collectionView->deleteLater();
    m_collectionView.clear();
}

bool ResultsGrid::isShown() const
{
    return m_collectionView && !m_collectionView->isHidden();
}

bool ResultsGrid::isOpen() const
{
    return m_collectionView && m_collectionView->alpha() > 0;
}

void ResultsGrid::show()
{
    if (!m_collectionView)
        return;
    m_collectionView->show();
    m_collectionView->raise();
    m_toolbar->raise();
    takeKeyboard();
}

void ResultsGrid::takeKeyboard()
{
    // The arrows, Page Up/Down, Home and End scroll the grid as soon as it shows; an alert on
    // top keeps the keyboard until it goes.
    if (m_collectionView && !m_collectionView->isHidden() && AlertView::visibleAlerts().isEmpty())
        m_collectionView->setFocus(Qt::OtherFocusReason);
}

void ResultsGrid::hide()
{
    if (m_collectionView)
        m_collectionView->hide();
}

void ResultsGrid::open()
{
    if (!m_collectionView)
        return;
    m_collectionView->setAlpha(1.0);
    show();
    m_collectionView->reloadData();
}

void ResultsGrid::layOutListing(const std::shared_ptr<ParsedLink> &parsedLink)
{
    if (!m_collectionView || !parsedLink)
        return;
    if (parsedLink->idInList() >= m_rows->total())
        return;
    m_rows->listingsChanged();
    showCounts();
    configureTile(m_scratchTile);
    m_scratchTile->setParsedLink(parsedLink);
    m_scratchTile->computeDimensions();
    m_collectionView->reloadData();
    if (m_prefetcher)
        m_prefetcher->schedule();
}

void ResultsGrid::reload()
{
    if (!m_collectionView)
        return;
    // Photos that failed are asked for again; those cached stay as they are.
    if (m_extractor && m_extractor->parsedLinks()) {
        for (const ParsedLink::Ptr &link : *m_extractor->parsedLinks())
            link->retryFailedPhotos();
    }
    m_collectionView->reloadData();
    for (CollectionViewCell *cell : m_collectionView->visibleCells())
        cell->update();
}

void ResultsGrid::fitToFrame()
{
    if (!isShown())
        return;
    m_scrollReloads.forget();
    m_toolbar->raise();
}

void ResultsGrid::fixWidths()
{
    if (!m_extractor || !m_extractor->parsedLinks())
        return;
    for (const ParsedLink::Ptr &link : *m_extractor->parsedLinks())
        link->setSize({ float(m_width), link->size().height });
    if (!m_collectionView)
        return;
    const int count = m_collectionView->numberOfItemsInSection(0);
    for (int i = 0; i < count; ++i) {
        if (auto *tile = qobject_cast<DisplayParsedLink *>(
                m_collectionView->cellForItemAtIndexPath(IndexPath{ 0, i }))) {
            tile->recomputeDimensionsWithWidth(m_width);
        }
    }
}

void ResultsGrid::relayItems()
{
    if (m_collectionView)
        m_collectionView->performBatchUpdates({}, {});
}

void ResultsGrid::setToolbarVisible(bool visible, bool hasNext, bool paged)
{
    m_toolbar->showPaging(hasNext, paged);
    m_toolbar->setVisible(visible);
    m_filterBar->setVisible(visible);
    showCounts();
    if (m_collectionView) {
        m_collectionView->setObscuredTop(visible ? m_filterBar->barHeight() : 0);
        m_collectionView->setObscuredBottom(visible ? GridToolbar::barHeight : 0);
    }
    if (visible) {
        m_toolbar->raise();
        m_filterBar->raise();
    }
}

void ResultsGrid::refreshFavoriteMarks()
{
    if (!m_collectionView)
        return;
    const auto tiles = m_collectionView->findChildren<DisplayParsedLink *>();
    for (DisplayParsedLink *tile : tiles) {
        tile->refreshFavoriteState();
        tile->refreshSeenState();
    }
    for (CompactTile *tile : m_collectionView->findChildren<CompactTile *>())
        tile->refreshSeenState();
}

void ResultsGrid::configureTile(DisplayParsedLink *tile) const
{
    TileSettings::configure(tile, m_width);
}

std::shared_ptr<ParsedLink> ResultsGrid::listing(int item) const
{
    const int source = m_rows->sourceIndex(item);
    return source >= 0 && m_extractor && m_extractor->parsedLinks()
        ? m_extractor->parsedLinks()->value(source)
        : nullptr;
}

int ResultsGrid::collectionViewNumberOfItemsInSection(CollectionView *, int)
{
    if (!m_extractor)
        return 1;
    return m_rows->count();
}

CollectionViewCell *ResultsGrid::collectionViewCellForItemAtIndexPath(
    CollectionView *collectionView, const IndexPath &indexPath)
{
    const ParsedLink::Ptr link = listing(indexPath.row());
    if (compact()) {
        auto *small = qobject_cast<CompactTile *>(
            collectionView->dequeueReusableCell(CompactTile::reuseIdentifier, indexPath));
        if (small) {
            small->setDelegate(m_tileDelegate);
            small->setListing(link);
        }
        return small;
    }
    auto *tile = qobject_cast<DisplayParsedLink *>(
        collectionView->dequeueReusableCell(DisplayParsedLink::reuseIdentifier, indexPath));
    if (!tile)
        return nullptr;
    // A tile that already shows the listing as it is now is returned as it is.
    if (link && !tile->showsCurrent(link)) {
        configureTile(tile);
        tile->setDelegate(m_tileDelegate);
        tile->setParsedLink(link);
        tile->render();
    }
    return tile;
}

QSizeF ResultsGrid::sizeForItemAtIndexPath(CollectionView *, CollectionViewFlowLayout *,
                                           const IndexPath &indexPath)
{
    if (compact())
        return QSizeF(CompactTile::tileSize);
    const ParsedLink::Ptr link = listing(indexPath.row());
    if (link && link->size().height > 0)
        return QSizeF(link->size().width, link->size().height);
    return QSizeF(m_width, TileSettings::unlaidHeight);
}

QMarginsF ResultsGrid::insetForSectionAtIndex(CollectionView *, CollectionViewFlowLayout *layout,
                                              int)
{
    // The bars lie over the top and the bottom of the grid: the rows scroll clear of them.
    QMarginsF inset = TileSettings::sectionInset();
    inset.setTop(inset.top() + m_filterBar->barHeight());
    inset.setBottom(inset.bottom() + GridToolbar::barHeight);
    if (compact()) {
        const qreal side = CompactTile::sideInset(m_width, layout->minimumInteritemSpacing());
        inset.setLeft(side);
        inset.setRight(side);
    }
    return inset;
}

void ResultsGrid::scrollViewDidScroll(CollectionView *collectionView)
{
    m_scrollReloads.didScroll(collectionView, m_height);
}

void ResultsGrid::didSelectItemAtIndexPath(CollectionView *collectionView,
                                           const IndexPath &indexPath)
{
    // The screen finds the listing by its place among those fetched.
    if (const ParsedLink::Ptr link = listing(indexPath.row()); link && m_tileDelegate)
        m_tileDelegate->showDetailedListing(
            qobject_cast<DisplayParsedLink *>(collectionView->cellForItemAtIndexPath(indexPath)),
            IndexPath{ 0, link->idInList() });
}

void ResultsGrid::scrollViewDidEndDragging(CollectionView *collectionView, bool)
{
    m_scrollReloads.didEndDragging(collectionView, m_height);
}
