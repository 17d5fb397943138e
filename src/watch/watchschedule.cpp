#include "watch/watchschedule.h"

#include "saved/watchedbookmarks.h"

#include <QRandomGenerator>

#include <algorithm>

namespace WatchSchedule {

qint64 nextWait(int minutes, int refusalsInARow, QRandomGenerator &random)
{
    const int period
        = std::clamp(minutes, WatchedBookmarks::minimumMinutes, WatchedBookmarks::maximumMinutes);
    const qint64 wait = (qint64(period) * 60 * 1000) << std::clamp(refusalsInARow, 0, 4);
    const qint64 jitter = wait / 10;
    return wait - jitter + qint64(random.bounded(quint64(2 * jitter + 1)));
}

} // namespace WatchSchedule
