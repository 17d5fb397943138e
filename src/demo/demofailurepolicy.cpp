#include "demo/demofailurepolicy.h"

#include <algorithm>
#include <cmath>

DemoFailurePolicy::DemoFailurePolicy(double failRate)
    : m_failRate(std::isfinite(failRate) ? std::clamp(failRate, 0.0, 1.0) : 0.0)
{
}

DemoFailure DemoFailurePolicy::failureFor(const QString &path) const
{
    const double at = position(path);
    if (at < m_failRate / 2)
        return DemoFailure::ServerError;
    if (at < m_failRate)
        return DemoFailure::CutOff;
    return DemoFailure::None;
}

double DemoFailurePolicy::position(const QString &path)
{
    // FNV-1a over the UTF-8 bytes, then a 64-bit finaliser so that paths differing only in
    // their last digits spread evenly. qHash() would not do: it is seeded per process.
    quint64 hash = 0xcbf29ce484222325ull;
    for (const char byte : path.toUtf8()) {
        hash ^= quint8(byte);
        hash *= 0x100000001b3ull;
    }
    hash ^= hash >> 33;
    hash *= 0xff51afd7ed558ccdull;
    hash ^= hash >> 33;
    hash *= 0xc4ceb9fe1a85ec53ull;
    hash ^= hash >> 33;
    return double(hash >> 11) * 0x1.0p-53;
}
