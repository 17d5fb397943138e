#include "platform/instancechannel.h"

#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>

#include <unistd.h>

namespace {

const QByteArray taken = QByteArrayLiteral("ok\n");

} // namespace

InstanceChannel::InstanceChannel(const QString &name, QObject *parent)
    : QObject(parent)
    , serverName(QStringLiteral("%1-%2").arg(name).arg(::getuid()))
{
}

InstanceChannel::~InstanceChannel() = default;

bool InstanceChannel::handOver(const QByteArray &message, int timeoutMs) const
{
    QLocalSocket socket;
    socket.connectToServer(serverName);
    const QDeadlineTimer deadline(timeoutMs);
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return false;
    socket.write(message.left(maxMessage).replace('\n', ' ') + '\n');
    if (!socket.waitForBytesWritten(int(deadline.remainingTime())))
        return false;
    // The running instance answers once it has the message: a socket left by one that crashed
    // connects to nothing.
    while (!socket.canReadLine()) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    }
    return socket.readLine() == taken;
}

bool InstanceChannel::listen()
{
    if (server)
        return true;
    server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server, &QLocalServer::newConnection, this, &InstanceChannel::accept);
    if (server->listen(serverName))
        return true;
    // What is there answered no handOver(): the socket of an instance that is gone.
    QLocalServer::removeServer(serverName);
    return server->listen(serverName);
}

void InstanceChannel::accept()
{
    while (QLocalSocket *socket = server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->bytesAvailable() > maxMessage + 1 && !socket->canReadLine()) {
                socket->abort();
                return;
            }
            if (!socket->canReadLine())
                return;
            const QByteArray message = socket->readLine().chopped(1);
            socket->write(taken);
            socket->disconnectFromServer();
            emit received(message);
        });
    }
}
