#include "scrape/listingpage.h"

#include "query/tfhpple.h"
#include "scrape/extractdirective.h"
#include "scrape/nsurlutils.h"

namespace {

void addPhotos(const TFHpple &document, const QString &query, const QString &extract,
               const QString &listingUrl, QStringList &photos)
{
    for (const TFHppleElement::Ptr &node : document.searchWithXPathQuery(query)) {
        const QString value = ExtractDirective::valueOf(node, extract);
        if (value.isNull() || photos.contains(value))
            continue;
        const QString resolved = NSUrlUtils::fixUrl(value, listingUrl);
        if (!resolved.isNull())
            photos.append(resolved);
    }
}

} // namespace

ListingPage ListingPage::scrape(const QByteArray &page, const QString &listingUrl,
                                const std::optional<ZestoScrapeSetting> &rules,
                                const QStringList &knownPhotos)
{
    return scrape(TFHpple::hppleWithHTMLData(page), listingUrl, rules, knownPhotos);
}

ListingPage ListingPage::scrape(const TFHpple &document, const QString &listingUrl,
                                const std::optional<ZestoScrapeSetting> &rules,
                                const QStringList &knownPhotos)
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
    addPhotos(document, rules->innerImgsWithHref(), rules->innerImgsWithHref_extract(), listingUrl,
              result.photos);
    addPhotos(document, rules->innerImgsWithSrc(), rules->innerImgsWithSrc_extract(), listingUrl,
              result.photos);
    return result;
}
