#include "grid/tileflowlayout.h"

TileFlowLayout::TileFlowLayout(QObject *parent)
    : CollectionViewFlowLayout(parent)
{
}

TileFlowLayout::~TileFlowLayout() = default;

bool TileFlowLayout::shouldInvalidateLayoutForBoundsChange(const QRectF &)
{
    return true;
}

QList<LayoutAttributes> TileFlowLayout::layoutAttributesForElementsInRect(const QRectF &rect)
{
    const QList<LayoutAttributes> all
        = CollectionViewFlowLayout::layoutAttributesForElementsInRect(rect);
    const QSizeF content = collectionViewContentSize();
    QList<LayoutAttributes> kept;
    kept.reserve(all.size());
    for (const LayoutAttributes &attributes : all) {
        if (attributes.frame.right() <= content.width()
            && attributes.frame.bottom() <= content.height())
            kept.append(attributes);
    }
    return kept;
}
