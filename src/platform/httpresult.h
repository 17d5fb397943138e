#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

// What one fetch gave: plain values, delivered on the GUI thread.
struct HttpResult
{
    QUrl requestedUrl;
    // The address after redirects.
    QUrl finalUrl;
    // 0 when no HTTP response arrived.
    int statusCode = 0;
    QByteArray body;
    // Empty when a whole response arrived, whatever its status; otherwise what went wrong
    // (unreachable host, refused, timed out, cut off in the middle of the body, too large, a
    // body that does not decode, a redirect loop).
    QString error;
    // The address, or one it redirected to, lies outside what the fetch may reach: nothing was
    // asked of it.
    bool addressRefused = false;

    bool ok() const { return error.isEmpty(); }
    bool isSuccessStatus() const { return statusCode >= 200 && statusCode < 300; }
    // The site refuses to serve this client: forbidden, rate-limited or unavailable.
    bool isRefusal() const { return statusCode == 403 || statusCode == 429 || statusCode == 503; }
};
