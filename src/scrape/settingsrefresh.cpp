#include "scrape/settingsrefresh.h"

#include "platform/httpclient.h"
#include "platform/utf8.h"
#include "scrape/zestoscrapesetting.h"

#include <QFile>
#include <QLoggingCategory>
#include <QMutex>

Q_LOGGING_CATEGORY(lcSettingsRefresh, "listoro.settingsrefresh")

namespace {

QMutex urlMutex;
QUrl overrideUrl;

} // namespace

QUrl SettingsRefresh::defaultRemoteUrl()
{
    return QUrl(QStringLiteral("http://listoro.com/ipad/settings.txt"));
}

QUrl SettingsRefresh::remoteUrl()
{
    {
        QMutexLocker lock(&urlMutex);
        if (overrideUrl.isValid())
            return overrideUrl;
    }
    const QString fromEnvironment = qEnvironmentVariable("LISTORO_SETTINGS_URL");
    if (!fromEnvironment.isEmpty())
        return QUrl(fromEnvironment);
    return defaultRemoteUrl();
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
    const float version = ZestoScrapeSetting::getVersion(document);
    if (!(version > ZestoScrapeSetting::currentVersion()))
        return false;
    ZestoScrapeSetting::updateSettings(document);
    qCInfo(lcSettingsRefresh) << "adopted remote scrape settings version" << version;
    return true;
}

std::shared_ptr<HttpFetch> SettingsRefresh::refreshFromRemote(QObject *context,
                                                              std::function<void(bool)> done)
{
    return HttpClient::instance().get(
        remoteUrl(), context, [done = std::move(done)](const HttpResult &result) {
            bool adopted = false;
            if (result.ok() && result.isSuccessStatus() && isValidUtf8(result.body))
                adopted = adoptIfNewer(QString::fromUtf8(result.body));
            if (done)
                done(adopted);
        });
}
