#pragma once

#include "ui/indexpath.h"

#include <QMarginsF>
#include <QSizeF>

class CollectionView;
class CollectionViewFlowLayout;

// Sizes, insets and the notifications of a CollectionView. Every operation has a default: the
// layout's own item size and section inset, and nothing for the notifications.
class CollectionViewDelegate
{
public:
    virtual ~CollectionViewDelegate() = default;

    virtual QSizeF sizeForItemAtIndexPath(CollectionView *collectionView,
                                          CollectionViewFlowLayout *layout,
                                          const IndexPath &indexPath);
    virtual QMarginsF insetForSectionAtIndex(CollectionView *collectionView,
                                             CollectionViewFlowLayout *layout, int section);

    // After every change of the content offset, once the cells follow the new offset.
    virtual void scrollViewDidScroll(CollectionView *collectionView);
    // When the user lets go of the scroll bar, or a burst of wheel or key scrolling has ended.
    virtual void scrollViewDidEndDragging(CollectionView *collectionView, bool willDecelerate);

    virtual void didSelectItemAtIndexPath(CollectionView *collectionView,
                                          const IndexPath &indexPath);
    virtual void didDeselectItemAtIndexPath(CollectionView *collectionView,
                                            const IndexPath &indexPath);
};
