#pragma once

#include "ui/collectionview.h"

#include <atomic>

// The listing grid's collection view. Its tiles can be far taller than the window, so the area
// in which cells must exist reaches from the top of the viewport down to the tallest visible
// tile, and never less than a screen height.
class LargeUICollectionView final : public CollectionView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LargeUICollectionView)

public:
    explicit LargeUICollectionView(const QRect &frame, QWidget *parent = nullptr);
    LargeUICollectionView(const QRect &frame, CollectionViewFlowLayout *layout,
                          QWidget *parent = nullptr);
    ~LargeUICollectionView() override;

    // The window's size in its current orientation, as of the last visible-area query.
    int screen_width() const { return m_screenWidth.load(); }
    int screen_height() const { return m_screenHeight.load(); }

    QRectF visibleBounds() const override;
    // The screen height, or the content height of the tallest cell that exists now if taller.
    float heightOfLargestVisibleCell() const;

private:
    void refreshScreenSize() const;

    // Refreshed by the const visible-area query.
    mutable std::atomic<int> m_screenWidth = 0;
    mutable std::atomic<int> m_screenHeight = 0;
};
