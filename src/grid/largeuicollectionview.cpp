#include "grid/largeuicollectionview.h"

#include "ui/collectionviewcell.h"

#include <algorithm>

LargeUICollectionView::LargeUICollectionView(const QRect &frame, QWidget *parent)
    : LargeUICollectionView(frame, nullptr, parent)
{
}

LargeUICollectionView::LargeUICollectionView(const QRect &frame, CollectionViewFlowLayout *layout,
                                             QWidget *parent)
    : CollectionView(frame, layout, parent)
{
    refreshScreenSize();
}

LargeUICollectionView::~LargeUICollectionView() = default;

void LargeUICollectionView::refreshScreenSize() const
{
    // The window stands in for the screen: its bounds in portrait have the shorter side as
    // width, and a landscape window (wider than high) swaps them.
    const QSize window = this->window()->size();
    int width = std::min(window.width(), window.height());
    int height = std::max(window.width(), window.height());
    if (window.width() > window.height())
        std::swap(width, height);
    m_screenWidth.store(width);
    m_screenHeight.store(height);
}

QRectF LargeUICollectionView::visibleBounds() const
{
    refreshScreenSize();
    QRectF area = CollectionView::visibleBounds();
    area.setHeight(heightOfLargestVisibleCell());
    return area;
}

float LargeUICollectionView::heightOfLargestVisibleCell() const
{
    // The cells of the last pass: the visible cells are themselves computed from this area.
    float tallest = float(m_screenHeight.load());
    for (const CollectionViewCell *cell : currentCells())
        tallest = std::max(tallest, float(cell->contentHeight()));
    return tallest;
}
