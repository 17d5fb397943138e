#include "scrape/linkdetailer.h"

#include "platform/hostvetting.h"
#include "platform/httpclient.h"
#include "platform/mainqueue.h"
#include "platform/url.h"
#include "scrape/listingpage.h"
#include "scrape/parsedlink.h"
#include "scrape/zestoscrapesetting.h"

#include <QCoreApplication>
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

AddressPolicy::Reach LinkDetailer::reach() const
{
    const auto parsedLink = record.lock();
    const std::optional<AddressPolicy::Reach> given
        = parsedLink ? parsedLink->reach() : std::nullopt;
    return given.value_or(AddressPolicy::reachFrom(m_url));
}

void LinkDetailer::start()
{
    const auto parsedLink = record.lock();
    if (!parsedLink || parsedLink->reach()) {
        fetch();
        return;
    }
    // A listing of its own (a favorite): its address decides what it and its photos may reach.
    const std::weak_ptr<LinkDetailer> weak = weak_from_this();
    HostVetting::locate(QUrl(m_url), QCoreApplication::instance(), [weak](bool local) {
        const auto self = weak.lock();
        if (!self || self->m_stopped)
            return;
        if (const auto parsedLink = self->record.lock())
            parsedLink->setReach(AddressPolicy::reachFor(local));
        self->fetch();
    });
}

void LinkDetailer::fetch()
{
    const std::weak_ptr<LinkDetailer> weak = weak_from_this();
    if (ParsedLink::isCachedUrl(m_url)) {
        // Read and scraped on the pool; the record is filled on the GUI thread.
        const QString path = ParsedLink::getFilePathFromStringURL(m_url);
        const auto parsedLink = record.lock();
        if (!parsedLink)
            return;
        MainQueue::runInBackground(
            [weak, path, url = m_url, rules = ZestoScrapeSetting::settingsForUrl(m_url),
             known = parsedLink->imagesUrls().value_or(QStringList()), reach = reach()] {
                QByteArray bytes;
                QFile file(path);
                if (file.open(QIODevice::ReadOnly))
                    bytes = file.readAll();
                // Relative dates count from the cached copy's time.
                const QDateTime fetchedAt = QFileInfo(path).lastModified().toUTC();
                const ListingPage listing
                    = ListingPage::scrape(bytes, url, rules, known, reach, fetchedAt);
                MainQueue::post([weak, listing] {
                    if (const auto self = weak.lock())
                        self->vetAndApply(listing);
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
                self->fail(QStringLiteral("no address to fetch"));
        });
        return;
    }
    connection = HttpClient::instance().get(
        url->toQUrl(), nullptr,
        [weak](const HttpResult &result) {
            const auto self = weak.lock();
            if (!self || self->m_stopped)
                return;
            self->connection.reset();
            if (!result.ok()) {
                // Out of reach (also after a redirect) is a failed listing: nothing was asked.
                qCDebug(lcLinkDetailer) << "listing page failed" << self->m_url << result.error;
                self->fail(result.error);
                return;
            }
            if (!result.isSuccessStatus()) {
                // An error or refusal page is no listing: keep the results page's title.
                qCDebug(lcLinkDetailer)
                    << "listing page answered" << result.statusCode << self->m_url;
                const QString status = QStringLiteral("HTTP %1").arg(result.statusCode);
                if (result.isRefusal())
                    self->fail(QStringLiteral("refused (%1)").arg(status), true);
                else
                    self->fail(status);
                return;
            }
            // Cached under the address the page came from.
            const QString cacheAs = result.finalUrl == result.requestedUrl
                ? self->m_url
                : result.finalUrl.toString(QUrl::FullyEncoded);
            self->parseInBackground(result.body, cacheAs);
        },
        reach());
}

void LinkDetailer::fail(const QString &why, bool refused)
{
    if (m_stopped)
        return;
    if (const auto parsedLink = record.lock())
        parsedLink->markDetailFailed(why, refused);
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
    vetAndApply(ListingPage::scrape(page, m_url, ZestoScrapeSetting::settingsForUrl(m_url),
                                    parsedLink->imagesUrls().value_or(QStringList()), reach()));
}

void LinkDetailer::parseInBackground(const QByteArray &page, const QString &cacheAs)
{
    const auto parsedLink = record.lock();
    if (m_stopped || !parsedLink)
        return;
    // The rule set is chosen here, on the GUI thread, as the store is read there.
    MainQueue::runInBackground([weak = weak_from_this(), page, url = m_url, cacheAs,
                                rules = ZestoScrapeSetting::settingsForUrl(m_url),
                                known = parsedLink->imagesUrls().value_or(QStringList()),
                                reach = reach()] {
        // Written whole before the record hears of it, and never on the GUI thread: the write
        // waits for the disk.
        if (!cacheAs.isNull())
            ParsedLink::cacheUrlOnDisk(page, cacheAs);
        const ListingPage listing = ListingPage::scrape(page, url, rules, known, reach);
        MainQueue::post([weak, listing] {
            if (const auto self = weak.lock())
                self->vetAndApply(listing);
        });
    });
}

void LinkDetailer::vetAndApply(const ListingPage &listing)
{
    if (m_stopped || record.expired())
        return;
    HostVetting::vet(
        listing.photos, reach(), QCoreApplication::instance(),
        [weak = weak_from_this(), listing](const QList<AddressPolicy::Refusal> &refused) {
            const auto self = weak.lock();
            if (!self)
                return;
            ListingPage vetted = listing;
            vetted.drop(refused);
            self->apply(vetted);
        });
}

void LinkDetailer::apply(const ListingPage &listing)
{
    const auto parsedLink = record.lock();
    if (m_stopped || !parsedLink)
        return;
    if (!listing.title.isNull())
        parsedLink->setTitle(listing.title);
    if (!listing.refused.isEmpty())
        qCDebug(lcLinkDetailer) << "photos out of reach left out" << m_url
                                << listing.refused.size();
    parsedLink->setRefusedImages(listing.refused);
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
