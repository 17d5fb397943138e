#pragma once

#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <QObject>
#include <QUrl>

#include <atomic>
#include <functional>

class QThread;
class QTcpServer;
class QTcpSocket;

// A web server on 127.0.0.1 that misbehaves at the socket level, on a thread of its own so that
// a flood it sends never holds the thread of the code under test. Each path answers as told:
// plain responses on a connection kept open for more, or one of the hostile behaviours, which
// take the connection for good.
class HostileServer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HostileServer)

public:
    enum class Behaviour {
        Respond, // the raw response bytes given
        RespondAndClose, // the same, then the connection closes
        Trickle, // headers of a large body, then one byte every 100 ms
        Endless, // a body without length, as fast as the client takes it
        FloodHeaders, // a status line, then header lines that never end
        FloodContinue, // "100 Continue" responses that never end
    };

    HostileServer();
    ~HostileServer() override;

    bool start();
    QUrl url(const QString &path) const;

    // path is matched without its query.
    void respond(const QString &path, const QByteArray &response);
    void respondAndClose(const QString &path, const QByteArray &response);
    void behave(const QString &path, Behaviour behaviour);
    // A whole response of the given status, headers and body.
    static QByteArray response(int status, const QByteArray &body,
                               const QList<QByteArray> &headers = {},
                               const QByteArray &contentType = "text/html");

    int requests(const QString &path) const;

private:
    struct Route
    {
        Behaviour behaviour = Behaviour::Respond;
        QByteArray response;
    };
    void serve(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const Route &route);

    QThread *thread = nullptr;
    QTcpServer *server = nullptr;
    quint16 port = 0;
    mutable QMutex mutex;
    QHash<QString, Route> routes;
    QHash<QString, int> counts;
};
