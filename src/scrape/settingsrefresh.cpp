#include "scrape/settingsrefresh.h"

#include "platform/httpclient.h"
#include "platform/utf8.h"
#include "scrape/rulesdocumentcheck.h"
#include "scrape/zestoscrapesetting.h"

#include <QCoreApplication>
#include <QFile>
#include <QHostAddress>
#include <QLoggingCategory>
#include <QMutex>

Q_LOGGING_CATEGORY(lcSettingsRefresh, "listoro.settingsrefresh")

namespace {

QMutex urlMutex;
QUrl overrideUrl; // under urlMutex
QString refusal; // under urlMutex

bool isLoopback(const QString &host)
{
    return host.compare(QLatin1StringView("localhost"), Qt::CaseInsensitive) == 0
        || QHostAddress(host).isLoopback();
}

void refuse(const QString &reason)
{
    qCWarning(lcSettingsRefresh).noquote() << "refused the remote scrape settings:" << reason;
    QMutexLocker lock(&urlMutex);
    refusal = reason;
}

} // namespace

QUrl SettingsRefresh::defaultRemoteUrl()
{
    return QUrl(QStringLiteral("https://listoro.com/ipad/settings.txt"));
}

QUrl SettingsRefresh::secure(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != u"http" && scheme != u"https"))
        return {};
    if (scheme == u"https" || isLoopback(url.host()))
        return url;
    QUrl secured = url;
    secured.setScheme(QStringLiteral("https"));
    if (secured.port() == 80)
        secured.setPort(-1);
    return secured;
}

QUrl SettingsRefresh::remoteUrl()
{
    {
        QMutexLocker lock(&urlMutex);
        if (overrideUrl.isValid())
            return secure(overrideUrl);
    }
    const QString fromEnvironment = qEnvironmentVariable("LISTORO_SETTINGS_URL");
    if (!fromEnvironment.isEmpty())
        return secure(QUrl(fromEnvironment));
    return defaultRemoteUrl();
}

QString SettingsRefresh::lastRefusal()
{
    QMutexLocker lock(&urlMutex);
    return refusal;
}

void SettingsRefresh::clearLastRefusal()
{
    QMutexLocker lock(&urlMutex);
    refusal.clear();
}

void SettingsRefresh::setRemoteUrl(const QUrl &url)
{
    QMutexLocker lock(&urlMutex);
    overrideUrl = url;
}

QString SettingsRefresh::shippedDocument()
{
    QFile file(QStringLiteral(":/settings.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

bool SettingsRefresh::seedFromShippedDocument()
{
    const auto stored = ZestoScrapeSetting::allSettings();
    if (stored && !stored->isEmpty())
        return false;
    const QString document = shippedDocument();
    if (document.isNull())
        return false;
    ZestoScrapeSetting::updateSettings(document);
    return true;
}

bool SettingsRefresh::adoptIfNewer(const QString &document)
{
    if (document.isNull())
        return false;
    const RulesDocumentCheck::Verdict verdict
        = RulesDocumentCheck::check(document, RulesDocumentCheck::Origin::Remote);
    if (!verdict.accepted()) {
        refuse(verdict.refusal);
        return false;
    }
    clearLastRefusal();
    if (!(verdict.version > ZestoScrapeSetting::currentVersion()))
        return false;
    ZestoScrapeSetting::updateSettings(document);
    qCInfo(lcSettingsRefresh) << "adopted remote scrape settings version" << verdict.version;
    return true;
}

std::shared_ptr<HttpFetch> SettingsRefresh::refreshFromRemote(QObject *context,
                                                              std::function<void(bool)> done)
{
    const QUrl url = remoteUrl();
    if (!url.isValid()) {
        refuse(QCoreApplication::translate("SettingsRefresh",
                                           "The settings address is not an http or https "
                                           "address."));
        if (done)
            done(false);
        return {};
    }
    return HttpClient::instance().get(
        url, context, [done = std::move(done)](const HttpResult &result) {
            bool adopted = false;
            if (result.ok() && result.isSuccessStatus() && isValidUtf8(result.body))
                adopted = adoptIfNewer(QString::fromUtf8(result.body));
            if (done)
                done(adopted);
        });
}
