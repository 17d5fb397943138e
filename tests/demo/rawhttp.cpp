#include "rawhttp.h"

#include <QDeadlineTimer>
#include <QTcpSocket>

RawHttpResponse RawHttpResponse::get(const QUrl &url, int timeoutMs)
{
    RawHttpResponse response;
    QDeadlineTimer deadline(timeoutMs);
    QTcpSocket socket;
    socket.connectToHost(url.host(), quint16(url.port(80)));
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return response;
    response.connected = true;
    socket.write("GET " + url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority)
                 + " HTTP/1.1\r\nHost: " + url.authority().toUtf8()
                 + "\r\nConnection: close\r\n\r\n");

    QByteArray received;
    qsizetype headerEnd = -1;
    bool closed = false;
    while (!deadline.hasExpired()) {
        const bool ready = socket.waitForReadyRead(int(deadline.remainingTime()));
        received += socket.readAll();
        if (headerEnd < 0 && (headerEnd = received.indexOf("\r\n\r\n")) >= 0) {
            const QList<QByteArray> lines = received.left(headerEnd).split('\n');
            response.status = lines.first().split(' ').value(1).toInt();
            for (const QByteArray &line : lines.mid(1)) {
                const qsizetype colon = line.indexOf(':');
                const QByteArray name = line.left(colon).trimmed().toLower();
                const QByteArray value = line.mid(colon + 1).trimmed();
                if (name == "content-length")
                    response.contentLength = value.toLongLong();
                else if (name == "content-type")
                    response.contentType = value;
            }
        }
        if (headerEnd >= 0 && response.contentLength >= 0
            && received.size() - headerEnd - 4 >= response.contentLength) {
            break;
        }
        if (!ready && socket.state() != QAbstractSocket::ConnectedState) {
            closed = true;
            break;
        }
    }
    if (headerEnd >= 0)
        response.body = received.mid(headerEnd + 4);
    response.closedEarly = closed && response.body.size() < response.contentLength;
    return response;
}
