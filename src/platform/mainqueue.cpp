#include "platform/mainqueue.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThreadPool>

#include <algorithm>
#include <mutex>

#if defined(Q_OS_LINUX)
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

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

void lowerThisThread()
{
#if defined(Q_OS_LINUX)
    // Linux keeps a nice value per thread; 10 weighs a thread a tenth of one at 0.
    thread_local const bool lowered = [] {
        const auto thread = id_t(syscall(SYS_gettid));
        return setpriority(PRIO_PROCESS, thread, 10) == 0;
    }();
    Q_UNUSED(lowered)
#endif
}

void runInBackground(std::function<void()> fn, QThread::Priority priority)
{
    // Tasks decode and encode images through Qt's plugins, which go away with the application
    // object; the pool must be idle before then, not only when static objects are destroyed.
    static std::once_flag drainAtTeardown;
    std::call_once(drainAtTeardown, [] {
        qAddPostRoutine(finishBackgroundTasks);
        if (QThreadPool *pool = backgroundPool())
            pool->setMaxThreadCount(backgroundThreadCount());
    });
    if (QThreadPool *pool = backgroundPool())
        pool->start(
            [fn = std::move(fn)] {
                lowerThisThread();
                fn();
            },
            int(priority));
}

int backgroundThreadCount()
{
    // One core is left to the GUI thread, the display server and Qt's own painting threads:
    // with every core scraping, paints wait for a core while a grid fills.
    return std::max(1, QThread::idealThreadCount() - 1);
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
