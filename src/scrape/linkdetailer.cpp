#include "scrape/linkdetailer.h"

#include "platform/httpclient.h"
#include "platform/mainqueue.h"
#include "platform/url.h"
#include "scrape/listingpage.h"
#include "scrape/parsedlink.h"
#include "scrape/zestoscrapesetting.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcLinkDetailer, "listoro.linkdetailer")

LinkDetailer::LinkDetailer(const QString &url, const std::shared_ptr<ParsedLink> &parsedLink)
    : m_url(url)
    , record(parsedLink)
{
}

LinkDetailer::~LinkDetailer()
{
    if (connection)
        connection->abort();
}

std::shared_ptr<LinkDetailer> LinkDetailer::initWithStringUrl(
    const QString &url, const std::shared_ptr<ParsedLink> &record)
{
    std::shared_ptr<LinkDetailer> detailer(new LinkDetailer(url, record));
    detailer->start();
    return detailer;
}

void LinkDetailer::start()
{
    const std::weak_ptr<LinkDetailer> weak = weak_from_this();
    if (ParsedLink::isCachedUrl(m_url)) {
        // Read and scraped on the pool; the record is filled on the GUI thread.
        const QString path = ParsedLink::getFilePathFromStringURL(m_url);
        const auto parsedLink = record.lock();
        if (!parsedLink)
            return;
        MainQueue::runInBackground([weak, path, url = m_url,
                                    rules = ZestoScrapeSetting::settingsForUrl(m_url),
                                    known = parsedLink->imagesUrls().value_or(QStringList())] {
            QByteArray bytes;
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                bytes = file.readAll();
            // The cached copy was fetched when it was written: relative dates count from then.
            const QDateTime fetchedAt = QFileInfo(path).lastModified().toUTC();
            const ListingPage listing = ListingPage::scrape(bytes, url, rules, known, fetchedAt);
            MainQueue::post([weak, bytes, listing] {
                if (const auto self = weak.lock()) {
                    self->m_receivedData = bytes;
                    self->apply(listing);
                }
            });
        });
        return;
    }

    const std::optional<Url> url = Url::fromString(m_url);
    if (!url || !url->hasHost()) {
        // Nothing to fetch: the record settles as a failed listing, after the caller has
        // stored this fetch.
        MainQueue::post([weak] {
            if (const auto self = weak.lock())
                self->fail();
        });
        return;
    }
    connection
        = HttpClient::instance().get(url->toQUrl(), nullptr, [weak](const HttpResult &result) {
              const auto self = weak.lock();
              if (!self || self->m_stopped)
                  return;
              self->connection.reset();
              if (!result.ok()) {
                  qCDebug(lcLinkDetailer) << "listing page failed" << self->m_url << result.error;
                  self->fail();
                  return;
              }
              if (result.isRefusal()) {
                  // The site's refusal page is no listing: keep the results page's title.
                  qCDebug(lcLinkDetailer)
                      << "listing page refused with" << result.statusCode << self->m_url;
                  self->fail(true);
                  return;
              }
              self->m_receivedData = result.body;
              // Cached under the address the page came from; an error page is scraped but not kept.
              QString cacheAs;
              if (result.isSuccessStatus()) {
                  cacheAs = result.finalUrl == result.requestedUrl
                      ? self->m_url
                      : result.finalUrl.toString(QUrl::FullyEncoded);
              }
              self->parseInBackground(result.body, cacheAs);
          });
}

void LinkDetailer::fail(bool refused)
{
    if (m_stopped)
        return;
    if (const auto parsedLink = record.lock())
        parsedLink->markDetailFailed(refused);
}

void LinkDetailer::stop()
{
    m_stopped = true;
    if (connection) {
        connection->abort();
        connection.reset();
    }
}

bool LinkDetailer::isLoading() const
{
    return connection && connection->isRunning();
}

void LinkDetailer::parse(const QByteArray &page)
{
    const auto parsedLink = record.lock();
    if (m_stopped || !parsedLink)
        return;
    apply(ListingPage::scrape(page, m_url, ZestoScrapeSetting::settingsForUrl(m_url),
                              parsedLink->imagesUrls().value_or(QStringList())));
}

void LinkDetailer::parseInBackground(const QByteArray &page, const QString &cacheAs)
{
    const auto parsedLink = record.lock();
    if (m_stopped || !parsedLink)
        return;
    // The rule set is chosen here, on the GUI thread, as the store is read there.
    MainQueue::runInBackground([weak = weak_from_this(), page, url = m_url, cacheAs,
                                rules = ZestoScrapeSetting::settingsForUrl(m_url),
                                known = parsedLink->imagesUrls().value_or(QStringList())] {
        // Written whole before the record hears of it, and never on the GUI thread: the write
        // waits for the disk.
        if (!cacheAs.isNull())
            ParsedLink::cacheUrlOnDisk(page, cacheAs);
        const ListingPage listing = ListingPage::scrape(page, url, rules, known);
        MainQueue::post([weak, listing] {
            if (const auto self = weak.lock())
                self->apply(listing);
        });
    });
}

void LinkDetailer::apply(const ListingPage &listing)
{
    const auto parsedLink = record.lock();
    if (m_stopped || !parsedLink)
        return;
    if (!listing.title.isNull())
        parsedLink->setTitle(listing.title);
    // The results row's price and date come first; the listing page fills what the row lacked.
    if (parsedLink->price().isNull())
        parsedLink->setPrice(listing.price);
    if (!parsedLink->posted().isValid() && listing.posted.isValid()) {
        parsedLink->setDate(listing.dateText);
        parsedLink->setPosted(listing.posted);
    }
    parsedLink->setImagesUrls(listing.photos);
    parsedLink->refresh();
}
