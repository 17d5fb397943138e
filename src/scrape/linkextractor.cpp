#include "scrape/linkextractor.h"

#include "scrape/listingaddress.h"

#include "scrape/linkdetailer.h"
#include "scrape/parsedlinkmodified.h"
#include "scrape/resultspage.h"
#include "scrape/zestoscrapesetting.h"

LinkExtractor::Ptr LinkExtractor::initWithData(const QByteArray &data, ParsedLinkModified *parent,
                                               const QString &currentUrl)
{
    Ptr extractor(new LinkExtractor);
    extractor->m_originalData = data;
    extractor->m_parent = parent;
    extractor->m_currentUrl = currentUrl;
    extractor->parse();
    return extractor;
}

LinkExtractor::Ptr LinkExtractor::initWithPage(const ResultsPage &page, const QByteArray &data,
                                               ParsedLinkModified *parent,
                                               const QString &currentUrl)
{
    Ptr extractor(new LinkExtractor);
    extractor->m_originalData = data;
    extractor->m_parent = parent;
    extractor->m_currentUrl = currentUrl;
    extractor->fill(page);
    return extractor;
}

LinkExtractor::Ptr LinkExtractor::initWithFavorites(
    const std::optional<QList<ZestoFavorite>> &favorites, ParsedLinkModified *parent)
{
    Ptr extractor(new LinkExtractor);
    extractor->m_parent = parent;
    if (!favorites)
        return extractor;
    extractor->m_parsedLinks.emplace();
    int i = 0;
    for (const ZestoFavorite &favorite : *favorites) {
        auto record = std::make_shared<ParsedLink>(extractor);
        record->setTitle(favorite.title());
        record->setUrl(favorite.url());
        // A favorite's own address decides what it may reach: no reach of a results page.
        record->setIdInList(i);
        extractor->m_parsedLinks->insert(i, record);
        ++i;
    }
    return extractor;
}

LinkExtractor::~LinkExtractor()
{
    if (!m_stopped)
        stop();
}

void LinkExtractor::parse()
{
    fill(ResultsPage::scrape(m_originalData, m_currentUrl,
                             ZestoScrapeSetting::settingsForUrl(m_currentUrl)));
}

void LinkExtractor::fill(const ResultsPage &page)
{
    m_parsedLinks.emplace();
    if (page.noLinkNodes) {
        if (m_parent)
            m_parent->onNoLinksFound();
        return;
    }
    for (const ResultsPage::Link &link : page.links) {
        auto record = std::make_shared<ParsedLink>(weak_from_this());
        record->setTitle(link.title);
        record->setUrl(link.url);
        record->setIdInList(link.idInList);
        record->setReach(page.reach);
        record->setPrice(link.price);
        record->setDate(link.dateText);
        record->setPosted(link.posted);
        m_parsedLinks->insert(link.idInList, record);
    }
    m_nextLink = page.nextLink;
}

void LinkExtractor::dropListingsShown(QSet<QString> &shown)
{
    if (!m_parsedLinks)
        return;
    QMap<int, ParsedLink::Ptr> kept;
    for (const ParsedLink::Ptr &record : std::as_const(*m_parsedLinks)) {
        const QString key = ListingAddress::key(record->url());
        if (!key.isNull()) {
            if (shown.contains(key))
                continue;
            shown.insert(key);
        }
        record->setIdInList(int(kept.size()));
        kept.insert(record->idInList(), record);
    }
    *m_parsedLinks = std::move(kept);
    computeProgress();
}

void LinkExtractor::startDetailing()
{
    if (!m_parsedLinks)
        return;
    // A copy: a detail fetch may report (and so reach the parent) before the loop ends.
    const QMap<int, ParsedLink::Ptr> records = *m_parsedLinks;
    for (const ParsedLink::Ptr &record : records) {
        if (m_stopped)
            return;
        record->setDetailer(LinkDetailer::initWithStringUrl(record->url(), record));
    }
}

void LinkExtractor::refresh(const std::shared_ptr<ParsedLink> &record)
{
    // Only this record can have changed: counting it alone keeps a page of thousands of
    // listings from recounting them all on every change.
    if (m_parsedLinks && record && m_parsedLinks->value(record->idInList()) == record) {
        if (record->settled())
            m_settled.insert(record.get());
        else
            m_settled.remove(record.get());
        m_progress = percentage(int(m_settled.size()), int(m_parsedLinks->size()));
    } else {
        computeProgress();
    }
    if (!m_parent)
        return;
    m_parent->onParsedLinkModified(record);
    // The parent may have stopped this extractor meanwhile.
    if (m_parent)
        m_parent->progress(m_progress);
}

int LinkExtractor::percentage(int settled, int total)
{
    if (total <= 0)
        return 0;
    const float quotient = float(settled) / float(total);
    return int(double(quotient) * 100.0);
}

void LinkExtractor::computeProgress()
{
    if (!m_parsedLinks) {
        m_settled.clear();
        m_progress = 0;
        return;
    }
    m_settled.clear();
    for (const ParsedLink::Ptr &record : std::as_const(*m_parsedLinks)) {
        if (record->settled())
            m_settled.insert(record.get());
    }
    m_progress = percentage(int(m_settled.size()), int(m_parsedLinks->size()));
}

void LinkExtractor::stop()
{
    m_stopped = true;
    m_parent = nullptr;
    if (m_parsedLinks) {
        for (const ParsedLink::Ptr &record : std::as_const(*m_parsedLinks)) {
            if (const auto detailer = record->detailer())
                detailer->stop();
            record->setDetailer(nullptr);
            record->stopDownloads();
        }
    }
    m_parsedLinks.reset();
}
