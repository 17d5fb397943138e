#pragma once

#include "ui/indexpath.h"

#include <QSize>
#include <QSizeF>
#include <QString>

#include <functional>

class CollectionView;
class CollectionViewCell;

// What the grid shows: the cell classes to register, each item's size and a cell for an item.
// A grid with a data source and delegate of its own (the application's tiles) gives attach()
// instead, which sets the view up completely.
struct GridScrollItems
{
    int count = 0;
    std::function<void(CollectionView *view)> registerCells;
    std::function<QSizeF(const IndexPath &path)> sizeForItem;
    std::function<CollectionViewCell *(CollectionView *view, const IndexPath &path)> cellForItem;
    std::function<void(CollectionView *view)> attach;
    // When set: whether the cells on screen are complete (their photos placed). The run waits
    // for it before the first frame and after the last, and reports both waits.
    std::function<bool(CollectionView *view)> screenReady;
};

struct GridScrollOptions
{
    QSize window{ 1024, 768 };
    int step = 40; // points scrolled per frame
    int fps = 0; // frames a second, as a display paces them; 0: each frame starts at once
    bool largeView = true; // LargeUICollectionView rather than the plain CollectionView
    bool tileLayout = false; // TileFlowLayout rather than the plain flow layout
    QString screenshot; // when set, a grab of the window halfway down is saved there
};

struct GridScrollResult
{
    double firstLayoutMs = 0; // from showing the window to its first screen of cells painted
    double firstScreenMs = -1; // from showing the window until screenReady, -1 without it
    double lastScreenMs = -1; // from the last frame until screenReady
    int incompleteFrames = 0; // frames that ended with photos still missing on screen
    int frames = 0;
    double medianMs = 0;
    double p95Ms = 0;
    double worstMs = 0;
    int slowFrames = 0; // frames over 16 ms
    int busyFrames = 0; // frames that used over 16 ms of the GUI thread's processor time
    double worstCpuMs = 0; // the most processor time one frame used
    int cellsMade = 0; // cell widgets alive at the end
    qint64 peakResidentKb = 0; // VmHWM
};

// Builds the grid in a window, scrolls it from top to bottom one step per frame, laying out
// and painting every frame, and measures each frame.
GridScrollResult runGridScroll(const GridScrollItems &items, const GridScrollOptions &options);
