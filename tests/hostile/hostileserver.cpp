#include "hostile/hostileserver.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

namespace {

constexpr qint64 keepQueued = 1 << 20;

QByteArray reason(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 302:
        return "Found";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 429:
        return "Too Many Requests";
    case 500:
        return "Internal Server Error";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

// Keeps the socket's send queue full with more of chunk, for as long as the client reads.
void flood(QTcpSocket *socket, const QByteArray &chunk)
{
    const auto refill = [socket, chunk] {
        while (socket->state() == QAbstractSocket::ConnectedState
               && socket->bytesToWrite() < keepQueued)
            socket->write(chunk);
    };
    QObject::connect(socket, &QTcpSocket::bytesWritten, socket, refill);
    refill();
}

} // namespace

HostileServer::HostileServer()
    : thread(new QThread)
{
    thread->setObjectName(QStringLiteral("hostile server"));
    thread->start();
}

HostileServer::~HostileServer()
{
    if (server)
        QMetaObject::invokeMethod(
            server, [this] { delete server; }, Qt::BlockingQueuedConnection);
    thread->quit();
    thread->wait();
    delete thread;
}

bool HostileServer::start()
{
    server = new QTcpServer;
    server->moveToThread(thread);
    QMetaObject::invokeMethod(
        server,
        [this] {
            if (!server->listen(QHostAddress::LocalHost))
                return;
            port = server->serverPort();
            connect(server, &QTcpServer::newConnection, server, [this] {
                while (QTcpSocket *socket = server->nextPendingConnection())
                    serve(socket);
            });
        },
        Qt::BlockingQueuedConnection);
    return port != 0;
}

QUrl HostileServer::url(const QString &path) const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(path));
}

void HostileServer::respond(const QString &path, const QByteArray &bytes)
{
    QMutexLocker lock(&mutex);
    routes.insert(path, { Behaviour::Respond, bytes });
}

void HostileServer::respondAndClose(const QString &path, const QByteArray &bytes)
{
    QMutexLocker lock(&mutex);
    routes.insert(path, { Behaviour::RespondAndClose, bytes });
}

void HostileServer::behave(const QString &path, Behaviour behaviour)
{
    QMutexLocker lock(&mutex);
    routes.insert(path, { behaviour, {} });
}

QByteArray HostileServer::response(int status, const QByteArray &body,
                                   const QList<QByteArray> &headers, const QByteArray &contentType)
{
    QByteArray text = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason(status) + "\r\n";
    text += "Content-Type: " + contentType + "\r\n";
    text += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    for (const QByteArray &header : headers)
        text += header + "\r\n";
    return text + "\r\n" + body;
}

int HostileServer::requests(const QString &path) const
{
    QMutexLocker lock(&mutex);
    return counts.value(path);
}

void HostileServer::serve(QTcpSocket *socket)
{
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
        if (socket->property("hostile").toBool())
            return;
        QByteArray buffer = socket->property("buffer").toByteArray() + socket->readAll();
        qsizetype end = 0;
        while ((end = buffer.indexOf("\r\n\r\n")) >= 0) {
            const QByteArray request = buffer.left(end);
            buffer.remove(0, end + 4);
            const QList<QByteArray> requestLine = request.left(request.indexOf("\r\n")).split(' ');
            const QString path = QString::fromLatin1(requestLine.value(1)).section(u'?', 0, 0);
            Route route;
            {
                QMutexLocker lock(&mutex);
                ++counts[path];
                route = routes.value(path, { Behaviour::Respond, response(404, "no such path") });
            }
            answer(socket, route);
            if (route.behaviour != Behaviour::Respond) {
                socket->setProperty("hostile", true);
                return;
            }
        }
        socket->setProperty("buffer", buffer);
    });
}

void HostileServer::answer(QTcpSocket *socket, const Route &route)
{
    switch (route.behaviour) {
    case Behaviour::Respond:
        // The connection stays open for the client's next request.
        socket->write(route.response);
        break;
    case Behaviour::RespondAndClose:
        socket->write(route.response);
        connect(socket, &QTcpSocket::bytesWritten, socket, [socket] {
            if (socket->bytesToWrite() == 0)
                socket->disconnectFromHost();
        });
        break;
    case Behaviour::Trickle: {
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\nContent-Length: 100000\r\n"
                      "Connection: close\r\n\r\n");
        auto *drip = new QTimer(socket);
        connect(drip, &QTimer::timeout, socket, [socket] { socket->write("x"); });
        drip->start(100);
        break;
    }
    case Behaviour::Endless:
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n"
                      "Connection: close\r\n\r\n");
        flood(socket, QByteArray(64 * 1024, 'e'));
        break;
    case Behaviour::FloodHeaders: {
        socket->write("HTTP/1.1 200 OK\r\n");
        QByteArray lines;
        for (int i = 0; i < 64; ++i)
            lines += "X-Flood-" + QByteArray::number(i) + ": " + QByteArray(60, 'f') + "\r\n";
        flood(socket, lines);
        break;
    }
    case Behaviour::FloodContinue:
        flood(socket, QByteArray("HTTP/1.1 100 Continue\r\n\r\n").repeated(256));
        break;
    }
}
