#include "platform/httpclient.h"

#include "platform/environmentproxyfactory.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

Q_LOGGING_CATEGORY(lcHttp, "listoro.http")

using namespace Qt::StringLiterals;

namespace {

const char cancelledProperty[] = "listoroCancelled";
const char tooLargeProperty[] = "listoroTooLarge";

bool isTransportError(QNetworkReply::NetworkError error)
{
    // 1-199: connection and proxy failures; 300-399: broken protocol exchanges. The others
    // (200-299, 400-499) are HTTP statuses that arrive with a whole response.
    const int code = int(error);
    return (code >= 1 && code < 200) || (code >= 300 && code < 400);
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

QString hostOf(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    const int port = url.port(scheme == u"https" ? 443 : 80);
    return scheme + u"://"_s + url.host().toLower() + u':' + QString::number(port);
}

} // namespace

void HttpFetch::abort()
{
    // A waiting fetch is dropped when its turn comes.
    aborted = true;
    waiting = false;
    if (QNetworkReply *r = reply.data()) {
        r->setProperty(cancelledProperty, true);
        r->abort();
    }
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
    , network(new QNetworkAccessManager(this))
{
    network->setProxyFactory(new EnvironmentProxyFactory);
    network->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

void HttpClient::setInactivityTimeout(int seconds)
{
    timeoutSeconds = seconds;
}

std::shared_ptr<HttpFetch> HttpClient::get(const QUrl &url, QObject *context, Callback done)
{
    auto fetch = std::make_shared<HttpFetch>();
    enqueue({ url, context, context != nullptr, std::move(done), fetch });
    return fetch;
}

void HttpClient::enqueue(Request request)
{
    const QString host = hostOf(request.url);
    // Behind those already waiting, even when a connection has just come free for them.
    if (running.value(host) >= maxConnectionsPerHost || waiting.contains(host)) {
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
           && running.value(host) < maxConnectionsPerHost) {
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
    const QUrl url = call.url;
    QObject *context = call.context.data();
    const std::shared_ptr<HttpFetch> fetch = call.fetch;
    const int attempt = call.attempt;
    Callback done = std::move(call.done);

    QNetworkRequest request(url);
    request.setRawHeader("User-Agent", userAgent());
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(timeoutSeconds * 1000);

    QNetworkReply *reply = network->get(request);
    fetch->waiting = false;
    fetch->reply = reply;

    const qint64 limit = maxBytes;
    connect(reply, &QNetworkReply::downloadProgress, reply,
            [reply, limit](qint64 received, qint64) {
                if (received > limit && !reply->property(tooLargeProperty).toBool()) {
                    reply->setProperty(tooLargeProperty, true);
                    reply->abort();
                }
            });

    // Nobody waits for the result once the context is gone: stop the transfer too.
    if (context) {
        connect(context, &QObject::destroyed, reply, [reply] {
            reply->setProperty(cancelledProperty, true);
            reply->abort();
        });
    }

    const bool hasContext = call.hasContext;
    QPointer<QObject> guard(context);
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, url, host, hasContext, guard, fetch, attempt, done = std::move(done)] {
                reply->deleteLater();
                release(host);
                if (reply->property(cancelledProperty).toBool() || (hasContext && !guard))
                    return;
                HttpResult result;
                result.requestedUrl = url;
                result.finalUrl = reply->url();
                result.statusCode
                    = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
                // The network manager also fails fetches it never sent when another connection
                // to the host breaks: a GET closed before any answer is asked for again.
                if (reply->error() == QNetworkReply::RemoteHostClosedError && result.statusCode == 0
                    && attempt < maxAttempts - 1) {
                    qCDebug(lcHttp) << "closed before an answer, asking again" << url;
                    enqueue({ url, guard, hasContext, done, fetch, attempt + 1 });
                    return;
                }
                if (reply->property(tooLargeProperty).toBool()) {
                    result.error = QStringLiteral("response too large");
                } else if (reply->error() == QNetworkReply::OperationCanceledError) {
                    // Only the transfer timeout cancels a fetch nobody aborted.
                    result.error = QStringLiteral("timed out");
                } else {
                    if (reply->isOpen())
                        result.body = reply->readAll();
                    if (isTransportError(reply->error()))
                        result.error = reply->errorString();
                    else if (const qint64 announced = announcedLength(*reply);
                             announced > result.body.size()) {
                        // The network manager may hand over a body cut short as complete.
                        result.error = QStringLiteral("cut off after %1 of %2 bytes")
                                           .arg(result.body.size())
                                           .arg(announced);
                        result.body.clear();
                    }
                }
                if (!result.ok())
                    qCDebug(lcHttp) << "fetch failed" << url << result.error;
                done(result);
            });
}
