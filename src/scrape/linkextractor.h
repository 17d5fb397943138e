#pragma once

#include "saved/zestofavorite.h"
#include "scrape/parsedlink.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>

#include <atomic>
#include <memory>
#include <optional>

class ParsedLinkModified;
struct ResultsPage;

// Turns one results page (or the stored favorites) into the listings of a grid: one record per
// listing link, in page order, and the link to the next results page. On request it details
// every listing and reports each change, with the percentage of settled listings, to its parent.
// stop() ends all work: afterwards nothing reaches the parent.
class LinkExtractor final : public LinkExtractorInterface,
                            public std::enable_shared_from_this<LinkExtractor>
{
public:
    using Ptr = std::shared_ptr<LinkExtractor>;

    // Parses the page before returning, so the parent may hear onNoLinksFound() first.
    static Ptr initWithData(const QByteArray &data, ParsedLinkModified *parent,
                            const QString &currentUrl);
    // As initWithData(), from the page already scraped (off the GUI thread) with the rule set
    // for currentUrl.
    static Ptr initWithPage(const ResultsPage &page, const QByteArray &data,
                            ParsedLinkModified *parent, const QString &currentUrl);
    // Records carry the favorites' titles and urls unchanged; an absent list leaves no table.
    static Ptr initWithFavorites(const std::optional<QList<ZestoFavorite>> &favorites,
                                 ParsedLinkModified *parent);
    ~LinkExtractor() override;

    void parse();
    // Drops the listings whose address is in shown (listed on an earlier page of the same grid),
    // adds the addresses of the others to it and numbers them anew in page order. Before
    // startDetailing().
    void dropListingsShown(QSet<QString> &shown);
    void startDetailing();
    void refresh(const std::shared_ptr<ParsedLink> &record) override;
    void computeProgress();
    void stop();

    QByteArray originalData() const { return m_originalData; }
    QString currentUrl() const { return m_currentUrl; }
    const std::optional<QMap<int, ParsedLink::Ptr>> &parsedLinks() const { return m_parsedLinks; }
    ParsedLinkModified *parent() const { return m_parent; }
    // A parent away for a while (null) hears nothing meanwhile; a stopped extractor keeps none.
    void setParent(ParsedLinkModified *parent)
    {
        if (!m_stopped)
            m_parent = parent;
    }
    QString nextLink() const { return m_nextLink; }
    int progress() const { return m_progress; }
    // The listings settled (done or failed) of parsedLinks().
    int settledCount() const { return int(m_settled.size()); }
    bool stopped() const { return m_stopped; }

    // The percentage the extractor reports for settled of total listings: the quotient is
    // taken in 32-bit floating point, so 7 of 10 gives 69.
    static int percentage(int settled, int total);

private:
    LinkExtractor() = default;
    void fill(const ResultsPage &page);

    QByteArray m_originalData;
    QString m_currentUrl;
    std::optional<QMap<int, ParsedLink::Ptr>> m_parsedLinks;
    ParsedLinkModified *m_parent = nullptr;
    QString m_nextLink;
    int m_progress = 0;
    QSet<const ParsedLink *> m_settled;
    std::atomic<bool> m_stopped = false;
};
