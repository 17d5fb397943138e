#pragma once

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
    // True from get() until the fetch ends or is aborted, also while it waits for a connection.
    bool isRunning() const;

private:
    friend class HttpClient;
    QPointer<QNetworkReply> reply;
    bool waiting = false;
    bool aborted = false;
};

// Every fetch the system makes itself goes through this one client on the GUI thread: the
// fixed desktop "User-Agent", redirects followed, an inactivity timeout, the proxies named by
// http_proxy, https_proxy and no_proxy. Fetches run in parallel, a few connections per host;
// the others wait their turn here, in the order they were asked for.
class HttpClient final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HttpClient)

public:
    using Callback = std::function<void(const HttpResult &)>;

    static HttpClient &instance();
    static QByteArray userAgent();

    // Starts a GET of url. done runs on the GUI thread once the fetch ends, unless the fetch
    // was aborted or context was destroyed first. A body larger than maxBytes fails the fetch.
    std::shared_ptr<HttpFetch> get(const QUrl &url, QObject *context, Callback done);

    // Seconds without any byte moving after which a fetch fails (60 unless changed).
    void setInactivityTimeout(int seconds);
    int inactivityTimeout() const { return timeoutSeconds; }
    void setMaxBytes(qint64 bytes) { maxBytes = bytes; }

    QNetworkAccessManager *manager() const { return network; }

    // The network manager's connections to one host. It is never given more fetches for a host
    // than that: when one of its connections breaks, it fails every fetch still queued for the
    // host, although none of them was sent.
    static constexpr int maxConnectionsPerHost = 6;

private:
    struct Request
    {
        QUrl url;
        QPointer<QObject> context;
        bool hasContext = false;
        Callback done;
        std::shared_ptr<HttpFetch> fetch;
        int attempt = 0;
    };
    static constexpr int maxAttempts = 2;

    explicit HttpClient(QObject *parent = nullptr);
    void enqueue(Request request);
    void send(Request request, const QString &host);
    void release(const QString &host);
    void startWaiting(const QString &host);

    QNetworkAccessManager *network = nullptr;
    QHash<QString, int> running; // by host
    QHash<QString, QList<Request>> waiting; // by host, oldest first
    int timeoutSeconds = 60;
    qint64 maxBytes = 64 * 1024 * 1024;
};
