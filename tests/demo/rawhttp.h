#pragma once

#include <QByteArray>
#include <QUrl>

// A blocking HTTP/1.1 GET over a plain socket, so tests see exactly what the server sent: the
// status, the announced length and whether the body arrived whole before the connection closed.
// Blocking the calling thread is the point: the demo site must answer from its own thread.
struct RawHttpResponse
{
    bool connected = false;
    int status = 0;
    QByteArray contentType;
    qint64 contentLength = -1;
    QByteArray body;
    bool closedEarly = false; // the connection closed before contentLength bytes arrived

    static RawHttpResponse get(const QUrl &url, int timeoutMs = 10000);
};
