#pragma once

#include "demo/demofailurepolicy.h"

#include <QHttpServerResponder>
#include <QObject>
#include <QPointer>

#include <map>
#include <memory>

class DemoCatalogue;
class DemoPhotoPool;
class DemoSiteState;
class QHttpServer;
class QHttpServerRequest;
class QTcpSocket;
class QTimer;

// The HTTP side of the demo site. It lives on the site's own thread and answers every request
// there; a delayed answer waits on a timer rather than a sleep, so any number can wait at once.
class DemoServer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DemoServer)

public:
    struct Setup
    {
        std::shared_ptr<const DemoCatalogue> catalogue;
        std::shared_ptr<const DemoPhotoPool> photos;
        std::shared_ptr<DemoSiteState> state;
        DemoFailurePolicy failures;
        int delayMs = 0;
    };

    explicit DemoServer(Setup setup, QObject *parent = nullptr);
    ~DemoServer() override;

    // Listens on 127.0.0.1 only. Returns the port, or 0 when listening failed. Call it on the
    // thread the server lives in.
    quint16 listen(quint16 port);

private:
    using StatusCode = QHttpServerResponder::StatusCode;

    struct Answer
    {
        StatusCode status = StatusCode::Ok;
        QByteArray contentType;
        QByteArray body;
        DemoFailure failure = DemoFailure::None;
    };

    struct Pending
    {
        std::unique_ptr<QHttpServerResponder> responder;
        QPointer<QTcpSocket> socket;
        QTimer *timer = nullptr;
        Answer answer;
    };

    Answer searchPage(const QHttpServerRequest &request) const;
    Answer listingPage(const QString &path, const QString &file) const;
    Answer photo(const QString &path, const QString &file) const;
    Answer settingsFile(const QString &path) const;
    Answer withFailure(Answer answer, const QString &path) const;
    static Answer notFound(const QString &path);

    void respond(const QHttpServerRequest &request, QHttpServerResponder &&responder,
                 Answer answer);
    void sendPending(quint64 id);
    static void send(QHttpServerResponder &responder, const Answer &answer);

    Setup m_setup;
    QString m_base;
    QHttpServer *m_http;
    quint64 m_lastPending = 0;
    std::map<quint64, Pending> m_pending;
};
