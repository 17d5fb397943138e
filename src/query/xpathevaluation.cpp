#include "query/xpathevaluation.h"

#include "platform/mainqueue.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

namespace {

// How long past the deadline the caller waits for an evaluation that the watchdog has stopped
// to come back: it ends at its next check unless a merge is under way.
constexpr std::chrono::milliseconds grace{ 300 };

void ignoreStructuredError(void *, xmlErrorPtr) { }

// What the caller and the evaluating thread share; whoever comes last frees the result.
struct Handover
{
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    bool abandoned = false;
    bool overBudget = false;
    xmlXPathObjectPtr result = nullptr;
};

// A thread that evaluates for one calling thread, one job at a time: cheaper than a thread for
// each query. One left behind on a job is orphaned: it ends with that job, and the caller starts
// another.
class Evaluator
{
public:
    static std::shared_ptr<Evaluator> start()
    {
        auto evaluator = std::make_shared<Evaluator>();
        std::thread([evaluator] {
            MainQueue::lowerThisThread();
            evaluator->loop();
        }).detach();
        return evaluator;
    }

    void post(std::function<void()> job)
    {
        {
            const std::lock_guard lock(mutex);
            pending = std::move(job);
        }
        wake.notify_one();
    }

    void orphan()
    {
        {
            const std::lock_guard lock(mutex);
            orphaned = true;
        }
        wake.notify_one();
    }

private:
    void loop()
    {
        std::unique_lock lock(mutex);
        for (;;) {
            wake.wait(lock, [this] { return pending || orphaned; });
            if (!pending)
                return;
            std::function<void()> job = std::exchange(pending, nullptr);
            lock.unlock();
            job();
            job = nullptr;
            lock.lock();
            if (orphaned)
                return;
        }
    }

    std::mutex mutex;
    std::condition_variable wake;
    std::function<void()> pending;
    bool orphaned = false;
};

// The calling thread's evaluator, orphaned (and so ended) when the calling thread ends.
struct OwnEvaluator
{
    ~OwnEvaluator()
    {
        if (evaluator)
            evaluator->orphan();
    }
    std::shared_ptr<Evaluator> evaluator;
};

} // namespace

XPathEvaluation XPathEvaluation::run(const std::shared_ptr<xmlDoc> &document, xmlNode *from,
                                     const QByteArray &expression, unsigned long opLimit,
                                     XPathWatchdog::Clock::duration budget)
{
    XPathEvaluation evaluation;
    if (!document)
        return evaluation;
    const auto deadline = XPathWatchdog::Clock::now() + budget;
    auto handover = std::make_shared<Handover>();
    thread_local OwnEvaluator own;
    if (!own.evaluator)
        own.evaluator = Evaluator::start();
    own.evaluator->post([handover, document, from, expression, opLimit, budget] {
        xmlXPathContextPtr context = xmlXPathNewContext(document.get());
        xmlXPathObjectPtr result = nullptr;
        bool overBudget = false;
        if (context) {
            context->error = ignoreStructuredError;
            context->opLimit = opLimit;
            context->opCount = 0;
            context->node = from;
            {
                const XPathWatchdog::Watch watch(context, budget);
                result = xmlXPathEvalExpression(
                    reinterpret_cast<const xmlChar *>(expression.constData()), context);
                // libxml2 stops at the limit and leaves the count there.
                overBudget = watch.expired() || context->opCount >= context->opLimit;
            }
            xmlXPathFreeContext(context);
        }
        const std::lock_guard lock(handover->mutex);
        if (handover->abandoned || overBudget) {
            xmlXPathFreeObject(result);
            result = nullptr;
        }
        handover->result = result;
        handover->overBudget = overBudget;
        handover->done = true;
        handover->finished.notify_all();
    });

    std::unique_lock lock(handover->mutex);
    if (!handover->finished.wait_until(lock, deadline + grace, [&] { return handover->done; })) {
        handover->abandoned = true;
        own.evaluator->orphan();
        own.evaluator.reset();
        evaluation.status = Status::Abandoned;
        return evaluation;
    }
    evaluation.status = handover->overBudget ? Status::OverBudget : Status::Done;
    evaluation.result = std::exchange(handover->result, nullptr);
    return evaluation;
}

XPathEvaluation::XPathEvaluation(XPathEvaluation &&other) noexcept
    : status(other.status)
    , result(std::exchange(other.result, nullptr))
{
}

XPathEvaluation &XPathEvaluation::operator=(XPathEvaluation &&other) noexcept
{
    if (this != &other) {
        xmlXPathFreeObject(result);
        status = other.status;
        result = std::exchange(other.result, nullptr);
    }
    return *this;
}

XPathEvaluation::~XPathEvaluation()
{
    xmlXPathFreeObject(result);
}
