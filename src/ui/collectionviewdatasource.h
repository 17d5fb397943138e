#pragma once

#include "ui/indexpath.h"

class CollectionView;
class CollectionViewCell;

// What a CollectionView shows: how many items each section holds, and a cell for an item. The
// cell normally comes from CollectionView::dequeueReusableCell().
class CollectionViewDataSource
{
public:
    virtual ~CollectionViewDataSource() = default;

    virtual int numberOfSectionsInCollectionView(CollectionView *collectionView);
    virtual int collectionViewNumberOfItemsInSection(CollectionView *collectionView, int section)
        = 0;
    virtual CollectionViewCell *collectionViewCellForItemAtIndexPath(CollectionView *collectionView,
                                                                     const IndexPath &indexPath)
        = 0;
};
