#include "gridscrollbench.h"

#include "grid/largeuicollectionview.h"
#include "grid/tileflowlayout.h"
#include "ui/collectionviewcell.h"
#include "ui/collectionviewdatasource.h"
#include "ui/collectionviewdelegate.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <ctime>
#include <memory>

namespace {

class BenchSource final : public CollectionViewDataSource, public CollectionViewDelegate
{
public:
    explicit BenchSource(const GridScrollItems &items)
        : m_items(items)
    {
    }

    int collectionViewNumberOfItemsInSection(CollectionView *, int) override
    {
        return m_items.count;
    }
    CollectionViewCell *collectionViewCellForItemAtIndexPath(CollectionView *view,
                                                             const IndexPath &path) override
    {
        return m_items.cellForItem(view, path);
    }
    QSizeF sizeForItemAtIndexPath(CollectionView *, CollectionViewFlowLayout *,
                                  const IndexPath &path) override
    {
        return m_items.sizeForItem(path);
    }

private:
    const GridScrollItems &m_items;
};

qint64 peakResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

double percentile(const QList<double> &sorted, double fraction)
{
    if (sorted.isEmpty())
        return 0;
    return sorted.at(std::min<qsizetype>(sorted.size() - 1, qsizetype(sorted.size() * fraction)));
}

// Processor time the calling thread has used, in ms: a frame that took long while using little
// of it was waiting (for the processor, a lock, the display server), not working.
double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// Runs the event loop until ready(view), and gives the time since started (ms); -1 after 60 s.
double waitUntil(const std::function<bool(CollectionView *)> &ready, CollectionView *view,
                 const QElapsedTimer &started)
{
    // Sleeps until something happens: the photo tasks need the processor more than this loop.
    QTimer tick;
    tick.start(5);
    while (!ready(view)) {
        if (started.elapsed() > 60000)
            return -1;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return started.nsecsElapsed() / 1e6;
}

// A small denim-like tile, so the spacing between cells and the scrolling pattern show.
QPixmap backgroundPattern()
{
    QPixmap pattern(16, 16);
    pattern.fill(QColor(0x2f, 0x45, 0x66));
    QPainter painter(&pattern);
    painter.setPen(QColor(0x3d, 0x57, 0x7d));
    for (int i = -16; i < 16; i += 4)
        painter.drawLine(i, 0, i + 16, 16);
    return pattern;
}

} // namespace

GridScrollResult runGridScroll(const GridScrollItems &items, const GridScrollOptions &options)
{
    BenchSource source(items);
    QWidget window;
    window.resize(options.window);
    CollectionViewFlowLayout *layout
        = options.tileLayout ? new TileFlowLayout : new CollectionViewFlowLayout;
    const QRect frame(QPoint(), options.window);
    CollectionView *view = options.largeView ? new LargeUICollectionView(frame, layout, &window)
                                             : new CollectionView(frame, layout, &window);
    if (items.attach) {
        items.attach(view);
    } else {
        view->setBackgroundBrush(QBrush(backgroundPattern()));
        items.registerCells(view);
        view->setDataSource(&source);
        view->setDelegate(&source);
    }
    // The clock runs from showing the window, as the grid is shown to the user.
    GridScrollResult result;
    QElapsedTimer waited;
    waited.start();
    window.show();
    while (!window.windowHandle()->isExposed() && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    if (!window.windowHandle()->isExposed())
        qWarning("the window was not exposed; the figures measure no painting");
    view->layoutIfNeeded();
    view->viewport()->repaint();
    result.firstLayoutMs = waited.nsecsElapsed() / 1e6;
    if (items.screenReady)
        result.firstScreenMs = waitUntil(items.screenReady, view, waited);

    const int bottom = int(view->contentSize().height()) - view->viewport()->height();
    QList<double> frameMs;
    QList<double> frameCpuMs;
    QElapsedTimer timer;
    bool shot = options.screenshot.isEmpty();
    for (int offset = 0;; offset = std::min(offset + options.step, bottom)) {
        timer.start();
        const double cpuStart = threadCpuMs();
        view->setContentOffset(QPointF(0, offset), false);
        view->viewport()->repaint();
        QCoreApplication::processEvents();
        frameMs.append(timer.nsecsElapsed() / 1e6);
        frameCpuMs.append(threadCpuMs() - cpuStart);
        if (items.screenReady && !items.screenReady(view))
            ++result.incompleteFrames;
        if (options.fps > 0) {
            // The rest of the frame's time goes to the event loop: photos arriving are placed.
            const qint64 interval = 1000 / options.fps;
            QTimer wake;
            wake.setTimerType(Qt::PreciseTimer);
            wake.setSingleShot(true);
            wake.start(std::max<qint64>(0, interval - timer.elapsed()));
            while (timer.elapsed() < interval)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        if (!shot && offset >= bottom / 2) {
            window.grab().save(options.screenshot);
            shot = true;
        }
        if (offset >= bottom)
            break;
    }

    if (items.screenReady) {
        QElapsedTimer last;
        last.start();
        result.lastScreenMs = waitUntil(items.screenReady, view, last);
    }

    result.frames = int(frameMs.size());
    result.slowFrames
        = int(std::count_if(frameMs.cbegin(), frameMs.cend(), [](double ms) { return ms > 16.0; }));
    result.busyFrames = int(
        std::count_if(frameCpuMs.cbegin(), frameCpuMs.cend(), [](double ms) { return ms > 16.0; }));
    result.worstCpuMs = *std::max_element(frameCpuMs.cbegin(), frameCpuMs.cend());
    result.worstMs = *std::max_element(frameMs.cbegin(), frameMs.cend());
    std::sort(frameMs.begin(), frameMs.end());
    result.medianMs = percentile(frameMs, 0.5);
    result.p95Ms = percentile(frameMs, 0.95);
    result.cellsMade = int(view->viewport()->findChildren<CollectionViewCell *>().size());
    result.peakResidentKb = peakResidentKb();
    return result;
}
