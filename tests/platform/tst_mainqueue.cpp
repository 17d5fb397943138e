#include "common/testregistry.h"

#include "platform/mainqueue.h"

#include <QScopeGuard>
#include <QSemaphore>
#include <QTest>
#include <QThreadPool>

#include <atomic>
#include <thread>

class TestMainQueue : public QObject
{
    Q_OBJECT

private slots:
    // Qt's painting and image conversions wait on the GUI thread for work they hand to the
    // global pool; background tasks must never be what that work queues behind.
    void busyBackground_leavesTheGlobalPoolFree()
    {
        const int tasks = MainQueue::backgroundThreadCount();
        QVERIFY(tasks == 1 || tasks < QThread::idealThreadCount());
        QSemaphore release;
        std::atomic<int> started = 0;
        std::atomic<int> finished = 0;
        const auto unblock = qScopeGuard([&] {
            release.release(tasks);
            MainQueue::waitForBackgroundTasks();
        });
        for (int i = 0; i < tasks; ++i) {
            MainQueue::runInBackground([&] {
                ++started;
                release.acquire();
                ++finished;
            });
        }
        QTRY_COMPARE(started.load(), tasks);

        std::atomic<bool> ran = false;
        QThreadPool::globalInstance()->start([&ran] { ran = true; });
        QTRY_VERIFY(ran.load());
        QThreadPool::globalInstance()->waitForDone();

        release.release(tasks);
        MainQueue::waitForBackgroundTasks();
        QCOMPARE(finished.load(), tasks);
    }

    // Run as the application object goes: no task may still be running afterwards, as tasks
    // use Qt's image plugins, which go with it.
    void finishBackgroundTasks_returnsOnlyWhenNoTaskRuns()
    {
        const int tasks = MainQueue::backgroundThreadCount();
        QSemaphore release;
        std::atomic<int> started = 0;
        std::atomic<int> finished = 0;
        for (int i = 0; i < tasks + 3; ++i) {
            MainQueue::runInBackground([&] {
                ++started;
                release.acquire();
                QThread::msleep(20);
                ++finished;
            });
        }
        QTRY_COMPARE(started.load(), tasks);
        std::thread releaser([&release, tasks] {
            QThread::msleep(50);
            release.release(tasks + 3);
        });
        MainQueue::finishBackgroundTasks();
        QCOMPARE(finished.load(), started.load());
        // The three tasks still queued were dropped, not run.
        QCOMPARE(started.load(), tasks);
        releaser.join();

        // The pool still takes work afterwards.
        std::atomic<bool> ran = false;
        MainQueue::runInBackground([&ran] { ran = true; });
        MainQueue::waitForBackgroundTasks();
        QVERIFY(ran.load());
    }
};

LISTORO_TEST(TestMainQueue)
#include "tst_mainqueue.moc"
