#pragma once

#include "scrape/linkextractor.h"
#include "scrape/parsedlinkmodified.h"
#include "scrape/rulehealth.h"

#include <QHash>
#include <QJsonArray>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class HttpFetch;
class QTextStream;

// The scraping road without windows: fetches a results page, extracts and details its listings
// (pages, photos, cache) exactly as the grid does, waits until every listing has settled, and
// follows the next link for up to the given number of pages. finished() runs once, with the
// report of every page done and an error line (null when all went well).
class OnlineScrape final : public QObject, public ParsedLinkModified
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OnlineScrape)

public:
    OnlineScrape(const QString &url, int pages, QObject *parent = nullptr);
    ~OnlineScrape() override;

    // Progress lines go to this stream (a terminal); null: silent.
    void setProgressStream(QTextStream *stream) { progressStream = stream; }
    // Adds each page's rule health to its report: the results page's, and each listing's whose
    // page is in the cache.
    void setCheckRules(bool check) { checkRules = check; }
    // Leaves out the listings whose addresses are in seen, before their pages are fetched, and
    // adds the others' to it; null: every listing is reported.
    void setSeen(QSet<QString> *addresses) { seen = addresses; }
    // false: the listings are listed, their pages and photos not fetched.
    void setDetailing(bool detailing) { detail = detailing; }
    // The site refused a results page (HTTP 403, 429 or 503, also when asked again).
    bool refused() const { return pageRefused; }
    void start(std::function<void(const QJsonArray &pages, const QString &error)> finished);
    // Ends the run now, reporting what settled so far with error.
    void abandon(const QString &error);

    void onParsedLinkModified(const std::shared_ptr<ParsedLink> &parsedLink) override;
    void progress(int percent) override;
    void onNoLinksFound() override;

    // One page's report: url, next, progress and every listing with its photos and sizes.
    QJsonObject pageReport(const QString &url, const LinkExtractor &extractor);
    // With setCheckRules(): a line for each need no rule met, on a results page or on every
    // listing page checked; empty when all were met.
    QStringList ruleProblems() const;
    // The listings of the page reports whose pages the site refused.
    static int refusedListings(const QJsonArray &reports);
    // The listings of the page reports whose pages failed otherwise.
    static int failedListings(const QJsonArray &reports);

private:
    void fetchPage(const QString &url);
    // Builds the extractor of the page fetched, its listings within reach.
    void scrapePage(const QByteArray &body, AddressPolicy::Reach reach);
    void pageSettled();
    // Reports the current page and goes on to the next one, or finishes.
    void pageDone();
    void finish(const QString &error);
    void endProgressLine();

    QString firstUrl;
    int pagesLeft = 1;
    QString currentUrl;
    LinkExtractor::Ptr extractor;
    std::shared_ptr<HttpFetch> fetch;
    QJsonArray reports;
    bool noLinks = false;
    bool detail = true;
    bool pageRefused = false;
    bool checkRules = false;
    QSet<QString> *seen = nullptr;
    std::optional<RuleHealth> resultsHealth;
    QStringList resultsProblems;
    // Listing pages checked, and of them how many met each need, by rule set name.
    int listingsChecked = 0;
    QHash<QString, int> listingNeedsMet;
    QString listingRuleSet;
    QTextStream *progressStream = nullptr;
    bool progressLineOpen = false;
    std::function<void(const QJsonArray &, const QString &)> done;
};
