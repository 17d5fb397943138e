#include "scrape/rowvalues.h"

#include "query/nodedictionary.h"
#include "scrape/extractdirective.h"

namespace {

// Whether two query results are the same node; a copy holds no identity, so this compares
// what the copies hold.
bool sameNode(const NodeDictionary &a, const NodeDictionary &b)
{
    if (&a == &b)
        return true;
    if (a.nodeName != b.nodeName || a.nodeContent != b.nodeContent
        || a.nodeChildArray.size() != b.nodeChildArray.size()
        || a.nodeAttributeArray.size() != b.nodeAttributeArray.size())
        return false;
    for (qsizetype i = 0; i < a.nodeAttributeArray.size(); ++i) {
        if (a.nodeAttributeArray.at(i).attributeName != b.nodeAttributeArray.at(i).attributeName
            || a.nodeAttributeArray.at(i).nodeContent != b.nodeAttributeArray.at(i).nodeContent)
            return false;
    }
    return true;
}

struct Reading
{
    QHash<int, QString> values;
    int unplaced = 0;
};

} // namespace

namespace RowValues {

QHash<int, QString> match(const TFHpple &document, const QString &linkQuery,
                          const QList<int> &linkListings, const QString &valueQuery,
                          const QString &valueExtract)
{
    if (valueQuery.isEmpty() || linkQuery.isEmpty())
        return {};
    const QList<TFHppleElement::Ptr> links = document.searchWithXPathQuery(linkQuery);
    const QList<TFHppleElement::Ptr> values = document.searchWithXPathQuery(valueQuery);
    if (values.isEmpty() || links.size() != linkListings.size())
        return {};
    const QList<TFHppleElement::Ptr> merged
        = document.searchWithXPathQuery(QStringLiteral("(%1) | (%2)").arg(linkQuery, valueQuery));

    // For each value in page order, the link occurrences before it.
    QList<qsizetype> linksBefore;
    qsizetype l = 0;
    qsizetype v = 0;
    for (const TFHppleElement::Ptr &node : merged) {
        if (l < links.size() && sameNode(node->node(), links.at(l)->node())) {
            ++l;
        } else if (v < values.size() && sameNode(node->node(), values.at(v)->node())) {
            linksBefore.append(l);
            ++v;
        } else {
            return {}; // the union does not interleave the two lists: no reading is safe
        }
    }
    if (v != values.size())
        return {};

    const auto listingAt = [&](qsizetype occurrence) {
        return occurrence >= 0 && occurrence < linkListings.size() ? linkListings.at(occurrence)
                                                                   : -1;
    };
    const auto read = [&](bool linkBefore) {
        Reading reading;
        for (qsizetype i = 0; i < values.size(); ++i) {
            const int listing = listingAt(linkBefore ? linksBefore.at(i) - 1 : linksBefore.at(i));
            const QString text = ExtractDirective::textOf(values.at(i), valueExtract);
            if (listing < 0 || text.trimmed().isEmpty() || reading.values.contains(listing)) {
                ++reading.unplaced;
                continue;
            }
            reading.values.insert(listing, text);
        }
        return reading;
    };
    const Reading before = read(true);
    const Reading after = read(false);
    return after.unplaced < before.unplaced ? after.values : before.values;
}

} // namespace RowValues
