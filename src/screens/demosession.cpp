#include "screens/demosession.h"

#include "platform/cachedirectory.h"
#include "platform/userdefaults.h"
#include "scrape/settingsrefresh.h"
#include "screens/siteaddresses.h"

#include <QCoreApplication>
#include <QDir>
#include <QLoggingCategory>
#include <QStandardPaths>

Q_LOGGING_CATEGORY(lcDemoSession, "listoro.screens.demosession")

DemoSession::DemoSession(QObject *parent)
    : QObject(parent)
{
}

DemoSession::~DemoSession()
{
    stop();
}

DemoSite::Options DemoSession::siteOptions()
{
    DemoSite::Options options;
    options.listingsPerPage = 24;
    options.pages = 4;
    options.maxPhotos = 8;
    options.failRate = 0.0;
    // The same port on every run keeps the favorites and bookmarks of earlier demo runs alive.
    options.port = preferredPort;
    return options;
}

QString DemoSession::profileDirectory()
{
    const QString caches = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (caches.isEmpty())
        return {};
    QString organization = QCoreApplication::organizationName();
    if (organization.isEmpty())
        organization = QStringLiteral("Listoro");
    return caches + u'/' + organization + QStringLiteral("/demo");
}

QString DemoSession::storeFile()
{
    const QString directory = profileDirectory();
    return directory.isEmpty() ? QString() : directory + QStringLiteral("/Listoro.ini");
}

QString DemoSession::cacheDirectory()
{
    const QString directory = profileDirectory();
    return directory.isEmpty() ? QString() : directory + QStringLiteral("/cache");
}

bool DemoSession::resetProfile()
{
    const QString directory = profileDirectory();
    if (directory.isEmpty())
        return false;
    QDir profile(directory);
    if (!profile.exists())
        return true;
    if (!profile.removeRecursively()) {
        qCWarning(lcDemoSession) << "could not remove all of the demo profile" << directory;
        return false;
    }
    return true;
}

bool DemoSession::start()
{
    if (isStarted())
        return true;
    const QString profile = profileDirectory();
    if (profile.isEmpty() || !QDir().mkpath(profile)) {
        qCWarning(lcDemoSession) << "no place for the demo profile" << profile;
        return false;
    }
    auto *site = new DemoSite(siteOptions(), this);
    if (!site->start()) {
        // Another program holds the usual port: any port will do, though the addresses saved
        // by earlier demo runs then lead nowhere.
        qCInfo(lcDemoSession) << "port" << siteOptions().port << "is taken; using another";
        delete site;
        DemoSite::Options options = siteOptions();
        options.port = 0;
        site = new DemoSite(options, this);
        if (!site->start()) {
            qCWarning(lcDemoSession) << "the demo site did not start";
            delete site;
            return false;
        }
    }
    m_site = site;

    m_previousStoreFile = UserDefaults::storeFile();
    m_previousCacheDirectory = CacheDirectory::path();
    m_previousRemoteUrl = SettingsRefresh::remoteUrl();
    UserDefaults::setStoreFile(storeFile());
    CacheDirectory::setPath(cacheDirectory());
    SettingsRefresh::setRemoteUrl(
        site->baseUrl().resolved(QUrl(QStringLiteral("/ipad/settings.txt"))));
    SiteAddresses::useDemoSite(site->searchUrl());
    qCInfo(lcDemoSession) << "demo site at" << site->baseUrl().toString() << "profile in"
                          << profile;
    return true;
}

void DemoSession::stop()
{
    if (!m_site)
        return;
    SiteAddresses::useDemoSite(QUrl());
    SettingsRefresh::setRemoteUrl(m_previousRemoteUrl);
    CacheDirectory::setPath(m_previousCacheDirectory);
    UserDefaults::setStoreFile(m_previousStoreFile);
    delete m_site;
    m_site = nullptr;
}
