#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <set>

struct _xmlXPathContext;

// Ends XPath evaluations that run past their deadline. libxml2 checks a context's operation limit
// at every step and at every node it visits, but it does not count the merging of node sets
// between steps, whose cost grows with the square of the page (`//*//*//a` on nested markup).
// A thread of its own lowers the limit of a context whose deadline has passed, and the
// evaluation stops at its next check; what is left is at most the merge under way.
class XPathWatchdog
{
public:
    using Clock = std::chrono::steady_clock;

    // Keeps watch over one context while it lives; the context must outlive it.
    class Watch
    {
    public:
        Watch(_xmlXPathContext *context, Clock::duration budget);
        ~Watch();
        Watch(const Watch &) = delete;
        Watch &operator=(const Watch &) = delete;

        // The deadline passed and the context's limit was lowered.
        bool expired() const;

    private:
        std::uint64_t id;
    };

private:
    XPathWatchdog() = default;

    struct Entry
    {
        _xmlXPathContext *context;
        Clock::time_point deadline;
    };

    static XPathWatchdog &instance();
    std::uint64_t add(_xmlXPathContext *context, Clock::time_point deadline);
    bool remove(std::uint64_t id);
    bool hasExpired(std::uint64_t id) const;
    void run();

    mutable std::mutex mutex;
    std::condition_variable wake;
    std::map<std::uint64_t, Entry> watched;
    std::set<std::uint64_t> expiredIds;
    std::uint64_t nextId = 1;
    bool started = false;
};
