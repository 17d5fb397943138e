#include "ui/collectionviewcell.h"

CollectionViewCell::CollectionViewCell(QWidget *parent)
    : QWidget(parent)
{
}

CollectionViewCell::~CollectionViewCell() = default;

void CollectionViewCell::prepareForReuse() { }

int CollectionViewCell::contentHeight() const
{
    return height();
}
