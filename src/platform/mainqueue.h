#pragma once

#include <QThread>

#include <functional>

class QObject;

// The GUI thread's event queue and the application's background pool: work leaves the GUI thread
// as a pool task and comes back through a queued call.
namespace MainQueue {

// Runs fn on the GUI thread after the current event. Dropped when no application exists.
void post(std::function<void()> fn);

// As post(), but dropped when context has been destroyed before fn runs.
void post(QObject *context, std::function<void()> fn);

// Runs fn as a task of the background pool, at high priority by default. The pool is the
// application's own, not QThreadPool::globalInstance(): Qt's painting and image conversions split
// large jobs over the global pool and wait for them on the GUI thread, so long tasks (decoding
// photos) there would stall the GUI thread behind them.
void runInBackground(std::function<void()> fn, QThread::Priority priority = QThread::HighPriority);

// Gives the calling thread a lower share of a busy processor than the GUI thread (a nice value
// of its own, once per thread): on a machine of two cores, work in the background otherwise
// delays the GUI thread's paints. Pool tasks run so; other background threads call it.
void lowerThisThread();

// The tasks the background pool runs at once: one fewer than the processor's cores, at least
// one.
int backgroundThreadCount();

// Blocks until every background task has finished (for tests, and before tearing down what the
// tasks use).
void waitForBackgroundTasks();

// Drops the tasks that have not started and blocks until the running ones have finished. Runs
// by itself as the application object is destroyed.
void finishBackgroundTasks();

} // namespace MainQueue
