#pragma once

#include "platform/addresspolicy.h"
#include "platform/httpresult.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include <functional>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;

// One running fetch. Abort it to drop its result: the callback then never runs.
class HttpFetch
{
public:
    void abort();
    // True from get() until the fetch ends or is aborted, also while it waits for a connection
    // or for the time a refusing server asked to wait.
    bool isRunning() const;

private:
    friend class HttpClient;
    QPointer<QNetworkReply> reply;
    bool waiting = false;
    bool aborted = false;
};

// Every fetch the system makes itself goes through this one client on the GUI thread: the
// fixed desktop "User-Agent", redirects followed (never from https to http, never in a loop),
// an inactivity timeout, a low-speed rule and a deadline for the whole transfer, a cap on the body,
// the proxies named by http_proxy, https_proxy and no_proxy. Fetches run in parallel, a few
// connections per host; the others wait their turn here, in the order they were asked for. A server
// that answers 429 or 503 is asked once more after the wait it names, and gets fewer connections
// from then on.
//
// Each host is served by a network manager of its own (up to a few; more hosts share them), so a
// server that floods one connection keeps only its own manager's thread busy.
class HttpClient final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HttpClient)

public:
    using Callback = std::function<void(const HttpResult &)>;

    static HttpClient &instance();
    static QByteArray userAgent();

    // Starts a GET of url. done runs on the GUI thread once the fetch ends, unless the fetch
    // was aborted or context was destroyed first. An address outside reach, at the start or
    // after a redirect, is never asked: the fetch fails with addressRefused set.
    std::shared_ptr<HttpFetch> get(const QUrl &url, QObject *context, Callback done,
                                   AddressPolicy::Reach reach = AddressPolicy::Reach::Any);

    // Seconds without any byte moving after which a fetch fails (60 unless changed).
    void setInactivityTimeout(int seconds);
    int inactivityTimeout() const { return inactivityMs / 1000; }
    // The whole transfer, headers and body, must end within this time.
    void setTransferDeadline(int milliseconds) { transferDeadlineMs = milliseconds; }
    // The status line and headers must be complete within this time after the request.
    void setHeaderDeadline(int milliseconds) { headerDeadlineMs = milliseconds; }
    // A body larger than this fails the fetch, as soon as it is announced or received.
    void setMaxBytes(qint64 bytes) { maxBytes = bytes; }
    // A transfer that averages fewer bytes a second than this over a whole window fails.
    void setLowSpeedLimit(qint64 bytesPerSecond, int windowMilliseconds)
    {
        lowSpeedBytesPerSecond = bytesPerSecond;
        lowSpeedWindowMs = windowMilliseconds;
    }
    // Restores every limit above to its default.
    void resetLimits();

    // How many fetches the host of url may have running at once now.
    int connectionLimit(const QUrl &url) const;

    // The network manager's connections to one host. It is never given more fetches for a host
    // than that: when one of its connections breaks, it fails every fetch still queued for the
    // host, although none of them was sent.
    static constexpr int maxConnectionsPerHost = 6;
    static constexpr int maxRedirects = 10;
    static constexpr int defaultTransferDeadlineSeconds = 300;
    static constexpr int defaultHeaderDeadlineSeconds = 30;
    static constexpr qint64 defaultMaxBytes = 64 * 1024 * 1024;
    static constexpr qint64 defaultLowSpeedBytesPerSecond = 1024;
    static constexpr int defaultLowSpeedWindowSeconds = 30;
    // The longest wait a refusing server may ask for before it is asked again, and the wait when
    // it names none.
    static constexpr int maxRetryAfterSeconds = 30;
    static constexpr int defaultRetryAfterSeconds = 2;
    static constexpr int maxManagers = 8;

private:
    struct Request
    {
        QUrl url;
        QPointer<QObject> context;
        bool hasContext = false;
        Callback done;
        AddressPolicy::Reach reach = AddressPolicy::Reach::Any;
        std::shared_ptr<HttpFetch> fetch;
        int attempt = 0;
        bool retriedRefusal = false;
    };
    struct Transfer;
    static constexpr int maxAttempts = 2;

    explicit HttpClient(QObject *parent = nullptr);
    void enqueue(Request request);
    // Fails the request without asking anyone, as refused by the address policy.
    void refuse(Request request, const QString &reason);
    void send(Request request, const QString &host);
    void finish(Request request, const QString &host, QNetworkReply *reply,
                const std::shared_ptr<Transfer> &transfer);
    void askAgainLater(Request request, int seconds);
    void release(const QString &host);
    void startWaiting(const QString &host);
    void watch(QNetworkReply *reply, const std::shared_ptr<Transfer> &transfer,
               AddressPolicy::Reach reach);
    QNetworkAccessManager *managerFor(const QString &host);

    QList<QNetworkAccessManager *> managers;
    QHash<QString, QNetworkAccessManager *> managerByHost;
    QHash<QString, int> running; // by host
    QHash<QString, int> limits; // by host, once lowered
    QHash<QString, QList<Request>> waiting; // by host, oldest first
    int inactivityMs = 60 * 1000;
    int transferDeadlineMs = defaultTransferDeadlineSeconds * 1000;
    int headerDeadlineMs = defaultHeaderDeadlineSeconds * 1000;
    qint64 maxBytes = defaultMaxBytes;
    qint64 lowSpeedBytesPerSecond = defaultLowSpeedBytesPerSecond;
    int lowSpeedWindowMs = defaultLowSpeedWindowSeconds * 1000;
};
