#include "platform/httpclient.h"

#include "platform/environmentproxyfactory.h"
#include "platform/retryafter.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QHostInfo>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSet>
#include <QTimer>

Q_LOGGING_CATEGORY(lcHttp, "listoro.http")

using namespace Qt::StringLiterals;

namespace {

// What the network manager keeps of a body before it waits for us to take it.
constexpr qint64 readBufferBytes = 256 * 1024;

// Qt reports HTTP error statuses as error codes in these two ranges (4xx as 201-299, 5xx as
// 401-499); the response is still whole. Any other code, or one of these beside a status below
// 400 (a body that failed to decompress, for instance), is a failed fetch.
bool isStatusError(QNetworkReply::NetworkError error, int statusCode)
{
    const int code = int(error);
    const bool statusRange = (code >= 201 && code < 300) || (code >= 401 && code < 500);
    return statusRange && statusCode >= 400;
}

// The body length the response announced, or -1. A compressed body is announced at its
// compressed length, which says nothing of what the network manager hands over.
qint64 announcedLength(const QNetworkReply &reply)
{
    const QByteArray encoding = reply.rawHeader("Content-Encoding").trimmed().toLower();
    if (!encoding.isEmpty() && encoding != "identity")
        return -1;
    bool ok = false;
    const qint64 length = reply.header(QNetworkRequest::ContentLengthHeader).toLongLong(&ok);
    return ok ? length : -1;
}

// Seconds to wait before asking a refusing server again: its Retry-After, within bounds.
int retryAfterSeconds(const QNetworkReply &reply)
{
    const QByteArray value = reply.rawHeader("Retry-After");
    if (value.trimmed().isEmpty())
        return HttpClient::defaultRetryAfterSeconds;
    const qint64 seconds = ::retryAfterSeconds(value, QDateTime::currentDateTimeUtc(),
                                               HttpClient::defaultRetryAfterSeconds);
    return int(qBound(qint64(0), seconds, qint64(HttpClient::maxRetryAfterSeconds)));
}

// Appends what the reply has ready to body, unless that would take it past limit. The body
// grows by doubling in place, never beyond the limit, and is read into directly: no copy of it
// is ever made on the way.
bool takeAvailable(QNetworkReply &reply, QByteArray &body, qint64 limit)
{
    const qint64 available = reply.bytesAvailable();
    const qint64 had = body.size();
    if (had + available > limit)
        return false;
    if (available <= 0)
        return true;
    if (had + available > body.capacity())
        body.reserve(qMin(limit, qMax(had + available, 2 * qint64(body.capacity()))));
    body.resize(had + available);
    const qint64 read = reply.read(body.data() + had, available);
    body.resize(had + qMax<qint64>(0, read));
    return true;
}

QString hostOf(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    const int port = url.port(scheme == u"https" ? 443 : 80);
    return scheme + u"://"_s + url.host().toLower() + u':' + QString::number(port);
}

bool isWebScheme(const QString &scheme)
{
    return scheme == u"http" || scheme == u"https";
}

} // namespace

// The state of one request on the wire: the body taken so far, the addresses it was
// redirected through, and why we ended it, when we did.
struct HttpClient::Transfer
{
    QByteArray body;
    // The address now being fetched: the reply's own already names the redirect's target
    // when it asks whether to follow it.
    QUrl current;
    QSet<QUrl> visited;
    int hops = 0;
    QString failure;
    bool addressRefused = false;
    bool cancelled = false;
    // For the low-speed rule: bytes moved in the current window, and the count last reported.
    qint64 movedInWindow = 0;
    qint64 lastReceived = 0;
};

void HttpFetch::abort()
{
    // A waiting fetch is dropped when its turn comes.
    aborted = true;
    waiting = false;
    if (QNetworkReply *r = reply.data())
        r->abort();
}

bool HttpFetch::isRunning() const
{
    return !aborted && (waiting || (reply && reply->isRunning()));
}

HttpClient &HttpClient::instance()
{
    static QPointer<HttpClient> client;
    if (!client)
        client = new HttpClient(QCoreApplication::instance());
    return *client;
}

QByteArray HttpClient::userAgent()
{
    return QByteArrayLiteral("Mozilla/5.0 (Macintosh; Intel Mac OS X 10_8_2) AppleWebKit/537.11 "
                             "(KHTML, like Gecko) Chrome/23.0.1271.95 Safari/537.11");
}

HttpClient::HttpClient(QObject *parent)
    : QObject(parent)
{
}

void HttpClient::setInactivityTimeout(int seconds)
{
    inactivityMs = seconds * 1000;
}

void HttpClient::resetLimits()
{
    inactivityMs = 60 * 1000;
    transferDeadlineMs = defaultTransferDeadlineSeconds * 1000;
    headerDeadlineMs = defaultHeaderDeadlineSeconds * 1000;
    maxBytes = defaultMaxBytes;
    lowSpeedBytesPerSecond = defaultLowSpeedBytesPerSecond;
    lowSpeedWindowMs = defaultLowSpeedWindowSeconds * 1000;
}

int HttpClient::connectionLimit(const QUrl &url) const
{
    return limits.value(hostOf(url), maxConnectionsPerHost);
}

QNetworkAccessManager *HttpClient::managerFor(const QString &host)
{
    if (QNetworkAccessManager *known = managerByHost.value(host))
        return known;
    QNetworkAccessManager *manager = nullptr;
    if (managers.size() < maxManagers) {
        manager = new QNetworkAccessManager(this);
        manager->setProxyFactory(new EnvironmentProxyFactory);
        managers.append(manager);
    } else {
        manager = managers.at(int(qHash(host) % uint(managers.size())));
    }
    managerByHost.insert(host, manager);
    return manager;
}

std::shared_ptr<HttpFetch> HttpClient::get(const QUrl &url, QObject *context, Callback done,
                                           AddressPolicy::Reach reach)
{
    auto fetch = std::make_shared<HttpFetch>();
    Request request;
    request.url = url;
    request.context = context;
    request.hasContext = context != nullptr;
    request.done = std::move(done);
    request.reach = reach;
    request.fetch = fetch;

    QString reason;
    switch (AddressPolicy::check(url, reach, &reason)) {
    case AddressPolicy::Verdict::Allowed:
        enqueue(std::move(request));
        break;
    case AddressPolicy::Verdict::Refused:
        fetch->waiting = true;
        // After the caller has kept the fetch, as any other result comes.
        QMetaObject::invokeMethod(
            this,
            [this, held = std::make_shared<Request>(std::move(request)), reason] {
                refuse(std::move(*held), reason);
            },
            Qt::QueuedConnection);
        break;
    case AddressPolicy::Verdict::NeedsLookup: {
        fetch->waiting = true;
        const QString host = url.host();
        QHostInfo::lookupHost(host, this,
                              [this, held = std::make_shared<Request>(std::move(request)),
                               host](const QHostInfo &info) {
                                  if (AddressPolicy::allLocal(info.addresses()))
                                      refuse(
                                          std::move(*held),
                                          AddressPolicy::resolvedRefusal(host, info.addresses()));
                                  else if (!held->fetch->aborted)
                                      enqueue(std::move(*held));
                              });
        break;
    }
    }
    return fetch;
}

void HttpClient::refuse(Request call, const QString &reason)
{
    call.fetch->waiting = false;
    if (call.fetch->aborted || (call.hasContext && !call.context))
        return;
    qCDebug(lcHttp) << "refused" << call.url << reason;
    HttpResult result;
    result.requestedUrl = call.url;
    result.finalUrl = call.url;
    result.error = QStringLiteral("refused: %1").arg(reason);
    result.addressRefused = true;
    call.done(result);
}

void HttpClient::enqueue(Request request)
{
    const QString host = hostOf(request.url);
    // Behind those already waiting, even when a connection has just come free for them.
    if (running.value(host) >= limits.value(host, maxConnectionsPerHost)
        || waiting.contains(host)) {
        request.fetch->waiting = true;
        waiting[host].append(std::move(request));
        return;
    }
    send(std::move(request), host);
}

void HttpClient::release(const QString &host)
{
    if (--running[host] <= 0)
        running.remove(host);
    // Not at once: a fetch ends inside abort(), and the caller may be aborting the waiting
    // fetches next.
    if (waiting.contains(host))
        QMetaObject::invokeMethod(
            this, [this, host] { startWaiting(host); }, Qt::QueuedConnection);
}

void HttpClient::startWaiting(const QString &host)
{
    auto queue = waiting.find(host);
    while (queue != waiting.end() && !queue->isEmpty()
           && running.value(host) < limits.value(host, maxConnectionsPerHost)) {
        Request next = queue->takeFirst();
        if (next.fetch->aborted || (next.hasContext && !next.context))
            continue;
        send(std::move(next), host);
        queue = waiting.find(host);
    }
    if (queue != waiting.end() && queue->isEmpty())
        waiting.erase(queue);
}

void HttpClient::send(Request call, const QString &host)
{
    ++running[host];
    QNetworkRequest request(call.url);
    request.setRawHeader("User-Agent", userAgent());
    // Every redirect is ours to allow (watch()).
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(maxRedirects);
    request.setTransferTimeout(inactivityMs);

    QNetworkReply *reply = managerFor(host)->get(request);
    reply->setReadBufferSize(readBufferBytes);
    call.fetch->waiting = false;
    call.fetch->reply = reply;

    auto transfer = std::make_shared<Transfer>();
    transfer->current = call.url.adjusted(QUrl::RemoveFragment);
    transfer->visited.insert(transfer->current);
    watch(reply, transfer, call.reach);

    // Nobody waits for the result once the context is gone: stop the transfer too.
    if (QObject *context = call.context.data()) {
        connect(context, &QObject::destroyed, reply, [reply, transfer] {
            transfer->cancelled = true;
            reply->abort();
        });
    }
    connect(reply, &QNetworkReply::finished, this,
            [this, call = std::move(call), host, reply, transfer]() mutable {
                reply->deleteLater();
                release(host);
                finish(std::move(call), host, reply, transfer);
            });
}

// Ends a transfer that breaks a limit: the body cap, the deadlines, an unsafe or looping redirect.
void HttpClient::watch(QNetworkReply *reply, const std::shared_ptr<Transfer> &transfer,
                       AddressPolicy::Reach reach)
{
    const auto endWith = [reply, transfer](const QString &failure) {
        if (transfer->failure.isEmpty())
            transfer->failure = failure;
        reply->abort();
    };
    const qint64 limit = maxBytes;

    // Qt reads response headers without a bound of its own: a server that never ends them
    // would hold the fetch until the inactivity timeout, and the manager's thread with it.
    auto *headerDeadline = new QTimer(reply);
    headerDeadline->setSingleShot(true);
    connect(headerDeadline, &QTimer::timeout, reply, [endWith, ms = headerDeadlineMs] {
        endWith(QStringLiteral("no complete response headers within %1 s").arg(ms / 1000.0));
    });
    headerDeadline->start(headerDeadlineMs);

    auto *deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, reply, [endWith, ms = transferDeadlineMs] {
        endWith(QStringLiteral("not finished within %1 s").arg(ms / 1000.0));
    });
    deadline->start(transferDeadlineMs);

    connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, endWith, limit, headerDeadline] {
        headerDeadline->stop();
        const qint64 announced = announcedLength(*reply);
        if (announced > limit)
            endWith(QStringLiteral("response too large (%1 bytes announced)").arg(announced));
    });
    connect(reply, &QNetworkReply::readyRead, reply, [reply, transfer, endWith, limit] {
        if (!transfer->failure.isEmpty())
            return;
        if (!takeAvailable(*reply, transfer->body, limit)) {
            transfer->body = QByteArray();
            endWith(QStringLiteral("response too large (over %1 bytes)").arg(limit));
        }
    });
    // A redirect is followed only to where the fetch itself could go.
    const auto follow = [reply, transfer, endWith, reach](const QUrl &to) {
        QString reason;
        switch (AddressPolicy::check(to, reach, &reason)) {
        case AddressPolicy::Verdict::Allowed:
            emit reply->redirectAllowed();
            break;
        case AddressPolicy::Verdict::Refused:
            transfer->addressRefused = true;
            endWith(QStringLiteral("refused a redirect to %1: %2").arg(to.toString(), reason));
            break;
        case AddressPolicy::Verdict::NeedsLookup:
            QHostInfo::lookupHost(
                to.host(), reply, [reply, transfer, endWith, to](const QHostInfo &info) {
                    if (!AddressPolicy::allLocal(info.addresses())) {
                        emit reply->redirectAllowed();
                        return;
                    }
                    transfer->addressRefused = true;
                    endWith(QStringLiteral("refused a redirect to %1: %2")
                                .arg(to.toString(),
                                     AddressPolicy::resolvedRefusal(to.host(), info.addresses())));
                });
            break;
        }
    };

    // Qt reports a body that fails to inflate, or inflates like a bomb, here, and may then
    // hold the fetch open until the inactivity timeout.
    connect(reply, &QNetworkReply::errorOccurred, reply,
            [reply, endWith](QNetworkReply::NetworkError error) {
                const int status
                    = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
                // Connection and proxy failures (codes under 200) finish the reply by
                // themselves; ending it as well would report the error twice.
                if (error < QNetworkReply::ContentAccessDenied || isStatusError(error, status))
                    return;
                // After the signal: most errors finish the reply at once, and ending it from
                // inside the error signal makes Qt report the error twice.
                QMetaObject::invokeMethod(
                    reply,
                    [reply, endWith] {
                        if (reply->isRunning())
                            endWith(reply->errorString());
                    },
                    Qt::QueuedConnection);
            });

    // A transfer that moves fewer bytes than the low-speed rule asks over a whole window is
    // abandoned long before the deadline.
    if (lowSpeedBytesPerSecond > 0 && lowSpeedWindowMs > 0) {
        auto *lowSpeed = new QTimer(reply);
        const qint64 least = lowSpeedBytesPerSecond * lowSpeedWindowMs / 1000;
        connect(
            lowSpeed, &QTimer::timeout, reply, [transfer, endWith, least, ms = lowSpeedWindowMs] {
                if (transfer->movedInWindow < least) {
                    endWith(
                        QStringLiteral("slower than %1 bytes in %2 s").arg(least).arg(ms / 1000.0));
                }
                transfer->movedInWindow = 0;
            });
        connect(reply, &QNetworkReply::downloadProgress, reply, [transfer](qint64 received) {
            // The count starts again after a redirect.
            const qint64 last = transfer->lastReceived;
            transfer->movedInWindow += received >= last ? received - last : received;
            transfer->lastReceived = received;
        });
        lowSpeed->start(lowSpeedWindowMs);
    }

    connect(reply, &QNetworkReply::redirected, reply,
            [transfer, endWith, follow, headerDeadline, ms = headerDeadlineMs](const QUrl &target) {
                const QUrl from = transfer->current;
                const QUrl to = from.resolved(target).adjusted(QUrl::RemoveFragment);
                if (from.scheme() == u"https" && to.scheme() == u"http") {
                    // Refused, as browsers warn about: the page would travel unencrypted.
                    endWith(QStringLiteral("refused a redirect from https to http (%1)")
                                .arg(to.toString()));
                } else if (!isWebScheme(to.scheme())) {
                    endWith(QStringLiteral("refused a redirect to %1").arg(to.toString()));
                } else if (transfer->visited.contains(to)) {
                    endWith(QStringLiteral("redirect loop at %1").arg(to.toString()));
                } else if (transfer->hops >= maxRedirects) {
                    endWith(QStringLiteral("more than %1 redirects").arg(maxRedirects));
                } else {
                    transfer->visited.insert(to);
                    transfer->current = to;
                    ++transfer->hops;
                    headerDeadline->start(ms);
                    follow(to);
                }
            });
}

void HttpClient::finish(Request call, const QString &host, QNetworkReply *reply,
                        const std::shared_ptr<Transfer> &transfer)
{
    if (transfer->cancelled || call.fetch->aborted || (call.hasContext && !call.context))
        return;

    HttpResult result;
    result.requestedUrl = call.url;
    result.finalUrl = reply->url();
    result.statusCode = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QNetworkReply::NetworkError error = reply->error();
    if (!transfer->failure.isEmpty()) {
        result.error = transfer->failure;
        result.addressRefused = transfer->addressRefused;
    } else {
        // The network manager also fails fetches it never sent when another connection to the
        // host breaks: a GET closed before any answer, and never redirected, is asked again.
        if (error == QNetworkReply::RemoteHostClosedError && result.statusCode == 0
            && transfer->hops == 0 && call.attempt < maxAttempts - 1) {
            qCDebug(lcHttp) << "closed before an answer, asking again" << call.url;
            ++call.attempt;
            enqueue(std::move(call));
            return;
        }
        if (reply->isOpen() && !takeAvailable(*reply, transfer->body, maxBytes)) {
            transfer->body = QByteArray();
            transfer->failure = QStringLiteral("response too large (over %1 bytes)").arg(maxBytes);
        }
        if (error == QNetworkReply::OperationCanceledError) {
            // Only the inactivity timeout cancels a fetch nobody aborted.
            result.error = QStringLiteral("timed out");
        } else if (error != QNetworkReply::NoError && !isStatusError(error, result.statusCode)) {
            result.error = reply->errorString();
        } else if (result.statusCode < 200) {
            // Qt 6.4 may end a redirected fetch whose server closed the connection without any
            // final response and without an error.
            result.error = QStringLiteral("no response");
        } else if (const qint64 announced = announcedLength(*reply);
                   announced > transfer->body.size()) {
            // The network manager may hand over a body cut short as complete.
            result.error = QStringLiteral("cut off after %1 of %2 bytes")
                               .arg(transfer->body.size())
                               .arg(announced);
        }
    }

    if (result.ok() && (result.statusCode == 429 || result.statusCode == 503)) {
        // Asking for less at once is what a rate-limiting site wants; asking once more, after
        // the wait it names, lets a brief refusal pass.
        const int lowered = qMax(1, limits.value(host, maxConnectionsPerHost) / 2);
        limits.insert(host, lowered);
        if (!call.retriedRefusal) {
            const int wait = retryAfterSeconds(*reply);
            qCDebug(lcHttp) << "refused with" << result.statusCode << call.url << "asking again in"
                            << wait << "s," << lowered << "connections for" << host;
            call.retriedRefusal = true;
            askAgainLater(std::move(call), wait);
            return;
        }
    }

    if (result.ok())
        result.body = std::move(transfer->body);
    else
        qCDebug(lcHttp) << "fetch failed" << call.url << result.error;
    call.done(result);
}

void HttpClient::askAgainLater(Request call, int seconds)
{
    call.fetch->waiting = true;
    auto held = std::make_shared<Request>(std::move(call));
    QTimer::singleShot(seconds * 1000, this, [this, held] {
        if (held->fetch->aborted || (held->hasContext && !held->context))
            return;
        enqueue(std::move(*held));
    });
}
