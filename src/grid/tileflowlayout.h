#pragma once

#include "ui/collectionviewflowlayout.h"

// A flow layout for the listing grid: it lays itself out again after every change of the
// view's bounds, scrolling included, and hands out only items that lie within the content.
class TileFlowLayout final : public CollectionViewFlowLayout
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TileFlowLayout)

public:
    explicit TileFlowLayout(QObject *parent = nullptr);
    ~TileFlowLayout() override;

    bool shouldInvalidateLayoutForBoundsChange(const QRectF &newBounds) override;
    // Items whose right or bottom edge lies beyond the content size are left out; an edge
    // exactly on the content's edge is kept.
    QList<LayoutAttributes> layoutAttributesForElementsInRect(const QRectF &rect) override;
};
