#pragma once

#include "ui/indexpath.h"

#include <QSize>
#include <QSizeF>
#include <QString>

#include <functional>

class CollectionView;
class CollectionViewCell;

// What the grid shows: the cell classes to register, each item's size and a cell for an item.
// Swapping in the application's own tiles means giving these three functions.
struct GridScrollItems
{
    int count = 0;
    std::function<void(CollectionView *view)> registerCells;
    std::function<QSizeF(const IndexPath &path)> sizeForItem;
    std::function<CollectionViewCell *(CollectionView *view, const IndexPath &path)> cellForItem;
};

struct GridScrollOptions
{
    QSize window{ 1024, 768 };
    int step = 40; // points scrolled per frame
    bool largeView = true; // LargeUICollectionView rather than the plain CollectionView
    bool tileLayout = false; // TileFlowLayout rather than the plain flow layout
    QString screenshot; // when set, a grab of the window halfway down is saved there
};

struct GridScrollResult
{
    int frames = 0;
    double medianMs = 0;
    double p95Ms = 0;
    double worstMs = 0;
    int cellsMade = 0; // cell widgets alive at the end
    qint64 peakResidentKb = 0; // VmHWM
};

// Builds the grid in a window, scrolls it from top to bottom one step per frame, laying out
// and painting every frame, and measures each frame.
GridScrollResult runGridScroll(const GridScrollItems &items, const GridScrollOptions &options);
