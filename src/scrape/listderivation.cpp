#include "scrape/rulederivation.h"

#include "query/tfhpple.h"
#include "query/xpathliteral.h"
#include "scrape/derivationevaluator.h"
#include "scrape/derivationmarkup.h"
#include "scrape/nextlinkderivation.h"
#include "scrape/resultspage.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

#include <algorithm>
#include <optional>

using namespace DerivationMarkup;

namespace {

// The link rules that find `link` inside an element: by the link's own class tokens, by its
// parent's tag and tokens, and any link.
QStringList linkSteps(xmlNode *link, xmlNode *item)
{
    QStringList steps;
    // Attributes that name what the link is, then its class tokens, then attributes it merely
    // carries (data-id), which some rows of the same list lack.
    QStringList present;
    for (const QString &test : dataTests(link))
        (test.contains(u'=') ? steps : present)
            << QStringLiteral("descendant::a[%1][@href]").arg(test);
    for (const QString &token : classTokens(link)) {
        if (!isGenerated(token))
            steps << QStringLiteral("descendant::a[%1][@href]").arg(tokenTest(token));
    }
    steps << present;
    xmlNode *parent = link->parent;
    if (isElement(parent) && parent != item) {
        for (const QString &test : identityTests(parent, false))
            steps << QStringLiteral("descendant::%1/a[@href]").arg(step(tagOf(parent), test));
    }
    // A link right inside the element, then any link inside it, then links that lead to pages
    // named like the example's (listing pages ending in .html beside category links).
    steps << QStringLiteral("a[@href]") << QStringLiteral("descendant::a[@href]");
    static const QRegularExpression suffix(QStringLiteral("(\\.[A-Za-z]{3,5})(\\?|#|$)"));
    if (const QRegularExpressionMatch match = suffix.match(attributeOf(link, "href"));
        match.hasMatch()) {
        steps
            << QStringLiteral("descendant::a[contains(@href, %1)]").arg(literal(match.captured(1)));
    }
    return steps;
}

struct Candidate
{
    QString query;
    QList<xmlNode *> links;
    // The addresses the links lead to: the listings found.
    qsizetype listings = 0;

    // More listings, or as many by fewer links (one link to each listing, not two).
    bool beats(const std::optional<Candidate> &other) const
    {
        return !other || listings > other->listings
            || (listings == other->listings && links.size() < other->links.size());
    }
};

// The site an address is on: its host's last two labels, or three under a country's second
// level (example.co.uk), so that a city's subdomain (sacramento.craigslist.org) is the same site.
QString siteOf(const QString &address)
{
    const QStringList labels = QUrl(address).host().split(u'.', Qt::SkipEmptyParts);
    const qsizetype size = labels.size();
    const bool secondLevel
        = size >= 3 && labels.at(size - 1).size() == 2 && labels.at(size - 2).size() <= 3;
    return labels.mid(std::max<qsizetype>(0, size - (secondLevel ? 3 : 2))).join(u'.');
}

// Whether the query's links are one listing to a repeating element and take in every example's
// address. An element whose photo and title both link to its listing is one listing: the link
// with text is taken when that tells them apart.
bool acceptable(DerivationEvaluator &evaluate, const QString &itemQuery, const QString &linkStep,
                const QList<xmlNode *> &examples, const QString &url, Candidate &candidate)
{
    const QList<xmlNode *> items = evaluate.nodes(itemQuery);
    if (items.size() < 2 || items.size() > 5000)
        return false;
    QList<xmlNode *> links;
    QSet<QString> addresses;
    int withLink = 0;
    bool doubled = false;
    for (xmlNode *item : items) {
        const QList<xmlNode *> inside = evaluate.nodes(linkStep, item);
        if (inside.isEmpty())
            continue;
        const QString address = resolved(inside.first(), "href", url);
        for (xmlNode *link : inside) {
            if (resolved(link, "href", url) != address)
                return false;
            if (!contains(links, link))
                links.append(link);
        }
        doubled = doubled || inside.size() > 1;
        addresses.insert(address);
        ++withLink;
    }
    if (withLink < 2)
        return false;
    for (xmlNode *example : examples) {
        if (!addresses.contains(resolved(example, "href", url)))
            return false;
    }
    // Two links to one listing count once only when the one with text tells them apart.
    if (doubled) {
        Candidate withText;
        if (linkStep.endsWith(QStringLiteral("[normalize-space()]"))
            || !acceptable(evaluate, itemQuery, linkStep + QStringLiteral("[normalize-space()]"),
                           examples, url, withText)
            || withText.links.size() != withText.listings)
            return false;
        candidate = withText;
        return true;
    }
    // Links to other sites (an advertiser's banner in a row of its own) are no listings of
    // this one: they do not count.
    const QString site = siteOf(resolved(examples.first(), "href", url));
    const qsizetype listings
        = std::count_if(addresses.cbegin(), addresses.cend(),
                        [&site](const QString &address) { return siteOf(address) == site; });
    candidate = { itemQuery + u'/' + linkStep, links, listings };
    qCDebug(lcDerivation) << "repeating" << candidate.query << links.size() << "links";
    return true;
}

// The words of class tokens and ids that mark a box of paid or promoted listings.
bool marksPromotion(xmlNode *node)
{
    static const QSet<QString> words{
        QStringLiteral("top"),       QStringLiteral("topad"),       QStringLiteral("topads"),
        QStringLiteral("featured"),  QStringLiteral("feature"),     QStringLiteral("feat"),
        QStringLiteral("promo"),     QStringLiteral("promoted"),    QStringLiteral("promotion"),
        QStringLiteral("sponsor"),   QStringLiteral("sponsored"),   QStringLiteral("premium"),
        QStringLiteral("highlight"), QStringLiteral("highlighted"), QStringLiteral("spotlight"),
        QStringLiteral("boost"),     QStringLiteral("boosted"),     QStringLiteral("vedette"),
        QStringLiteral("showcase"),  QStringLiteral("partner"),     QStringLiteral("partners"),
        QStringLiteral("urgent"),
    };
    for (const char *attribute : { "class", "id" }) {
        for (const QString &word : wordsOf(attributeOf(node, attribute))) {
            if (words.contains(word))
                return true;
        }
    }
    return false;
}

// The links that sit in a box of promoted listings the examples are not in: between such a
// link and the nearest element it shares with the first example, an element says "featured",
// "top", "sponsored" and the like. None when the examples are in such a box themselves.
QList<xmlNode *> promoted(const QList<xmlNode *> &links, const QList<xmlNode *> &examples)
{
    QList<xmlNode *> found;
    if (examples.isEmpty())
        return found;
    const QList<xmlNode *> exampleChain = ancestorsOf(examples.first());
    for (xmlNode *example : examples) {
        for (xmlNode *up : ancestorsOf(example)) {
            if (marksPromotion(up))
                return found;
        }
    }
    for (xmlNode *link : links) {
        if (contains(examples, link))
            continue;
        for (xmlNode *up = link->parent; isElement(up) && !exampleChain.contains(up);
             up = up->parent) {
            if (marksPromotion(up)) {
                found.append(link);
                break;
            }
        }
    }
    return found;
}

// Leaves out, by a token of theirs the examples' elements lack, the links that repeat another
// link's address (a box of featured listings repeating some of the results) or that the user
// excluded; the query as it was when no such token exists.
QString leaveOut(DerivationEvaluator &evaluate, const QString &query, QList<xmlNode *> unwanted,
                 const QList<xmlNode *> &examples)
{
    const QList<xmlNode *> selected = evaluate.nodes(query);
    unwanted.removeIf([&](xmlNode *node) { return !contains(selected, node); });
    if (unwanted.isEmpty())
        return query;
    static const QRegularExpression numbered(QStringLiteral("^(.*?[A-Za-z_-])\\d+$"));
    const auto idStem = [](xmlNode *node) {
        const QRegularExpressionMatch match = numbered.match(attributeOf(node, "id"));
        return match.hasMatch() ? match.captured(1) : QString();
    };
    // The marks of the examples' boxes: class tokens, id stems and named data- attributes.
    QSet<QString> exampleTokens;
    QSet<QString> exampleStems;
    QSet<QString> exampleDataTests;
    QSet<QString> exampleIds;
    for (xmlNode *example : examples) {
        for (xmlNode *up : ancestorsOf(example)) {
            for (const QString &token : classTokens(up))
                exampleTokens.insert(token);
            exampleStems.insert(idStem(up));
            exampleIds.insert(attributeOf(up, "id"));
            for (const QString &test : dataTests(up))
                exampleDataTests.insert(test);
        }
    }
    // The marks of the unwanted links' boxes that the examples' boxes lack; none that a style
    // tool generated or that names one item (listing-card-3).
    static const QRegularExpression digit(QStringLiteral("\\d"));
    QStringList marks;
    for (xmlNode *node : std::as_const(unwanted)) {
        for (xmlNode *up : ancestorsOf(node)) {
            QStringList tests;
            for (const QString &token : classTokens(up)) {
                if (!exampleTokens.contains(token) && !isGenerated(token))
                    tests << tokenTest(token);
            }
            const QString id = attributeOf(up, "id");
            if (const QString stem = idStem(up); !stem.isEmpty() && !exampleStems.contains(stem))
                tests << QStringLiteral("starts-with(@id, %1)").arg(literal(stem));
            else if (stem.isEmpty() && !id.isEmpty() && !exampleIds.contains(id))
                tests << QStringLiteral("@id=%1").arg(literal(id));
            for (const QString &test : dataTests(up)) {
                if (test.contains(u'=') && !exampleDataTests.contains(test)
                    && !digit.match(test).hasMatch())
                    tests << test;
            }
            for (const QString &test : std::as_const(tests)) {
                if (!marks.contains(test))
                    marks << test;
            }
        }
    }
    // Mark by mark, the one leaving out most of the unwanted links that remain and keeping every
    // example; the text is the last resort.
    QString narrower = query;
    while (!unwanted.isEmpty()) {
        QString best;
        QList<xmlNode *> bestLinks;
        qsizetype bestDropped = 0;
        for (const QString &mark : std::as_const(marks)) {
            const QString candidate
                = QStringLiteral("%1[not(ancestor::*[%2])]").arg(narrower, mark);
            const QList<xmlNode *> links = evaluate.nodes(candidate);
            if (!containsAll(links, examples))
                continue;
            const qsizetype dropped
                = std::count_if(unwanted.cbegin(), unwanted.cend(),
                                [&](xmlNode *u) { return !contains(links, u); });
            if (dropped > bestDropped) {
                best = candidate;
                bestLinks = links;
                bestDropped = dropped;
            }
        }
        if (best.isNull())
            break;
        narrower = best;
        unwanted.removeIf([&](xmlNode *node) { return !contains(bestLinks, node); });
    }
    for (xmlNode *node : std::as_const(unwanted))
        narrower += QStringLiteral("[normalize-space(.)!=%1]").arg(literal(textOf(node)));
    return narrower;
}

} // namespace

RuleDerivation::Result RuleDerivation::deriveResults(const QByteArray &page, const QString &url,
                                                     const QStringList &examples,
                                                     const QStringList &exclusions)
{
    return deriveResults(page, url, QList<Example>(examples.cbegin(), examples.cend()),
                         QList<Example>(exclusions.cbegin(), exclusions.cend()));
}

RuleDerivation::Result RuleDerivation::deriveResults(const QByteArray &page, const QString &url,
                                                     const QList<Example> &examples,
                                                     const QList<Example> &exclusions)
{
    return DerivationEvaluator::onPage(
        page, [&](const TFHpple &parsed, DerivationEvaluator &evaluate) {
            Result result;
            QList<xmlNode *> exampleLinks;
            for (const Example &example : examples) {
                const QList<xmlNode *> found = linksPointed(evaluate, example, url);
                if (found.isEmpty()) {
                    result.error = tr("No link on the page says “%1”: click the link of a listing.")
                                       .arg(simplified(example.name));
                    return result;
                }
                exampleLinks.append(found.first());
            }
            if (exampleLinks.isEmpty()) {
                result.error = tr("Click the link of one listing first.");
                return result;
            }
            QList<xmlNode *> excludedLinks;
            for (const Example &exclusion : exclusions)
                excludedLinks += linksPointed(evaluate, exclusion, url);

            // A link that names what it is (data-testid="listing-link") is its own rule; otherwise
            // the repeating element around the first example, from the closest ancestor up.
            std::optional<Candidate> chosen;
            xmlNode *first = exampleLinks.first();
            for (const QString &test : dataTests(first)) {
                if (!test.contains(u'='))
                    continue;
                const QString query = QStringLiteral("//a[%1][@href]").arg(test);
                const QList<xmlNode *> links = evaluate.nodes(query);
                if (links.size() >= 2 && containsAll(links, exampleLinks)) {
                    chosen = Candidate{ query, links, links.size() };
                    break;
                }
            }
            // At each level up, the most telling test of the element that repeats, with the link
            // rule finding most listings around it; of all levels, the one finding most listings,
            // the closest of equals. An element known by its tag alone is taken only when nothing
            // else repeats.
            std::optional<Candidate> byTagOnly;
            int level = 0;
            for (xmlNode *item : chosen ? QList<xmlNode *>() : ancestorsOf(first)) {
                if (++level > maxLevels || tagOf(item) == u"body" || tagOf(item) == u"html")
                    break;
                for (const QString &test : identityTests(item, false)) {
                    const QString itemQuery = QStringLiteral("//") + step(tagOf(item), test);
                    std::optional<Candidate> here;
                    for (const QString &linkStep : linkSteps(first, item)) {
                        Candidate candidate;
                        if (acceptable(evaluate, itemQuery, linkStep, exampleLinks, url, candidate)
                            && candidate.beats(here))
                            here = candidate;
                    }
                    if (!here)
                        continue;
                    std::optional<Candidate> &best = test.isEmpty() ? byTagOnly : chosen;
                    if (here->beats(best))
                        best = here;
                    break;
                }
            }
            if (!chosen)
                chosen = byTagOnly;
            if (!chosen) {
                result.error = exampleLinks.size() > 1
                    ? tr("These links do not repeat one structure of the page: click two listings "
                         "of "
                         "the same list.")
                    : tr("Nothing around this link repeats for other listings: this page may have "
                         "one "
                         "listing only, or its listings are not links.");
                return result;
            }

            // Links that repeat the address of another are a second box of the same listings: of
            // each such group, the links farther from the examples' list than the nearest one go.
            QString query = chosen->query;
            const QList<xmlNode *> exampleChain = ancestorsOf(first);
            const auto closeness = [&](xmlNode *link) {
                for (xmlNode *up = link; isElement(up); up = up->parent) {
                    if (const qsizetype at = exampleChain.indexOf(up); at >= 0)
                        return exampleChain.size() - at;
                }
                return qsizetype(0);
            };
            QHash<QString, QList<xmlNode *>> byAddress;
            for (xmlNode *link : chosen->links)
                byAddress[resolved(link, "href", url)].append(link);
            QList<xmlNode *> repeats;
            for (const QList<xmlNode *> &same : std::as_const(byAddress)) {
                if (same.size() < 2)
                    continue;
                qsizetype nearest = 0;
                for (xmlNode *link : same)
                    nearest = std::max(nearest, closeness(link));
                for (xmlNode *link : same) {
                    if (!contains(exampleLinks, link) && closeness(link) < nearest)
                        repeats.append(link);
                }
            }
            // A box of promoted listings above the results is left out as the user leaves it out,
            // unless the user's example is in it.
            query = leaveOut(evaluate, query,
                             repeats + promoted(chosen->links, exampleLinks) + excludedLinks,
                             exampleLinks);

            ZestoScrapeSetting rules;
            rules.setRegex(addressPattern(url, PageKind::Results));
            rules.setLink(query);
            rules.setLink_extract(QStringLiteral("href"));
            // A next-page link the page names as such.
            if (const Result next = NextLinkDerivation::fromPage(evaluate, url);
                next.error.isNull()) {
                rules.setNext(next.rules.next());
                rules.setNext_extract(next.rules.next_extract());
                rules.setRegex(addressPattern(url, PageKind::Results, next.values.value(0)));
            }

            const ResultsPage scraped = ResultsPage::scrape(parsed, url, rules);
            qCDebug(lcDerivation) << "link rule" << rules.link() << scraped.links.size() << "links";
            for (const ResultsPage::Link &link : scraped.links) {
                if (!link.url.isNull() && !result.values.contains(link.url))
                    result.values.append(link.url);
            }
            if (result.values.size() < 2) {
                result.error = tr("The rule found fewer than two listings on this page.");
                return result;
            }
            result.count = int(result.values.size());
            result.rules = rules;
            return result;
        });
}
