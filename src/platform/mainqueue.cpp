#include "platform/mainqueue.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThreadPool>

#include <mutex>

namespace MainQueue {

void post(std::function<void()> fn)
{
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return;
    QMetaObject::invokeMethod(app, std::move(fn), Qt::QueuedConnection);
}

void post(QObject *context, std::function<void()> fn)
{
    QPointer<QObject> guard(context);
    post([guard, fn = std::move(fn)] {
        if (guard)
            fn();
    });
}

Q_GLOBAL_STATIC(QThreadPool, backgroundPool)

void runInBackground(std::function<void()> fn, QThread::Priority priority)
{
    // Tasks decode and encode images through Qt's plugins, which go away with the application
    // object; the pool must be idle before then, not only when static objects are destroyed.
    static std::once_flag drainAtTeardown;
    std::call_once(drainAtTeardown, [] { qAddPostRoutine(finishBackgroundTasks); });
    if (QThreadPool *pool = backgroundPool())
        pool->start(std::move(fn), int(priority));
}

void waitForBackgroundTasks()
{
    if (QThreadPool *pool = backgroundPool())
        pool->waitForDone();
}

void finishBackgroundTasks()
{
    if (QThreadPool *pool = backgroundPool()) {
        pool->clear();
        pool->waitForDone();
    }
}

} // namespace MainQueue
