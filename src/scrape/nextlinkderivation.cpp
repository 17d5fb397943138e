#include "scrape/nextlinkderivation.h"

#include "query/parseddocument.h"
#include "query/xpathliteral.h"
#include "scrape/derivationevaluator.h"
#include "scrape/derivationmarkup.h"

#include <QRegularExpression>

#include <algorithm>

using namespace DerivationMarkup;

namespace {

// Whether a link's text, title or label says it leads to the next page: the word in the
// languages of classified sites in Europe and the Americas, with or without arrows, or arrows
// alone.
bool saysNext(const QString &text)
{
    static const QRegularExpression arrows(QStringLiteral("^[\\s>›»→]+$"));
    static const QRegularExpression edges(QStringLiteral("^[^\\p{L}]+|[^\\p{L}]+$"));
    static const QStringList words{
        QStringLiteral("next"),
        QStringLiteral("next page"),
        QStringLiteral("suivant"),
        QStringLiteral("suivante"),
        QStringLiteral("page suivante"),
        QStringLiteral("weiter"),
        QStringLiteral("nächste"),
        QStringLiteral("nächste seite"),
        QStringLiteral("siguiente"),
        QStringLiteral("página siguiente"),
        QStringLiteral("próxima"),
        QStringLiteral("próximo"),
        QStringLiteral("próxima página"),
        QStringLiteral("seguinte"),
        QStringLiteral("următoarele"),
        QStringLiteral("următoarea"),
        QStringLiteral("înainte"),
        QStringLiteral("volgende"),
        QStringLiteral("successiva"),
        QStringLiteral("successivo"),
        QStringLiteral("pagina successiva"),
        QStringLiteral("avanti"),
        QStringLiteral("następna"),
        QStringLiteral("dalej"),
        QStringLiteral("nästa"),
        QStringLiteral("neste"),
        QStringLiteral("næste"),
        QStringLiteral("seuraava"),
        QStringLiteral("další"),
        QStringLiteral("következő"),
        QStringLiteral("sonraki"),
    };
    if (text.isEmpty())
        return false;
    if (arrows.match(text).hasMatch())
        return true;
    return words.contains(QString(text).remove(edges).toLower());
}

bool hasRelNext(xmlNode *link)
{
    return attributeOf(link, "rel").split(u' ', Qt::SkipEmptyParts).contains(u"next");
}

// How surely the link says by its role that it leads to the next page: rel="next" most, then
// a text, title or label that says so, then an id or class with the word next (not one that
// names the previous page too, as "prevNextLink" does); 0 when nothing says so.
int nextMark(xmlNode *link)
{
    if (hasRelNext(link))
        return 3;
    if (saysNext(textOf(link)) || saysNext(attributeOf(link, "title"))
        || saysNext(attributeOf(link, "aria-label")))
        return 2;
    QStringList words = wordsOf(attributeOf(link, "id"));
    for (const QString &token : classTokens(link))
        words += wordsOf(token);
    const bool previousToo
        = words.contains(u"prev") || words.contains(u"previous") || words.contains(u"back");
    return words.contains(u"next") && !previousToo ? 1 : 0;
}

// The marks of a link that leads nowhere on this page: it or what holds it is disabled or
// hidden, as a last page shows its next link.
const QString &inactive()
{
    static const QString test
        = QStringLiteral("@aria-disabled='true' or @hidden or contains(translate(@style, ' ', ''), "
                         "'display:none')"
                         " or %1 or %2 or %3 or %4 or %5")
              .arg(tokenTest(QStringLiteral("disabled")), tokenTest(QStringLiteral("is-disabled")),
                   tokenTest(QStringLiteral("hidden")), tokenTest(QStringLiteral("lastpage")),
                   tokenTest(QStringLiteral("last-page")));
    return test;
}

QString active(const QString &query)
{
    return QStringLiteral("%1[not(ancestor-or-self::*[%2])]").arg(query, inactive());
}

// The next-page link rules that find link: by rel="next", its id, its tokens, its parent's,
// its text.
QStringList nextQueries(xmlNode *link)
{
    QStringList queries;
    if (hasRelNext(link))
        queries << QStringLiteral("//a[contains(concat(' ', normalize-space(@rel), ' '), ' next ')]"
                                  "[@href]");
    if (const QString id = attributeOf(link, "id"); !id.isEmpty())
        queries << QStringLiteral("//a[@id=%1][@href]").arg(literal(id));
    for (const QString &token : classTokens(link))
        queries << QStringLiteral("//a[%1][@href]").arg(tokenTest(token));
    xmlNode *parent = link->parent;
    if (isElement(parent)) {
        for (const QString &test : identityTests(parent, true)) {
            if (!test.isEmpty())
                queries << QStringLiteral("//%1/a[@href]").arg(step(tagOf(parent), test));
        }
    }
    if (const QString title = attributeOf(link, "title"); !title.isEmpty())
        queries << QStringLiteral("//a[@title=%1][@href]").arg(literal(title));
    if (const QString label = attributeOf(link, "aria-label"); !label.isEmpty())
        queries << QStringLiteral("//a[@aria-label=%1][@href]").arg(literal(label));
    // XPath's normalize-space() keeps no-break spaces ("Suivante&nbsp;&gt;"): they are made
    // plain first.
    if (const QString text = textOf(link); !text.isEmpty())
        queries << QStringLiteral("//a[normalize-space(translate(., '\u00A0', ' '))=%1][@href]")
                       .arg(literal(text));
    return queries;
}

// The rule that finds link as the page's next link (its last match leads where link leads),
// left blind to links marked inactive, as the last page of many sites keeps its next link
// but hides it.
RuleDerivation::Result ruleFor(DerivationEvaluator &evaluate, const QString &url, xmlNode *link)
{
    RuleDerivation::Result result;
    const QString target = resolved(link, "href", url);
    const bool shown = evaluate.nodes(active(QStringLiteral("self::*")), link).size() == 1;
    for (const QString &query : nextQueries(link)) {
        const QList<xmlNode *> nodes = evaluate.nodes(query);
        if (nodes.isEmpty() || resolved(nodes.last(), "href", url) != target)
            continue;
        const QString guarded = active(query);
        const QList<xmlNode *> shownLinks = evaluate.nodes(guarded);
        // A rule that now finds another link than the one meant would lead elsewhere.
        if (!shownLinks.isEmpty() && resolved(shownLinks.last(), "href", url) != target)
            continue;
        result.rules.setNext(guarded);
        result.rules.setNext_extract(QStringLiteral("href"));
        if (shown)
            result.values = { target };
        result.count = int(result.values.size());
        return result;
    }
    result.error = tr("That link cannot be told from the others of the page.");
    return result;
}

// The link after the current page's number, in a row of numbered page links: the rule takes
// the first numbered link that follows the element marking the current page.
RuleDerivation::Result afterCurrentNumber(DerivationEvaluator &evaluate, const QString &url)
{
    RuleDerivation::Result result;
    static const QStringList currentTokens{ QStringLiteral("current"), QStringLiteral("active"),
                                            QStringLiteral("selected"),
                                            QStringLiteral("is-current"),
                                            QStringLiteral("is-active") };
    QStringList markers{ QStringLiteral("*[@aria-current='page']") };
    for (const QString &token : currentTokens)
        markers << QStringLiteral("*[%1]").arg(tokenTest(token));
    const QString numbered = QStringLiteral("following::a[@href][normalize-space(.)!='']"
                                            "[translate(normalize-space(.), '0123456789', '')='']");
    for (const QString &marker : std::as_const(markers)) {
        for (xmlNode *current : evaluate.nodes(QStringLiteral("//") + marker)) {
            bool isNumber = false;
            const int page = textOf(current).toInt(&isNumber);
            if (!isNumber)
                continue;
            const QString query = QStringLiteral("(//%1/%2)[1]").arg(marker, numbered);
            const QList<xmlNode *> next = evaluate.nodes(query);
            if (next.size() != 1 || textOf(next.first()).toInt() != page + 1)
                continue;
            result.rules.setNext(query);
            result.rules.setNext_extract(QStringLiteral("href"));
            result.values = { resolved(next.first(), "href", url) };
            result.count = 1;
            return result;
        }
    }
    result.error = tr("No link on the page leads to its next page.");
    return result;
}

} // namespace

RuleDerivation::Result NextLinkDerivation::fromExample(DerivationEvaluator &evaluate,
                                                       const QString &url,
                                                       const RuleDerivation::Example &next)
{
    const QList<xmlNode *> found = linksPointed(evaluate, next, url);
    if (found.isEmpty()) {
        RuleDerivation::Result result;
        result.error = tr("No link on the page says “%1”.").arg(simplified(next.name));
        return result;
    }
    return ruleFor(evaluate, url, found.last());
}

RuleDerivation::Result NextLinkDerivation::fromPage(DerivationEvaluator &evaluate,
                                                    const QString &url)
{
    // The links that say most surely that they lead to the next page, in page order; a link
    // shown before one the page keeps hidden (the last page's).
    QList<std::pair<int, xmlNode *>> marked;
    for (xmlNode *link : evaluate.nodes(QStringLiteral("//a[@href]"))) {
        // A link within the page (#gallery) or a script's is no page of results.
        const QString href = attributeOf(link, "href").trimmed();
        if (href.startsWith(u'#') || href.startsWith(u"javascript:", Qt::CaseInsensitive)
            || resolved(link, "href", url).isNull())
            continue;
        if (const int mark = nextMark(link); mark > 0)
            marked.append({ mark, link });
    }
    std::stable_sort(marked.begin(), marked.end(),
                     [](const auto &a, const auto &b) { return a.first > b.first; });
    xmlNode *hidden = nullptr;
    for (const auto &[mark, link] : std::as_const(marked)) {
        if (evaluate.nodes(active(QStringLiteral("self::*")), link).isEmpty()) {
            if (!hidden)
                hidden = link;
            continue;
        }
        if (RuleDerivation::Result rule = ruleFor(evaluate, url, link); rule.error.isNull())
            return rule;
    }
    if (hidden)
        return ruleFor(evaluate, url, hidden);
    return afterCurrentNumber(evaluate, url);
}

RuleDerivation::Result RuleDerivation::deriveNext(const QByteArray &page, const QString &url,
                                                  const Example &next)
{
    const ParsedDocument document = ParsedDocument::html(page);
    DerivationEvaluator evaluate(document);
    return evaluate.settle([&] { return NextLinkDerivation::fromExample(evaluate, url, next); });
}
