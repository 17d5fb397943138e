#include "platform/environmentproxyfactory.h"

#include <QUrl>

namespace {

QString environment(const char *lower, const char *upper)
{
    QString value = qEnvironmentVariable(lower);
    if (value.isEmpty())
        value = qEnvironmentVariable(upper);
    return value.trimmed();
}

} // namespace

QNetworkProxy EnvironmentProxyFactory::proxyFromUrlText(const QString &text)
{
    if (text.isEmpty())
        return QNetworkProxy(QNetworkProxy::NoProxy);
    QUrl url = QUrl::fromUserInput(text);
    if (!url.isValid() || url.host().isEmpty())
        return QNetworkProxy(QNetworkProxy::NoProxy);
    const bool socks = url.scheme().startsWith(u"socks");
    QNetworkProxy proxy(socks ? QNetworkProxy::Socks5Proxy : QNetworkProxy::HttpProxy, url.host(),
                        quint16(url.port(socks ? 1080 : 8080)), url.userName(), url.password());
    return proxy;
}

bool EnvironmentProxyFactory::bypassed(const QString &host, const QString &noProxy)
{
    const QString h = host.toLower();
    const auto entries = noProxy.split(u',', Qt::SkipEmptyParts);
    for (QString entry : entries) {
        entry = entry.trimmed().toLower();
        if (entry.isEmpty())
            continue;
        if (entry == u"*")
            return true;
        // Entries may carry a port; the host part decides.
        if (!entry.startsWith(u'[')) {
            const qsizetype colon = entry.indexOf(u':');
            if (colon > 0 && entry.indexOf(u':', colon + 1) < 0)
                entry.truncate(colon);
        }
        if (entry.startsWith(u'.'))
            entry.remove(0, 1);
        if (h == entry || h.endsWith(u'.' + entry))
            return true;
    }
    return false;
}

QList<QNetworkProxy> EnvironmentProxyFactory::queryProxy(const QNetworkProxyQuery &query)
{
    const QUrl url = query.url();
    const QString host = url.isValid() ? url.host() : query.peerHostName();
    if (bypassed(host, environment("no_proxy", "NO_PROXY")))
        return { QNetworkProxy(QNetworkProxy::NoProxy) };
    const bool https = url.scheme() == u"https" || query.peerPort() == 443;
    const QString text = https ? environment("https_proxy", "HTTPS_PROXY")
                               : environment("http_proxy", "HTTP_PROXY");
    return { proxyFromUrlText(text) };
}
