#include "demo/demosite.h"

#include "demo/democatalogue.h"
#include "demo/demopages.h"
#include "demo/demophotopool.h"
#include "demo/demoserver.h"
#include "demo/demositestate.h"

#include <QFile>
#include <QLoggingCategory>
#include <QThread>

#include <cmath>

Q_LOGGING_CATEGORY(lcDemoSite, "listoro.demo.site", QtWarningMsg)

namespace {

// Every listing is generated up front; this bounds the memory that takes (under 100 MB).
constexpr int maxListings = 100000;

DemoSite::Options sanitized(DemoSite::Options options)
{
    options.listingsPerPage = std::clamp(options.listingsPerPage, 0, maxListings);
    options.pages
        = std::clamp(options.pages, 0, maxListings / std::max(1, options.listingsPerPage));
    options.maxPhotos = std::clamp(options.maxPhotos, 0, 1000);
    options.delayMs = std::max(0, options.delayMs);
    options.failRate
        = std::isfinite(options.failRate) ? std::clamp(options.failRate, 0.0, 1.0) : 0.0;
    return options;
}

QByteArray shippedSettings()
{
    QFile file(QStringLiteral(":/settings.txt"));
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcDemoSite) << "cannot read the shipped settings document:" << file.errorString();
        return QByteArray();
    }
    return file.readAll();
}

} // namespace

DemoSite::DemoSite(QObject *parent)
    : DemoSite(Options(), parent)
{
}

DemoSite::DemoSite(const Options &options, QObject *parent)
    : QObject(parent)
    , m_options(sanitized(options))
    , m_catalogue(std::make_shared<DemoCatalogue>(m_options.listingsPerPage, m_options.pages,
                                                  m_options.maxPhotos))
    , m_state(std::make_shared<DemoSiteState>(shippedSettings()))
    , m_failures(m_options.failRate)
{
}

DemoSite::~DemoSite()
{
    if (m_thread) {
        // The server is deleted on its own thread as the thread finishes.
        m_thread->quit();
        m_thread->wait();
    }
}

bool DemoSite::start()
{
    if (isRunning())
        return true;
    auto photos = DemoPhotoPool::shared();
    if (!photos->isValid()) {
        qCWarning(lcDemoSite) << "the photos could not be encoded";
        return false;
    }

    auto *thread = new QThread(this);
    thread->setObjectName(QStringLiteral("listoro-demo-site"));
    auto *server = new DemoServer(
        { m_catalogue, std::move(photos), m_state, m_failures, m_options.delayMs });
    server->moveToThread(thread);
    connect(thread, &QThread::finished, server, &QObject::deleteLater);
    thread->start();

    quint16 port = 0;
    QMetaObject::invokeMethod(
        server, [server, &port, wanted = m_options.port] { port = server->listen(wanted); },
        Qt::BlockingQueuedConnection);
    if (port == 0) {
        thread->quit();
        thread->wait();
        delete thread;
        return false;
    }
    m_thread = thread;
    m_port = port;
    qCDebug(lcDemoSite) << "serving on" << baseUrl().toString();
    return true;
}

QUrl DemoSite::baseUrl() const
{
    if (!isRunning())
        return QUrl();
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_port));
}

QUrl DemoSite::urlForPath(const QString &path) const
{
    if (!isRunning())
        return QUrl();
    return QUrl(baseUrl().toString() + path);
}

QUrl DemoSite::searchUrl(int page) const
{
    return urlForPath(DemoPages::searchPath(page));
}

QUrl DemoSite::listingUrl(int index) const
{
    const DemoListing item = listing(index);
    return item.index < 0 ? QUrl() : urlForPath(DemoPages::listingPath(item.id));
}

QUrl DemoSite::photoUrl(int index, int k, bool thumb) const
{
    const DemoListing item = listing(index);
    if (item.index < 0 || k < 0 || k >= item.photoCount)
        return QUrl();
    return urlForPath(DemoPages::photoPath(item.id, k, thumb));
}

int DemoSite::listingCount() const
{
    return m_catalogue->listingCount();
}

DemoListing DemoSite::listing(int index) const
{
    return m_catalogue->listing(index);
}

QList<DemoListing> DemoSite::listingsOnPage(int page) const
{
    return m_catalogue->listingsOnPage(page);
}

QSize DemoSite::photoSize(int index, int k, bool thumb) const
{
    const DemoListing item = listing(index);
    if (item.index < 0 || k < 0 || k >= item.photoCount)
        return QSize();
    const int pooled = DemoPhotoPool::poolIndex(item, k);
    if (thumb)
        return DemoPhotoPool::thumbSize(pooled);
    return DemoPhotoPool::servesCopy(item, k) ? DemoPhotoPool::copySize(pooled)
                                              : DemoPhotoPool::photoSize(pooled);
}

DemoFailure DemoSite::listingFailure(int index) const
{
    const DemoListing item = listing(index);
    return item.index < 0 ? DemoFailure::None
                          : m_failures.failureFor(DemoPages::listingPath(item.id));
}

DemoFailure DemoSite::photoFailure(int index, int k, bool thumb) const
{
    const DemoListing item = listing(index);
    if (item.index < 0 || k < 0 || k >= item.photoCount)
        return DemoFailure::None;
    return m_failures.failureFor(DemoPages::photoPath(item.id, k, thumb));
}

QByteArray DemoSite::settingsDocument() const
{
    return m_state->settingsDocument();
}

void DemoSite::setSettingsDocument(const QByteArray &document)
{
    m_state->setSettingsDocument(document);
}

int DemoSite::requestCount(const QString &pathPrefix) const
{
    return m_state->requestCount(pathPrefix);
}

void DemoSite::resetCounters()
{
    m_state->resetCounters();
}
