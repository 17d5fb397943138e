#pragma once

#include <QNetworkProxyFactory>

// Proxies from the environment, as command-line tools read them: http_proxy for http URLs,
// https_proxy for https URLs (upper-case names as a fallback), no_proxy listing hosts or
// domain suffixes that go direct ("*" for all).
class EnvironmentProxyFactory final : public QNetworkProxyFactory
{
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery &query) override;

    static QNetworkProxy proxyFromUrlText(const QString &text);
    static bool bypassed(const QString &host, const QString &noProxy);
};
