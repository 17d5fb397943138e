#include "scrape/onlinescrape.h"

#include "platform/hostvetting.h"
#include "platform/httpclient.h"
#include "platform/mainqueue.h"
#include "platform/pagecache.h"
#include "scrape/parsedlink.h"
#include "scrape/resultspage.h"
#include "scrape/scrapereport.h"

#include <QFile>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QTextStream>

Q_LOGGING_CATEGORY(lcOnlineScrape, "listoro.cli.onlinescrape", QtWarningMsg)

namespace {

QJsonValue textOrNull(const QString &text)
{
    return text.isNull() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

} // namespace

OnlineScrape::OnlineScrape(const QString &url, int pages, QObject *parent)
    : QObject(parent)
    , firstUrl(url)
    , pagesLeft(pages)
{
}

OnlineScrape::~OnlineScrape()
{
    if (extractor)
        extractor->stop();
    if (fetch)
        fetch->abort();
}

void OnlineScrape::start(std::function<void(const QJsonArray &, const QString &)> finished)
{
    done = std::move(finished);
    fetchPage(firstUrl);
}

void OnlineScrape::fetchPage(const QString &url)
{
    currentUrl = url;
    fetch = HttpClient::instance().get(
        QUrl(url, QUrl::StrictMode), this, [this](const HttpResult &result) {
            fetch.reset();
            if (!result.ok()) {
                finish(QStringLiteral("cannot fetch %1: %2").arg(currentUrl, result.error));
                return;
            }
            if (!result.isSuccessStatus()) {
                pageRefused = result.isRefusal();
                finish(QStringLiteral("cannot fetch %1: HTTP status %2")
                           .arg(currentUrl)
                           .arg(result.statusCode));
                return;
            }
            // Links resolve against the address the page came from.
            if (result.finalUrl != result.requestedUrl)
                currentUrl = result.finalUrl.toString(QUrl::FullyEncoded);
            // The page's listings may lead to local addresses only when it is on one itself.
            HostVetting::locate(result.finalUrl, this, [this, body = result.body](bool local) {
                if (done)
                    scrapePage(body, AddressPolicy::reachFor(local));
            });
        });
}

void OnlineScrape::scrapePage(const QByteArray &body, AddressPolicy::Reach reach)
{
    const std::optional<ZestoScrapeSetting> rules = ZestoScrapeSetting::settingsForUrl(currentUrl);
    const ResultsPage page = ResultsPage::scrape(body, currentUrl, rules, reach);
    QStringList urls;
    for (const ResultsPage::Link &link : page.links)
        urls.append(link.url);
    HostVetting::vet(
        urls, reach, this,
        [this, body, page, rules, reach](const QList<AddressPolicy::Refusal> &refused) {
            if (!done)
                return;
            ResultsPage vetted = page;
            vetted.drop(refused);
            if (extractor)
                extractor->stop();
            noLinks = false;
            extractor = LinkExtractor::initWithPage(vetted, body, this, currentUrl);
            if (checkRules) {
                resultsHealth = RuleHealth::check(body, currentUrl, RuleHealth::PageKind::Results,
                                                  rules, reach);
                resultsHealth->addRefusals(u"link", refused);
                resultsProblems += ScrapeReport::unmetNeedLines(*resultsHealth, currentUrl);
            }
            if (noLinks || extractor->parsedLinks()->isEmpty()) {
                if (checkRules)
                    reports.append(pageReport(currentUrl, *extractor));
                finish(QStringLiteral("no listing links on %1").arg(currentUrl));
                return;
            }
            if (seen)
                extractor->dropListingsShown(*seen);
            if (!detail || extractor->parsedLinks()->isEmpty()) {
                pageDone();
                return;
            }
            extractor->startDetailing();
        });
}

void OnlineScrape::onParsedLinkModified(const std::shared_ptr<ParsedLink> &) { }

void OnlineScrape::progress(int percent)
{
    if (progressStream && extractor && extractor->parsedLinks()) {
        const auto &links = *extractor->parsedLinks();
        const int settled = extractor->settledCount();
        *progressStream << QStringLiteral("\r%1: %2% (%3 of %4 listings settled)   ")
                               .arg(currentUrl)
                               .arg(percent, 3)
                               .arg(settled)
                               .arg(links.size());
        progressStream->flush();
        progressLineOpen = true;
    }
    if (percent >= 100) {
        // After the report that got us here has returned.
        MainQueue::post(this, [this] { pageSettled(); });
    }
}

void OnlineScrape::onNoLinksFound()
{
    noLinks = true;
}

void OnlineScrape::pageSettled()
{
    if (!extractor || extractor->stopped() || extractor->progress() < 100)
        return;
    pageDone();
}

void OnlineScrape::pageDone()
{
    endProgressLine();
    reports.append(pageReport(currentUrl, *extractor));
    const QString next = extractor->nextLink();
    extractor->stop();
    if (--pagesLeft > 0 && !next.isEmpty()) {
        fetchPage(next);
        return;
    }
    finish({});
}

void OnlineScrape::abandon(const QString &error)
{
    if (extractor && extractor->parsedLinks())
        reports.append(pageReport(currentUrl, *extractor));
    finish(error);
}

void OnlineScrape::endProgressLine()
{
    if (progressStream && progressLineOpen) {
        *progressStream << '\n';
        progressStream->flush();
    }
    progressLineOpen = false;
}

void OnlineScrape::finish(const QString &error)
{
    // An error line must not run on from the progress line.
    endProgressLine();
    if (extractor)
        extractor->stop();
    if (fetch) {
        fetch->abort();
        fetch.reset();
    }
    if (auto callback = std::exchange(done, nullptr))
        callback(reports, error);
}

QJsonObject OnlineScrape::pageReport(const QString &url, const LinkExtractor &extractor)
{
    // The rules of a listing, checked on its cached page: what the detail fetch scraped.
    const auto listingHealth
        = [this](const QString &listingUrl, std::optional<AddressPolicy::Reach> reach,
                 const QList<AddressPolicy::Refusal> &refusedPhotos, QJsonObject &listing) {
              if (!checkRules || listingUrl.isEmpty() || !PageCache::hasPage(listingUrl))
                  return;
              QFile file(PageCache::pagePath(listingUrl));
              if (!file.open(QIODevice::ReadOnly))
                  return;
              RuleHealth health
                  = RuleHealth::check(file.readAll(), listingUrl, RuleHealth::PageKind::Listing,
                                      ZestoScrapeSetting::settingsForUrl(listingUrl), reach);
              // Photos found out of reach by a lookup are named too.
              health.addRefusals({}, refusedPhotos);
              ScrapeReport::addRuleHealth(listing, health);
              ++listingsChecked;
              listingRuleSet = health.ruleSetName();
              const QStringList unmet = health.unmetNeeds();
              for (const QString &need : { QStringLiteral("title"), QStringLiteral("photos") }) {
                  if (!unmet.contains(need))
                      ++listingNeedsMet[need];
              }
          };

    QJsonArray listings;
    if (extractor.parsedLinks()) {
        for (const ParsedLink::Ptr &link : *extractor.parsedLinks()) {
            const QStringList photos = link->imagesUrls().value_or(QStringList());
            QJsonArray sizes;
            for (const QString &photo : photos) {
                const FloatSize size = link->getSizeForImageByUrl(photo);
                sizes.append(QJsonArray{ double(size.width), double(size.height) });
            }
            QJsonObject listing{
                { QStringLiteral("idInList"), link->idInList() },
                { QStringLiteral("title"), textOrNull(link->title()) },
                { QStringLiteral("url"), textOrNull(link->url()) },
                { QStringLiteral("done"), link->done() },
                { QStringLiteral("refused"), link->refused() },
                { QStringLiteral("failed"), link->detailFailed() },
                { QStringLiteral("failure"), textOrNull(link->detailFailure()) },
                { QStringLiteral("price"), ScrapeReport::price(link->price()) },
                { QStringLiteral("date"), ScrapeReport::date(link->posted()) },
                { QStringLiteral("photos"), QJsonArray::fromStringList(photos) },
                { QStringLiteral("photoSizes"), sizes },
            };
            listingHealth(link->url(), link->reach(), link->refusedImages(), listing);
            listings.append(listing);
        }
    }
    QJsonObject report{
        { QStringLiteral("url"), url },
        { QStringLiteral("next"), textOrNull(extractor.nextLink()) },
        { QStringLiteral("progress"), extractor.progress() },
        { QStringLiteral("listings"), listings },
    };
    if (checkRules && resultsHealth)
        ScrapeReport::addRuleHealth(report, *resultsHealth);
    return report;
}

QStringList OnlineScrape::ruleProblems() const
{
    QStringList lines = resultsProblems;
    if (listingsChecked == 0)
        return lines;
    for (const QString &need : { QStringLiteral("title"), QStringLiteral("photos") }) {
        if (listingNeedsMet.value(need) == 0) {
            lines.append(QStringLiteral("rule set \"%1\" found no %2 on any of the %3 listing "
                                        "page(s) checked")
                             .arg(listingRuleSet, need)
                             .arg(listingsChecked));
        }
    }
    return lines;
}

namespace {

int countListings(const QJsonArray &reports, bool refused)
{
    int count = 0;
    for (const auto &report : reports) {
        for (const auto &value : report.toObject().value(u"listings").toArray()) {
            const QJsonObject listing = value.toObject();
            if (listing.value(u"failed").toBool() && listing.value(u"refused").toBool() == refused)
                ++count;
        }
    }
    return count;
}

} // namespace

int OnlineScrape::refusedListings(const QJsonArray &reports)
{
    return countListings(reports, true);
}

int OnlineScrape::failedListings(const QJsonArray &reports)
{
    return countListings(reports, false);
}
