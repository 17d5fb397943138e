#include "scrape/listingpage.h"

#include "query/tfhpple.h"
#include "scrape/extractdirective.h"
#include "scrape/listingdate.h"
#include "scrape/nsurlutils.h"
#include "scrape/pagelocale.h"

#include <QSet>

namespace {

void addPhotos(const TFHpple &document, const QString &query, const QString &extract,
               const QString &listingUrl, AddressPolicy::Reach reach, QSet<QString> &listed,
               ListingPage &page)
{
    for (const TFHppleElement::Ptr &node : document.searchWithXPathQuery(query)) {
        if (page.photos.size() >= ListingPage::maxPhotos
            || page.refused.size() >= ListingPage::maxPhotos)
            return;
        const QString value = ExtractDirective::valueOf(node, extract);
        if (value.isNull() || listed.contains(value))
            continue;
        const QString resolved = NSUrlUtils::fixUrl(value, listingUrl);
        if (resolved.isNull())
            continue;
        listed.insert(resolved);
        QString reason;
        if (AddressPolicy::check(QUrl(resolved), reach, &reason) == AddressPolicy::Verdict::Refused)
            page.refused.append({ resolved, reason });
        else
            page.photos.append(resolved);
    }
}

QString firstText(const TFHpple &document, const QString &query, const QString &extract)
{
    if (query.isEmpty())
        return {};
    for (const TFHppleElement::Ptr &node : document.searchWithXPathQuery(query)) {
        const QString value = ExtractDirective::textOf(node, extract);
        if (!value.trimmed().isEmpty())
            return value;
    }
    return {};
}

} // namespace

ListingPage ListingPage::scrape(const QByteArray &page, const QString &listingUrl,
                                const std::optional<ZestoScrapeSetting> &rules,
                                const QStringList &knownPhotos,
                                std::optional<AddressPolicy::Reach> reach,
                                const QDateTime &fetchedAt)
{
    return scrape(TFHpple::hppleWithHTMLData(page), listingUrl, rules, knownPhotos, reach,
                  fetchedAt);
}

ListingPage ListingPage::scrape(const TFHpple &document, const QString &listingUrl,
                                const std::optional<ZestoScrapeSetting> &rules,
                                const QStringList &knownPhotos,
                                std::optional<AddressPolicy::Reach> reach,
                                const QDateTime &fetchedAt)
{
    ListingPage result;
    result.photos = knownPhotos;
    if (!rules)
        return result;

    for (const TFHppleElement::Ptr &node : document.searchWithXPathQuery(rules->title())) {
        const QString value = ExtractDirective::isContent(rules->title_extract())
            ? node->content()
            : node->objectForKey(rules->title_extract());
        if (!value.isEmpty())
            result.title = value;
    }
    const AddressPolicy::Reach photoReach = reach.value_or(AddressPolicy::reachFrom(listingUrl));
    const QString price = firstText(document, rules->price(), rules->price_extract());
    result.dateText = firstText(document, rules->date(), rules->date_extract());
    if (!price.isNull() || !result.dateText.isNull()) {
        const QString locale = PageLocale::of(document, listingUrl);
        result.price = ListingPrice::parse(price, locale);
        result.posted = ListingDate::parse(result.dateText, fetchedAt, locale);
    }
    QSet<QString> listed(result.photos.cbegin(), result.photos.cend());
    addPhotos(document, rules->innerImgsWithHref(), rules->innerImgsWithHref_extract(), listingUrl,
              photoReach, listed, result);
    addPhotos(document, rules->innerImgsWithSrc(), rules->innerImgsWithSrc_extract(), listingUrl,
              photoReach, listed, result);
    return result;
}

void ListingPage::drop(const QList<AddressPolicy::Refusal> &refusals)
{
    for (const AddressPolicy::Refusal &refusal : refusals) {
        if (photos.removeAll(refusal.address) > 0)
            refused.append(refusal);
    }
}
