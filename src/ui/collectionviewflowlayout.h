#pragma once

#include "ui/indexpath.h"

#include <QList>
#include <QMarginsF>
#include <QObject>
#include <QRectF>
#include <QSizeF>

#include <optional>

class CollectionView;

// Where one item sits in the content of a collection view.
struct LayoutAttributes
{
    IndexPath indexPath;
    QRectF frame;
};

// Lays items out in lines across the collection view's width: left to right with the
// inter-item spacing, a new line when the next item would not fit, each line as high as its
// tallest item and the lines apart by the line spacing. Sections follow one another, each framed
// by its inset. Frames are computed once per invalidation; the items in a rectangle are found by
// binary search over the lines.
class CollectionViewFlowLayout : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CollectionViewFlowLayout)

public:
    explicit CollectionViewFlowLayout(QObject *parent = nullptr);
    ~CollectionViewFlowLayout() override;

    // Spacings and insets below zero count as zero.
    qreal minimumLineSpacing() const { return m_minimumLineSpacing; }
    void setMinimumLineSpacing(qreal spacing);
    qreal minimumInteritemSpacing() const { return m_minimumInteritemSpacing; }
    void setMinimumInteritemSpacing(qreal spacing);
    // Used for items and sections whose delegate gives no size or inset of its own.
    QSizeF itemSize() const { return m_itemSize; }
    void setItemSize(const QSizeF &size);
    QMarginsF sectionInset() const { return m_sectionInset; }
    void setSectionInset(const QMarginsF &inset);

    CollectionView *collectionView() const { return m_collectionView; }

    // Computes every frame from the collection view's counts, sizes and width. The queries below
    // run it when the layout has been invalidated since it last ran.
    virtual void prepareLayout();
    void invalidateLayout();

    virtual QSizeF collectionViewContentSize();
    // In item order.
    virtual QList<LayoutAttributes> layoutAttributesForElementsInRect(const QRectF &rect);
    virtual std::optional<LayoutAttributes> layoutAttributesForItemAtIndexPath(
        const IndexPath &indexPath);
    // Asked before the collection view's bounds change; true invalidates the layout. By default
    // only a change of width re-lays the items out.
    virtual bool shouldInvalidateLayoutForBoundsChange(const QRectF &newBounds);

private:
    friend class CollectionView;

    struct Line
    {
        qreal top = 0;
        qreal bottom = 0;
        int first = 0; // index into m_frames
        int count = 0;
    };

    void setCollectionView(CollectionView *collectionView);
    void prepareIfNeeded();

    CollectionView *m_collectionView = nullptr;
    qreal m_minimumLineSpacing = 10;
    qreal m_minimumInteritemSpacing = 10;
    QSizeF m_itemSize{ 50, 50 };
    QMarginsF m_sectionInset;

    bool m_prepared = false;
    QList<QRectF> m_frames; // every item, the sections one after another
    QList<int> m_sectionStarts; // index of each section's first frame, plus the total
    QList<Line> m_lines; // in order, tops and bottoms never decreasing
    QSizeF m_contentSize;
};
