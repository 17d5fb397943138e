#pragma once

#include "platform/addresspolicy.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <memory>

class HttpFetch;
struct ListingPage;
class ParsedLink;

// Fetches one listing's own page (from the disk cache when it was fetched before, over HTTP
// otherwise, caching it under its final address), scrapes its title and photo URLs with the rule
// set chosen for the listing's URL, and hands the record over to its photo downloads. Only what
// was scraped is kept: a grid of large pages costs the memory of its tiles, not of the pages.
class LinkDetailer : public std::enable_shared_from_this<LinkDetailer>
{
public:
    // Creates a detail fetch for the record at url and starts it.
    static std::shared_ptr<LinkDetailer> initWithStringUrl(
        const QString &url, const std::shared_ptr<ParsedLink> &record);
    ~LinkDetailer();
    LinkDetailer(const LinkDetailer &) = delete;
    LinkDetailer &operator=(const LinkDetailer &) = delete;

    // Cancels a running fetch; nothing is parsed afterwards.
    void stop();
    // Scrapes page into the record and calls the record's refresh(): before it returns, unless
    // the host of a photo must be looked up first.
    void parse(const QByteArray &page);

    QString url() const { return m_url; }
    std::shared_ptr<ParsedLink> parsedLink() const { return record.lock(); }
    bool stopped() const { return m_stopped; }
    bool isLoading() const;

private:
    LinkDetailer(const QString &url, const std::shared_ptr<ParsedLink> &record);
    void start();
    void fetch();
    // What the listing page and its photos may reach.
    AddressPolicy::Reach reach() const;
    void fail(const QString &why, bool refused = false);
    // As parse(), with the page scraped on the background pool (and first cached under cacheAs,
    // unless null): the GUI thread only fills the record.
    void parseInBackground(const QByteArray &page, const QString &cacheAs = {});
    // Looks up the photos' hosts, then fills the record with the photos within reach.
    void vetAndApply(const ListingPage &listing);
    void apply(const ListingPage &listing);

    QString m_url;
    std::weak_ptr<ParsedLink> record;
    std::shared_ptr<HttpFetch> connection;
    std::atomic<bool> m_stopped = false;
};
