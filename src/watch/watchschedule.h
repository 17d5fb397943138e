#pragma once

#include <QtGlobal>

class QRandomGenerator;

// When a watched bookmark is checked next: after its period, moved by up to a tenth of it at
// random so that the checks of several watches never line up; after the site refused a check,
// the period doubles for each refusal in a row (at most 16 times as long), so that a limited
// site is not hammered.
namespace WatchSchedule {

// The wait in milliseconds; minutes is kept within the periods allowed.
qint64 nextWait(int minutes, int refusalsInARow, QRandomGenerator &random);

} // namespace WatchSchedule
