#pragma once

#include "demo/demosite.h"

#include <QObject>
#include <QString>
#include <QUrl>

// A demo run: the demo classifieds site served on 127.0.0.1 inside the application, with a
// settings profile and a cache of its own, so the user's own favorites, bookmarks and rule sets
// are never touched. While the session is started, the site items of the home screen and the
// remote settings file point at the demo site; its end points everything back.
class DemoSession final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DemoSession)

public:
    explicit DemoSession(QObject *parent = nullptr);
    ~DemoSession() override;

    // The demo site's port, unless another program holds it.
    static constexpr quint16 preferredPort = 47321;

    // 24 listings a page, 4 pages, up to 8 photos a listing, nothing failing, preferredPort.
    static DemoSite::Options siteOptions();

    // Where demo runs keep their profile: the settings file and the cache directory.
    static QString profileDirectory();
    static QString storeFile();
    static QString cacheDirectory();
    // Forgets the demo profile. True when nothing of it is left.
    static bool resetProfile();

    // Starts the site and switches to the demo profile. False when the site cannot start, and
    // then nothing is switched.
    bool start();
    bool isStarted() const { return m_site && m_site->isRunning(); }
    DemoSite *site() const { return m_site; }

private:
    void stop();

    DemoSite *m_site = nullptr;
    QString m_previousStoreFile;
    QString m_previousCacheDirectory;
    QUrl m_previousRemoteUrl;
};
