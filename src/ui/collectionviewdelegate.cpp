#include "ui/collectionviewdelegate.h"

#include "ui/collectionviewflowlayout.h"

QSizeF CollectionViewDelegate::sizeForItemAtIndexPath(CollectionView *,
                                                      CollectionViewFlowLayout *layout,
                                                      const IndexPath &)
{
    return layout->itemSize();
}

QMarginsF CollectionViewDelegate::insetForSectionAtIndex(CollectionView *,
                                                         CollectionViewFlowLayout *layout, int)
{
    return layout->sectionInset();
}

void CollectionViewDelegate::scrollViewDidScroll(CollectionView *) { }

void CollectionViewDelegate::scrollViewDidEndDragging(CollectionView *, bool) { }

void CollectionViewDelegate::didSelectItemAtIndexPath(CollectionView *, const IndexPath &) { }

void CollectionViewDelegate::didDeselectItemAtIndexPath(CollectionView *, const IndexPath &) { }
