#pragma once

#include "platform/httpresult.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;

// One running fetch. Abort it to drop its result: the callback then never runs.
class HttpFetch
{
public:
    void abort();
    bool isRunning() const;

private:
    friend class HttpClient;
    QPointer<QNetworkReply> reply;
};

// Every fetch the system makes itself goes through this one client on the GUI thread: the
// fixed desktop "User-Agent", redirects followed, an inactivity timeout, the proxies named by
// http_proxy, https_proxy and no_proxy. Fetches run in parallel, a few connections per host.
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

private:
    explicit HttpClient(QObject *parent = nullptr);

    QNetworkAccessManager *network = nullptr;
    int timeoutSeconds = 60;
    qint64 maxBytes = 64 * 1024 * 1024;
};
