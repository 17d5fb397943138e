#include "platform/httpclient.h"

#include "platform/environmentproxyfactory.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

Q_LOGGING_CATEGORY(lcHttp, "listoro.http")

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

} // namespace

void HttpFetch::abort()
{
    if (QNetworkReply *r = reply.data()) {
        r->setProperty(cancelledProperty, true);
        r->abort();
    }
}

bool HttpFetch::isRunning() const
{
    return reply && reply->isRunning();
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
    QNetworkRequest request(url);
    request.setRawHeader("User-Agent", userAgent());
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(timeoutSeconds * 1000);

    QNetworkReply *reply = network->get(request);
    auto fetch = std::make_shared<HttpFetch>();
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

    const bool hasContext = context != nullptr;
    QPointer<QObject> guard(context);
    connect(reply, &QNetworkReply::finished, this,
            [reply, url, hasContext, guard, done = std::move(done)] {
                reply->deleteLater();
                if (reply->property(cancelledProperty).toBool() || (hasContext && !guard))
                    return;
                HttpResult result;
                result.requestedUrl = url;
                result.finalUrl = reply->url();
                result.statusCode
                    = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
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
                }
                if (!result.ok())
                    qCDebug(lcHttp) << "fetch failed" << url << result.error;
                done(result);
            });
    return fetch;
}
