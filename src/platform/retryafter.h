#pragma once

#include <QByteArray>
#include <QDateTime>

// The wait a refusing server names in its Retry-After header, in whole seconds from now: a
// number of seconds or an HTTP date (the current form and the two obsolete ones). A date in the
// past is no wait; a value that is neither form gives fallback.
qint64 retryAfterSeconds(const QByteArray &value, const QDateTime &now, qint64 fallback);
