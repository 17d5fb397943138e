#include "query/xpathwatchdog.h"

#include <atomic>
#include <thread>

#include <libxml/xpath.h>

XPathWatchdog::Watch::Watch(_xmlXPathContext *context, Clock::duration budget)
    : id(instance().add(context, Clock::now() + budget))
{
}

XPathWatchdog::Watch::~Watch()
{
    instance().remove(id);
}

bool XPathWatchdog::Watch::expired() const
{
    return instance().hasExpired(id);
}

XPathWatchdog &XPathWatchdog::instance()
{
    // Never destroyed: an evaluation left behind may still end (and leave the watch) while the
    // process exits.
    static XPathWatchdog *watchdog = new XPathWatchdog;
    return *watchdog;
}

std::uint64_t XPathWatchdog::add(_xmlXPathContext *context, Clock::time_point deadline)
{
    std::uint64_t id;
    {
        const std::lock_guard lock(mutex);
        if (!started) {
            std::thread([this] { run(); }).detach();
            started = true;
        }
        id = nextId++;
        watched.emplace(id, Entry{ context, deadline });
    }
    // The thread sleeps until the earliest deadline it knew of; this one may come sooner.
    wake.notify_all();
    return id;
}

bool XPathWatchdog::remove(std::uint64_t id)
{
    const std::lock_guard lock(mutex);
    watched.erase(id);
    return expiredIds.erase(id) > 0;
}

bool XPathWatchdog::hasExpired(std::uint64_t id) const
{
    const std::lock_guard lock(mutex);
    return expiredIds.contains(id);
}

void XPathWatchdog::run()
{
    std::unique_lock lock(mutex);
    for (;;) {
        if (watched.empty()) {
            wake.wait(lock);
            continue;
        }
        Clock::time_point earliest = Clock::time_point::max();
        const Clock::time_point now = Clock::now();
        for (auto it = watched.begin(); it != watched.end();) {
            if (it->second.deadline <= now) {
                // The evaluating thread reads the limit at its next check; an atomic store of the
                // one word is all the two threads share, and the entry cannot go (nor the context
                // be freed) while the lock is held.
                std::atomic_ref<unsigned long>(it->second.context->opLimit)
                    .store(1, std::memory_order_relaxed);
                expiredIds.insert(it->first);
                it = watched.erase(it);
            } else {
                earliest = std::min(earliest, it->second.deadline);
                ++it;
            }
        }
        if (earliest != Clock::time_point::max())
            wake.wait_until(lock, earliest);
    }
}
