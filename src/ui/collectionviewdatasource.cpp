#include "ui/collectionviewdatasource.h"

int CollectionViewDataSource::numberOfSectionsInCollectionView(CollectionView *)
{
    return 1;
}
