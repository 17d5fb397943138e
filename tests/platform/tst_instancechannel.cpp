#include "common/testregistry.h"

#include "platform/instancechannel.h"

#include <QSignalSpy>
#include <QTest>
#include <QUuid>

#include <atomic>
#include <thread>

namespace {

// handOver() on a thread of its own: 1 taken, 0 not, -1 still waiting.
struct HandOver
{
    std::atomic<int> outcome = -1;
    std::thread thread;

    HandOver(const InstanceChannel &channel, const QByteArray &message)
        : thread([this, &channel, message] { outcome = channel.handOver(message) ? 1 : 0; })
    {
    }
    ~HandOver() { thread.join(); }
};

} // namespace

// A later start hands its page to the running instance over the channel. The sending side
// blocks, so it runs on another thread while this one serves the channel.
class TestInstanceChannel final : public QObject
{
    Q_OBJECT

    static QString uniqueName()
    {
        return u"listoro-test-"_qs + QUuid::createUuid().toString(QUuid::Id128);
    }

private slots:
    void handOver_reachesTheListeningInstanceOnly()
    {
        const QString name = uniqueName();
        const InstanceChannel later(name);
        // Nobody listens: the start goes on by itself.
        QVERIFY(!later.handOver("{}", 500));

        InstanceChannel running(name);
        QVERIFY(running.listen());
        QSignalSpy received(&running, &InstanceChannel::received);
        const QByteArray page = R"({"address":"https://example.org/search?q=a b","grid":true})";
        const HandOver handOver(later, page);
        QTRY_VERIFY(handOver.outcome >= 0);
        QCOMPARE(handOver.outcome.load(), 1);
        QCOMPARE(received.size(), 1);
        QCOMPARE(received.first().first().toByteArray(), page);
    }

    void listen_takesOverTheSocketOfAnInstanceThatIsGone()
    {
        const QString name = uniqueName();
        {
            InstanceChannel gone(name);
            QVERIFY(gone.listen());
        }
        InstanceChannel running(name);
        QVERIFY(running.listen());
        const InstanceChannel later(name);
        const HandOver handOver(later, "{}");
        QTRY_VERIFY(handOver.outcome >= 0);
        QCOMPARE(handOver.outcome.load(), 1);
    }
};

LISTORO_TEST(TestInstanceChannel)
#include "tst_instancechannel.moc"
