#pragma once

#include <QString>

enum class DemoFailure {
    None,
    ServerError, // HTTP 500 with a short error page
    CutOff, // headers with the full Content-Length, half the body, then the connection closes
};

// Decides which paths fail. The choice hashes the path, so it is the same on every run and
// every request, and the two kinds of failure share the failing paths half and half.
class DemoFailurePolicy
{
public:
    explicit DemoFailurePolicy(double failRate = 0.0);

    double failRate() const { return m_failRate; }
    DemoFailure failureFor(const QString &path) const;

    // Where the path falls in [0, 1): it fails when that is below the fail rate.
    static double position(const QString &path);

private:
    double m_failRate;
};
