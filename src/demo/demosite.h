#pragma once

#include "demo/demofailurepolicy.h"
#include "demo/demolisting.h"

#include <QObject>
#include <QSize>
#include <QUrl>

#include <memory>

class DemoCatalogue;
class DemoServer;
class DemoSiteState;
class QThread;

// A small classifieds website served on 127.0.0.1: results pages, listing pages, photos and the
// remote settings file, so that the whole application runs without the internet. The HTTP server
// runs on a thread of its own, so it keeps answering while the owner's thread is busy. Call the
// API from the thread that created the site; the request counters may be read from any thread.
class DemoSite final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DemoSite)

public:
    struct Options
    {
        int listingsPerPage = 20;
        int pages = 5; // at most 100000 listings in all: fewer pages if need be
        int maxPhotos = 8;
        int delayMs = 0; // every response waits this long
        double failRate = 0.0; // share of listing pages and photos that fail, 0 to 1
        quint16 port = 0; // 0: any free port
    };

    explicit DemoSite(QObject *parent = nullptr);
    explicit DemoSite(const Options &options, QObject *parent = nullptr);
    ~DemoSite() override;

    // Draws the photos (once per process) and starts serving. False when the port is taken.
    bool start();
    bool isRunning() const { return m_port != 0; }
    const Options &options() const { return m_options; }

    quint16 port() const { return m_port; }
    QUrl baseUrl() const; // http://127.0.0.1:PORT, empty before start()
    QUrl searchUrl(int page = 1) const;
    QUrl listingUrl(int index) const;
    QUrl photoUrl(int index, int k, bool thumb = false) const;

    // What the site serves; these work before start() too.
    int listingCount() const;
    DemoListing listing(int index) const; // index -1 when there is none
    QList<DemoListing> listingsOnPage(int page) const;
    QSize photoSize(int index, int k, bool thumb = false) const; // invalid when there is none
    DemoFailure listingFailure(int index) const;
    DemoFailure photoFailure(int index, int k, bool thumb = false) const;

    // The document served at /ipad/settings.txt; a null one makes that path answer 404.
    QByteArray settingsDocument() const;
    void setSettingsDocument(const QByteArray &document);

    // Requests received so far whose path (without the query) starts with pathPrefix.
    int requestCount(const QString &pathPrefix = QString()) const;
    void resetCounters();

private:
    QUrl urlForPath(const QString &path) const;

    Options m_options;
    std::shared_ptr<const DemoCatalogue> m_catalogue;
    std::shared_ptr<DemoSiteState> m_state;
    DemoFailurePolicy m_failures;
    QThread *m_thread = nullptr;
    quint16 m_port = 0;
};
