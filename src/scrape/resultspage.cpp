#include "scrape/resultspage.h"

#include "platform/url.h"
#include "query/tfhpple.h"
#include "scrape/extractdirective.h"
#include "scrape/listingaddress.h"
#include "scrape/listingdate.h"
#include "scrape/nsurlutils.h"
#include "scrape/pagelocale.h"
#include "scrape/rowvalues.h"

#include <QHash>
#include <QSet>

namespace {

// An absolute next link (a scheme and a host) stays as found; any other is resolved against the
// page's address as a browser resolves an href, so "//host/page2" takes the page's scheme. A link
// that leads to no web page (javascript:, mailto:) is no next page.
QString resolveNextLink(const QString &value, const QString &pageUrl)
{
    const std::optional<Url> link = Url::fromString(value);
    if (link && link->hasHost() && !link->scheme().isEmpty())
        return Url::isFetchableScheme(link->scheme()) ? value : QString();
    const std::optional<Url> page = Url::fromString(pageUrl);
    if (!page)
        return {};
    const QUrl relative(value, QUrl::TolerantMode);
    if (!relative.isValid())
        return {};
    const QUrl resolved = page->toQUrl().resolved(relative);
    if (!Url::isFetchableScheme(resolved.scheme()) || resolved.host().isEmpty())
        return {};
    return resolved.toString(QUrl::FullyEncoded);
}

void addRowValues(const TFHpple &document, const QString &pageUrl, const ZestoScrapeSetting &set,
                  const QList<int> &nodeListings, const QDateTime &fetchedAt,
                  QList<ResultsPage::Link> &links)
{
    const QHash<int, QString> prices
        = RowValues::match(document, set.link(), nodeListings, set.price(), set.price_extract());
    const QHash<int, QString> dates
        = RowValues::match(document, set.link(), nodeListings, set.date(), set.date_extract());
    if (prices.isEmpty() && dates.isEmpty())
        return;
    const QString locale = PageLocale::of(document, pageUrl);
    for (ResultsPage::Link &link : links) {
        link.price = ListingPrice::parse(prices.value(link.idInList), locale);
        link.dateText = dates.value(link.idInList);
        link.posted = ListingDate::parse(link.dateText, fetchedAt, locale);
    }
}

} // namespace

ResultsPage ResultsPage::scrape(const QByteArray &page, const QString &pageUrl,
                                const std::optional<ZestoScrapeSetting> &rules,
                                std::optional<AddressPolicy::Reach> reach,
                                const QDateTime &fetchedAt)
{
    return scrape(TFHpple::hppleWithHTMLData(page), pageUrl, rules, reach, fetchedAt);
}

ResultsPage ResultsPage::scrape(const TFHpple &document, const QString &pageUrl,
                                const std::optional<ZestoScrapeSetting> &rules,
                                std::optional<AddressPolicy::Reach> reach,
                                const QDateTime &fetchedAt)
{
    ResultsPage result;
    result.reach = reach.value_or(AddressPolicy::reachFrom(pageUrl));
    const ZestoScrapeSetting none;
    const ZestoScrapeSetting &set = rules ? *rules : none;

    const QList<TFHppleElement::Ptr> nodes = document.searchWithXPathQuery(set.link());
    if (nodes.isEmpty())
        return result;
    result.noLinkNodes = false;

    // One listing per address: a card often links its photo and its title to the same page.
    // The first link keeps its place; a later one lends its text when the first has none.
    QHash<QString, qsizetype> listed;
    // Each link node's listing, for the per-row price and date.
    QList<int> nodeListings;
    for (const TFHppleElement::Ptr &node : nodes) {
        const QString value = ExtractDirective::valueOf(node, set.link_extract());
        nodeListings.append(-1);
        if (value.isNull())
            continue;
        Link link;
        link.title = ExtractDirective::firstChildContent(node);
        link.url = NSUrlUtils::fixUrl(value, pageUrl);
        QString reason;
        if (!link.url.isNull()
            && AddressPolicy::check(QUrl(link.url), result.reach, &reason)
                == AddressPolicy::Verdict::Refused) {
            result.refused.append({ link.url, reason });
            continue;
        }
        const QString key = ListingAddress::key(link.url);
        if (!key.isNull()) {
            if (const auto found = listed.constFind(key); found != listed.cend()) {
                Link &first = result.links[*found];
                if (first.title.trimmed().isEmpty() && !link.title.trimmed().isEmpty())
                    first.title = link.title;
                nodeListings.last() = int(*found);
                continue;
            }
            listed.insert(key, result.links.size());
        }
        link.idInList = int(result.links.size());
        nodeListings.last() = link.idInList;
        result.links.append(link);
    }
    addRowValues(document, pageUrl, set, nodeListings, fetchedAt, result.links);

    const QList<TFHppleElement::Ptr> nextNodes = document.searchWithXPathQuery(set.next());
    if (nextNodes.isEmpty())
        return result;
    const TFHppleElement::Ptr &nextNode = nextNodes.constLast();

    // A "next" node that is one of the listings is no next page.
    const QString asListing = ExtractDirective::valueOf(nextNode, set.link_extract());
    if (!asListing.isNull()) {
        for (const Link &link : std::as_const(result.links)) {
            if (link.url == asListing)
                return result;
        }
    }
    // The link rule's directive decides whether the next node's text is taken.
    const QString value = ExtractDirective::isContent(set.link_extract())
        ? ExtractDirective::firstChildContent(nextNode)
        : nextNode->objectForKey(set.next_extract());
    if (value.isNull())
        return result;
    result.nextLink = resolveNextLink(value, pageUrl);
    return result;
}

void ResultsPage::drop(const QList<AddressPolicy::Refusal> &refusals)
{
    if (refusals.isEmpty())
        return;
    QSet<QString> addresses;
    for (const AddressPolicy::Refusal &refusal : refusals)
        addresses.insert(refusal.address);
    QList<Link> kept;
    for (const Link &link : std::as_const(links)) {
        if (addresses.contains(link.url))
            continue;
        kept.append(link);
        kept.last().idInList = int(kept.size()) - 1;
    }
    links = kept;
    refused += refusals;
}
