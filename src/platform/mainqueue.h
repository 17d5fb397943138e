#pragma once

#include <QThread>

#include <functional>

class QObject;

// The GUI thread's event queue and the shared thread pool: work leaves the GUI thread as a pool
// task and comes back through a queued call.
namespace MainQueue {

// Runs fn on the GUI thread after the current event. Dropped when no application exists.
void post(std::function<void()> fn);

// As post(), but dropped when context has been destroyed before fn runs.
void post(QObject *context, std::function<void()> fn);

// Runs fn as a task of the global thread pool, at high priority by default.
void runInBackground(std::function<void()> fn, QThread::Priority priority = QThread::HighPriority);

} // namespace MainQueue
