#include "scrape/resultspage.h"

#include "platform/url.h"
#include "query/tfhpple.h"
#include "scrape/extractdirective.h"
#include "scrape/listingaddress.h"
#include "scrape/nsurlutils.h"

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

} // namespace

ResultsPage ResultsPage::scrape(const QByteArray &page, const QString &pageUrl,
                                const std::optional<ZestoScrapeSetting> &rules,
                                std::optional<AddressPolicy::Reach> reach)
{
    return scrape(TFHpple::hppleWithHTMLData(page), pageUrl, rules, reach);
}

ResultsPage ResultsPage::scrape(const TFHpple &document, const QString &pageUrl,
                                const std::optional<ZestoScrapeSetting> &rules,
                                std::optional<AddressPolicy::Reach> reach)
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
    for (const TFHppleElement::Ptr &node : nodes) {
        const QString value = ExtractDirective::valueOf(node, set.link_extract());
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
                continue;
            }
            listed.insert(key, result.links.size());
        }
        link.idInList = int(result.links.size());
        result.links.append(link);
    }

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
