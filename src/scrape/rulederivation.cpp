#include "scrape/rulederivation.h"

#include "platform/regularexpression.h"
#include "query/elementpath.h"
#include "query/parseddocument.h"
#include "query/tfhpple.h"
#include "query/xpathevaluation.h"
#include "query/xpathliteral.h"
#include "scrape/listingpage.h"
#include "scrape/nsurlutils.h"
#include "scrape/resultspage.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

#include <libxml/xpath.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <limits>

Q_LOGGING_CATEGORY(lcDerivation, "listoro.scrape.derivation", QtWarningMsg)

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("RuleDerivation", text);
}

// How far above the clicked element the repeating element is looked for.
constexpr int maxLevels = 8;

QString simplified(const QString &text)
{
    return text.simplified();
}

QString textOf(xmlNode *node)
{
    xmlChar *content = xmlNodeGetContent(node);
    QString text = QString::fromUtf8(reinterpret_cast<const char *>(content)).simplified();
    xmlFree(content);
    return text;
}

QString attributeOf(xmlNode *node, const char *name)
{
    xmlChar *value = xmlGetProp(node, reinterpret_cast<const xmlChar *>(name));
    if (!value)
        return {};
    QString text = QString::fromUtf8(reinterpret_cast<const char *>(value)).trimmed();
    xmlFree(value);
    return text;
}

QString tagOf(const xmlNode *node)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(node->name)).toLower();
}

bool isElement(const xmlNode *node)
{
    return node && node->type == XML_ELEMENT_NODE;
}

QStringList classTokens(xmlNode *node)
{
    static const QRegularExpression likeState(
        QStringLiteral("^(active|selected|hover|first|last|odd|even|clearfix|row|col|cf)$"));
    QStringList tokens = attributeOf(node, "class").split(u' ', Qt::SkipEmptyParts);
    // Tokens that say what an element is come before the ones that say how it looks now.
    std::stable_partition(tokens.begin(), tokens.end(),
                          [](const QString &token) { return !likeState.match(token).hasMatch(); });
    return tokens;
}

QString literal(const QString &text)
{
    return XPathLiteral::quoted(text);
}

// Class names a style tool generated (sc-1a2b3c, css-x9y8z7): they change with every build.
bool isGenerated(const QString &token)
{
    static const QRegularExpression generated(
        QStringLiteral("^(sc|css|jsx|emotion|styles?)-|[0-9][0-9a-f]{4,}|^[a-z]{1,3}\\d{2,}$"),
        QRegularExpression::CaseInsensitiveOption);
    return generated.match(token).hasMatch();
}

// The tests by data- attributes: those that name what an element is (data-testid="listing")
// by their value, the others by their presence.
QStringList dataTests(xmlNode *node)
{
    QStringList tests;
    for (xmlAttr *attribute = node->properties; attribute; attribute = attribute->next) {
        const QString name = QString::fromUtf8(reinterpret_cast<const char *>(attribute->name));
        // A name XPath would read as something else is no test.
        if (!name.startsWith(u"data-") || !XPathLiteral::isPlainName(name))
            continue;
        if (name == u"data-testid" || name == u"data-test" || name == u"data-qa"
            || name == u"data-role")
            tests.prepend(QStringLiteral("@%1=%2").arg(
                name, literal(attributeOf(node, name.toUtf8().constData()))));
        else
            tests.append(u'@' + name);
    }
    return tests;
}

QString tokenTest(const QString &token)
{
    return QStringLiteral("contains(concat(' ', normalize-space(@class), ' '), %1)")
        .arg(literal(u' ' + token + u' '));
}

// The tests that say what an element is, most telling first: its class tokens, its data-
// attributes, the stem of a numbered id, and none (the tag alone).
QStringList identityTests(xmlNode *node, bool withId)
{
    QStringList tests;
    QStringList generated;
    for (const QString &token : classTokens(node))
        (isGenerated(token) ? generated : tests) << tokenTest(token);
    tests << dataTests(node);
    if (const QString property = attributeOf(node, "itemprop"); !property.isEmpty())
        tests << QStringLiteral("@itemprop=%1").arg(literal(property));
    tests << generated;
    const QString id = attributeOf(node, "id");
    static const QRegularExpression numbered(QStringLiteral("^(.*?[A-Za-z_-])\\d+$"));
    if (const QRegularExpressionMatch match = numbered.match(id); match.hasMatch())
        tests << QStringLiteral("starts-with(@id, %1)").arg(literal(match.captured(1)));
    else if (withId && !id.isEmpty())
        tests << QStringLiteral("@id=%1").arg(literal(id));
    tests << QString();
    return tests;
}

QString step(const QString &tag, const QString &test)
{
    const QString name = XPathLiteral::element(tag);
    return test.isEmpty() ? name : QStringLiteral("%1[%2]").arg(name, test);
}

// The derivation's queries share one deadline: candidates are tried query by query, and a page
// built to make each of them costly must still give an answer within a few seconds.
class Evaluator
{
public:
    using Clock = XPathWatchdog::Clock;

    explicit Evaluator(const ParsedDocument &document)
        : doc(document.shared())
        , deadline(Clock::now() + RuleDerivation::timeBudget())
    {
    }

    xmlDoc *document() const { return doc.get(); }

    // The nodes query selects from node (the document when null); empty when it fails, and
    // for every query once the deadline has passed.
    QList<xmlNode *> nodes(const QString &query, xmlNode *from = nullptr)
    {
        QList<xmlNode *> found;
        if (!doc || timedOut)
            return found;
        const Clock::duration left = deadline - Clock::now();
        if (left <= Clock::duration::zero()) {
            timedOut = true;
            return found;
        }
        const XPathEvaluation evaluation
            = XPathEvaluation::run(doc, from, query.toUtf8(), 5'000'000, left);
        // A query over its step limit matches nothing; one past the deadline ends the
        // derivation.
        timedOut
            = evaluation.status == XPathEvaluation::Status::Abandoned || Clock::now() >= deadline;
        const xmlXPathObjectPtr result = evaluation.result;
        if (!timedOut && result && result->type == XPATH_NODESET && result->nodesetval) {
            for (int i = 0; i < result->nodesetval->nodeNr; ++i)
                found.append(result->nodesetval->nodeTab[i]);
        }
        return found;
    }

    // What derive gives, or that the page is too costly to learn from once the deadline passed
    // on the way (what was derived by then rests on queries that came back empty).
    RuleDerivation::Result settle(const std::function<RuleDerivation::Result()> &derive)
    {
        RuleDerivation::Result result = derive();
        if (timedOut) {
            qCDebug(lcDerivation) << "derivation over its budget of"
                                  << RuleDerivation::timeBudget().count() << "ms";
            result = {};
            result.error = tr("This page is too irregular to learn from: try another page of the "
                              "site.");
        }
        return result;
    }

private:
    std::shared_ptr<xmlDoc> doc;
    Clock::time_point deadline;
    bool timedOut = false;
};

QString resolved(xmlNode *link, const char *attribute, const QString &url)
{
    return NSUrlUtils::fixUrl(attributeOf(link, attribute), url);
}

// The links a user names: by their address when the name is one (the href as written, or what
// it resolves to), else those whose text is the name, or else contains it.
QList<xmlNode *> linksNamed(Evaluator &evaluate, const QString &name, const QString &url)
{
    const QString wanted = simplified(name);
    QList<xmlNode *> exact;
    QList<xmlNode *> containing;
    if (wanted.isEmpty())
        return exact;
    const QList<xmlNode *> links = evaluate.nodes(QStringLiteral("//a[@href]"));
    if (wanted.contains(u'/') && !wanted.contains(u' ')) {
        const QString address = NSUrlUtils::fixUrl(wanted, url);
        for (xmlNode *link : links) {
            if (attributeOf(link, "href") == wanted || resolved(link, "href", url) == address)
                exact.append(link);
        }
        if (!exact.isEmpty())
            return exact;
    }
    for (xmlNode *link : links) {
        const QString own = textOf(link);
        if (own.compare(wanted, Qt::CaseInsensitive) == 0)
            exact.append(link);
        else if (!own.isEmpty()
                 && (own.contains(wanted, Qt::CaseInsensitive)
                     || wanted.contains(own, Qt::CaseInsensitive)))
            containing.append(link);
    }
    return exact.isEmpty() ? containing : exact;
}

// Whether name is one linksNamed() would find link by.
bool describes(xmlNode *link, const QString &name, const QString &url)
{
    const QString wanted = simplified(name);
    if (wanted.contains(u'/') && !wanted.contains(u' ')
        && (attributeOf(link, "href") == wanted
            || resolved(link, "href", url) == NSUrlUtils::fixUrl(wanted, url)))
        return true;
    const QString own = textOf(link);
    return !wanted.isEmpty() && !own.isEmpty()
        && (own.contains(wanted, Qt::CaseInsensitive) || wanted.contains(own, Qt::CaseInsensitive));
}

// The element at the example's path when it is one of tag (any element when empty); null when
// the example has no path or the page has no such element there.
xmlNode *pointedAt(Evaluator &evaluate, const RuleDerivation::Example &example, const char *tag)
{
    xmlNode *node
        = example.path.isEmpty() ? nullptr : ElementPath::find(evaluate.document(), example.path);
    return node && (!tag || tagOf(node) == QLatin1String(tag)) ? node : nullptr;
}

// The link the example points at when its name describes it, else the links its name finds.
QList<xmlNode *> linksPointed(Evaluator &evaluate, const RuleDerivation::Example &example,
                              const QString &url)
{
    if (xmlNode *link = pointedAt(evaluate, example, "a");
        link && (example.name.isEmpty() || describes(link, example.name, url)))
        return { link };
    return linksNamed(evaluate, example.name, url);
}

bool contains(const QList<xmlNode *> &nodes, xmlNode *node)
{
    return std::find(nodes.cbegin(), nodes.cend(), node) != nodes.cend();
}

bool containsAll(const QList<xmlNode *> &nodes, const QList<xmlNode *> &wanted)
{
    return std::all_of(wanted.cbegin(), wanted.cend(),
                       [&nodes](xmlNode *node) { return contains(nodes, node); });
}

QList<xmlNode *> ancestorsOf(xmlNode *node)
{
    QList<xmlNode *> chain;
    for (xmlNode *up = node ? node->parent : nullptr; isElement(up); up = up->parent)
        chain.append(up);
    return chain;
}

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
};

// Whether the query's links are one to a repeating element and take in every example.
bool acceptable(Evaluator &evaluate, const QString &itemQuery, const QString &linkStep,
                const QList<xmlNode *> &examples, Candidate &candidate)
{
    const QList<xmlNode *> items = evaluate.nodes(itemQuery);
    if (items.size() < 2 || items.size() > 5000)
        return false;
    QList<xmlNode *> links;
    int withLink = 0;
    for (xmlNode *item : items) {
        const QList<xmlNode *> inside = evaluate.nodes(linkStep, item);
        if (inside.size() > 1)
            return false;
        if (inside.isEmpty())
            continue;
        ++withLink;
        if (!contains(links, inside.first()))
            links.append(inside.first());
    }
    if (withLink < 2 || !containsAll(links, examples))
        return false;
    candidate = { itemQuery + u'/' + linkStep, links };
    qCDebug(lcDerivation) << "repeating" << candidate.query << links.size() << "links";
    return true;
}

// Leaves out, by a token of theirs the examples' elements lack, the links that repeat another
// link's address (a box of featured listings repeating some of the results) or that the user
// excluded; the query as it was when no such token exists.
QString leaveOut(Evaluator &evaluate, const QString &query, QList<xmlNode *> unwanted,
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
    for (xmlNode *example : examples) {
        for (xmlNode *up : ancestorsOf(example)) {
            for (const QString &token : classTokens(up))
                exampleTokens.insert(token);
            exampleStems.insert(idStem(up));
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
            if (const QString stem = idStem(up); !stem.isEmpty() && !exampleStems.contains(stem))
                tests << QStringLiteral("starts-with(@id, %1)").arg(literal(stem));
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

// The next-page link rules that find link: by rel="next", its tokens, its parent's, its text.
QStringList nextQueries(xmlNode *link)
{
    QStringList queries;
    if (attributeOf(link, "rel").split(u' ').contains(u"next"))
        queries << QStringLiteral("//a[@rel='next'][@href]");
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
    // XPath's normalize-space() keeps no-break spaces ("Suivante&nbsp;&gt;"): they are made
    // plain first.
    queries << QStringLiteral("//a[normalize-space(translate(., '\u00A0', ' '))=%1][@href]")
                   .arg(literal(textOf(link)));
    return queries;
}

bool looksLikePhotoLink(const QString &href)
{
    static const QRegularExpression photo(
        QStringLiteral("\\.(jpe?g|png|gif|webp)(\\?|#|$)|/images?/"),
        QRegularExpression::CaseInsensitiveOption);
    return photo.match(href).hasMatch();
}

// Images that dress the page rather than show the listing: logos, icons, spacers, and whatever
// sits in the page's header, navigation or footer.
bool isDecoration(xmlNode *image)
{
    static const QRegularExpression decorative(
        QStringLiteral("logo|icon|sprite|banner|spacer|pixel|badge|avatar"),
        QRegularExpression::CaseInsensitiveOption);
    for (const char *attribute : { "src", "class", "id", "alt" }) {
        if (decorative.match(attributeOf(image, attribute)).hasMatch())
            return true;
    }
    for (const char *attribute : { "width", "height" }) {
        bool ok = false;
        const int size = attributeOf(image, attribute).toInt(&ok);
        if (ok && size < 48)
            return true;
    }
    for (xmlNode *up : ancestorsOf(image)) {
        const QString tag = tagOf(up);
        if (tag == u"header" || tag == u"nav" || tag == u"footer"
            || decorative.match(attributeOf(up, "class")).hasMatch()
            || decorative.match(attributeOf(up, "id")).hasMatch())
            return true;
    }
    return false;
}

// The lowest element above node that says what it is (an id or a class token) and holds at
// least `least` of what query selects inside it.
xmlNode *galleryAround(Evaluator &evaluate, xmlNode *node, const QString &query, int least)
{
    xmlNode *fallback = nullptr;
    int level = 0;
    for (xmlNode *up : ancestorsOf(node)) {
        if (++level > 6 || tagOf(up) == u"body")
            break;
        if (attributeOf(up, "id").isEmpty() && classTokens(up).isEmpty())
            continue;
        if (!fallback)
            fallback = up;
        if (evaluate.nodes(query, up).size() >= least)
            return up;
    }
    return fallback;
}

QString elementQuery(xmlNode *node)
{
    const QString id = attributeOf(node, "id");
    if (!id.isEmpty())
        return QStringLiteral("//*[@id=%1]").arg(literal(id));
    if (const QString property = attributeOf(node, "itemprop"); !property.isEmpty())
        return QStringLiteral("//%1[@itemprop=%2]")
            .arg(XPathLiteral::element(tagOf(node)), literal(property));
    const QStringList tokens = classTokens(node);
    return QStringLiteral("//%1").arg(
        step(tagOf(node), tokens.isEmpty() ? QString() : tokenTest(tokens.first())));
}

} // namespace

namespace {

// Whether a link's text or title says it leads to the next page: the word in the languages of
// the supported sites, with or without arrows, or arrows alone.
bool saysNext(const QString &text)
{
    static const QRegularExpression arrows(QStringLiteral("^[\\s>›»→]+$"));
    static const QRegularExpression edges(QStringLiteral("^[^\\p{L}]+|[^\\p{L}]+$"));
    static const QStringList words{ QStringLiteral("next"),          QStringLiteral("next page"),
                                    QStringLiteral("suivant"),       QStringLiteral("suivante"),
                                    QStringLiteral("page suivante"), QStringLiteral("weiter"),
                                    QStringLiteral("siguiente") };
    if (text.isEmpty())
        return false;
    if (arrows.match(text).hasMatch())
        return true;
    return words.contains(QString(text).remove(edges).toLower());
}

} // namespace

namespace {

// The part of a pattern that follows the host: the path of url's section, regex-escaped.
QString sectionPattern(const QUrl &address, RuleDerivation::PageKind kind)
{
    const QString fullPath = address.path(QUrl::FullyEncoded);
    const QStringList segments = fullPath.split(u'/', Qt::SkipEmptyParts);
    // The first segment that names one page rather than a section: a number, an id, a file.
    static const QRegularExpression particular(QStringLiteral("\\d|\\.html?$"));
    qsizetype first = 0;
    while (first < segments.size() && !particular.match(segments.at(first)).hasMatch())
        ++first;
    const auto escaped = [](const QString &path) {
        return QRegularExpression::escape(path);
    };
    if (kind == RuleDerivation::PageKind::Results) {
        // A path of section names only is the search itself: its later pages differ in the
        // query, and the listings below it (/section/item-123) do not match. Otherwise the
        // section above the first particular segment (later pages go to .../page-2/...), or a
        // path particular from its start as a prefix (later pages extend it).
        if (first == segments.size())
            return escaped(fullPath.isEmpty() ? QStringLiteral("/") : fullPath)
                + QStringLiteral("(?:[?#]|$)");
        return escaped(first > 0 ? u'/' + segments.mid(0, first).join(u'/') + u'/' : fullPath);
    }
    // A listing's own name (a slug beside its number) is left out too, so that every listing of
    // the section matches; a path particular from its start keeps the short prefix that marks
    // listing pages (c-, v-).
    qsizetype kept = first;
    if (kept > 1 && segments.at(kept - 1).contains(u'-'))
        --kept;
    if (kept > 0)
        return escaped(u'/' + segments.mid(0, kept).join(u'/') + u'/');
    const qsizetype dash = segments.isEmpty() ? -1 : segments.first().indexOf(u'-');
    return escaped(u'/' + (dash > 0 && dash <= 2 ? segments.first().left(dash + 1) : QString()));
}

} // namespace

namespace {
std::atomic<std::chrono::milliseconds::rep> budgetMs{ 4000 };
} // namespace

std::chrono::milliseconds RuleDerivation::timeBudget()
{
    return std::chrono::milliseconds(budgetMs.load());
}

void RuleDerivation::setTimeBudget(std::chrono::milliseconds budget)
{
    budgetMs.store(budget.count());
}

QString RuleDerivation::addressPattern(const QString &url, PageKind kind, const QString &alsoUrl)
{
    const QUrl address(url);
    QString host = QRegularExpression::escape(address.host());
    if (address.port() > 0)
        host += u':' + QString::number(address.port());
    const QString own = sectionPattern(address, kind);
    QString pattern = QStringLiteral("^https?://%1%2").arg(host, own);
    // A later page elsewhere on the same host (/bik/ then /search/bik?s=100) joins the pattern.
    const QUrl also(alsoUrl);
    if (alsoUrl.isEmpty() || also.host() != address.host() || also.port() != address.port()
        || RegularExpression(pattern).hasMatch(alsoUrl))
        return pattern;
    return QStringLiteral("^https?://%1(?:%2|%3)").arg(host, own, sectionPattern(also, kind));
}

namespace {

// The next-page rule from the link nextText names, on a parsed page.
RuleDerivation::Result nextRule(Evaluator &evaluate, const QString &url,
                                const RuleDerivation::Example &next)
{
    RuleDerivation::Result result;
    const QList<xmlNode *> found = linksPointed(evaluate, next, url);
    if (found.isEmpty()) {
        result.error = tr("No link on the page says “%1”.").arg(simplified(next.name));
        return result;
    }
    xmlNode *link = found.last();
    const QString target = resolved(link, "href", url);
    for (const QString &query : nextQueries(link)) {
        const QList<xmlNode *> nodes = evaluate.nodes(query);
        // The page's last match is taken: it must lead where the clicked link leads.
        if (nodes.isEmpty() || resolved(nodes.last(), "href", url) != target)
            continue;
        result.rules.setNext(query);
        result.rules.setNext_extract(QStringLiteral("href"));
        result.values = { target };
        result.count = 1;
        return result;
    }
    result.error = tr("That link cannot be told from the others of the page.");
    return result;
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
    Result result;
    // One parse for the derivation and for the scrapes that try its rules.
    const TFHpple parsed = TFHpple::hppleWithHTMLData(page);
    const ParsedDocument &document = parsed.document();
    if (!document.isValid()) {
        result.error = tr("The page could not be read.");
        return result;
    }
    Evaluator evaluate(document);
    return evaluate.settle([&] {
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

        // A link that names what it is (data-testid="listing-link") is its own rule; otherwise the
        // repeating element around the first example, from the closest ancestor up.
        std::optional<Candidate> chosen;
        xmlNode *first = exampleLinks.first();
        for (const QString &test : dataTests(first)) {
            if (!test.contains(u'='))
                continue;
            const QString query = QStringLiteral("//a[%1][@href]").arg(test);
            const QList<xmlNode *> links = evaluate.nodes(query);
            if (links.size() >= 2 && containsAll(links, exampleLinks)) {
                chosen = Candidate{ query, links };
                break;
            }
        }
        // At each level up, the most telling test of the element that repeats, with the link rule
        // finding most listings around it; of all levels, the one finding most listings, the
        // closest of equals. An element known by its tag alone is taken only when nothing else
        // repeats.
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
                    if (acceptable(evaluate, itemQuery, linkStep, exampleLinks, candidate)
                        && (!here || candidate.links.size() > here->links.size()))
                        here = candidate;
                }
                if (!here)
                    continue;
                std::optional<Candidate> &best = test.isEmpty() ? byTagOnly : chosen;
                if (!best || here->links.size() > best->links.size())
                    best = here;
                break;
            }
        }
        if (!chosen)
            chosen = byTagOnly;
        if (!chosen) {
            result.error = exampleLinks.size() > 1
                ? tr("These links do not repeat one structure of the page: click two listings of "
                     "the same list.")
                : tr("Nothing around this link repeats for other listings: this page may have one "
                     "listing only, or its listings are not links.");
            return result;
        }

        // Links that repeat the address of another are a second box of the same listings: of each
        // such group, the links farther from the examples' list than the nearest one go.
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
        query = leaveOut(evaluate, query, repeats + excludedLinks, exampleLinks);

        ZestoScrapeSetting rules;
        rules.setRegex(addressPattern(url, PageKind::Results));
        rules.setLink(query);
        rules.setLink_extract(QStringLiteral("href"));
        // A next-page link the page names as such.
        for (xmlNode *link : evaluate.nodes(QStringLiteral("//a[@href]"))) {
            const bool named = saysNext(textOf(link)) || saysNext(attributeOf(link, "title"))
                || attributeOf(link, "rel").split(u' ').contains(u"next");
            if (named && !resolved(link, "href", url).isNull()) {
                const Result next = nextRule(evaluate, url, textOf(link));
                if (next.error.isNull()) {
                    rules.setNext(next.rules.next());
                    rules.setNext_extract(next.rules.next_extract());
                    rules.setRegex(addressPattern(url, PageKind::Results, next.values.value(0)));
                }
                break;
            }
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

RuleDerivation::Result RuleDerivation::deriveNext(const QByteArray &page, const QString &url,
                                                  const Example &next)
{
    const ParsedDocument document = ParsedDocument::html(page);
    Evaluator evaluate(document);
    return evaluate.settle([&] { return nextRule(evaluate, url, next); });
}

RuleDerivation::Result RuleDerivation::deriveListing(const QByteArray &page, const QString &url,
                                                     const Example &title, const Example &photo,
                                                     Photos photos)
{
    Result result;
    // One parse for the derivation and for the scrapes that try its rules.
    const TFHpple parsed = TFHpple::hppleWithHTMLData(page);
    const ParsedDocument &document = parsed.document();
    if (!document.isValid()) {
        result.error = tr("The page could not be read.");
        return result;
    }
    Evaluator evaluate(document);
    return evaluate.settle([&] {
        ZestoScrapeSetting rules;
        rules.setRegex(addressPattern(url, PageKind::Listing));

        // The title: the smallest element whose text is the one clicked (or holds it).
        const QString wanted = simplified(title.name);
        // The element clicked when it holds the text; else, of the elements holding it, the one
        // whose text is closest to it, the first of equals.
        xmlNode *titleNode = pointedAt(evaluate, title, nullptr);
        if (titleNode) {
            const QList<xmlNode *> above = ancestorsOf(titleNode);
            const bool shown = tagOf(titleNode) != u"script" && tagOf(titleNode) != u"style"
                && std::any_of(above.cbegin(), above.cend(),
                               [](xmlNode *up) { return tagOf(up) == u"body"; });
            if (!shown || wanted.isEmpty()
                || !textOf(titleNode).contains(wanted, Qt::CaseInsensitive))
                titleNode = nullptr;
        }
        qsizetype closest = std::numeric_limits<qsizetype>::max();
        for (xmlNode *node : titleNode
                 ? QList<xmlNode *>()
                 : evaluate.nodes(QStringLiteral(
                     "//body//*[not(self::script or self::style or ancestor::script)]"))) {
            const QString text = textOf(node);
            if (text.isEmpty() || !text.contains(wanted, Qt::CaseInsensitive))
                continue;
            const qsizetype extra = text.size() - wanted.size();
            // Of equals, the innermost: the heading rather than the box around it.
            if (extra < closest || (extra == closest && ancestorsOf(node).contains(titleNode))) {
                closest = extra;
                titleNode = node;
            }
        }
        if (wanted.isEmpty() || !titleNode) {
            result.error
                = tr("No text on the page says “%1”: click the listing's title.").arg(wanted);
            return result;
        }
        // The element itself, then inside each ancestor that says what it is, then the page's first
        // element of its kind (the first heading).
        const QString own = QStringLiteral("/text()[normalize-space()]");
        const QString tag = XPathLiteral::element(tagOf(titleNode));
        QStringList titleQueries{ elementQuery(titleNode) + own };
        // A heading whose title sits in a child beside other parts (the price): that child.
        QList<xmlNode *> parts = evaluate.nodes(QStringLiteral(".//*[@id or @class]"), titleNode);
        std::stable_sort(parts.begin(), parts.end(), [](xmlNode *a, xmlNode *b) {
            return textOf(a).size() > textOf(b).size();
        });
        for (xmlNode *part : std::as_const(parts)) {
            if (textOf(part).size() * 2 >= wanted.size())
                titleQueries << elementQuery(part) + own;
        }
        int level = 0;
        for (xmlNode *up : ancestorsOf(titleNode)) {
            if (++level > 6 || tagOf(up) == u"body")
                break;
            if (!attributeOf(up, "id").isEmpty() || !classTokens(up).isEmpty())
                titleQueries << elementQuery(up) + QStringLiteral("//") + tag + own;
        }
        titleQueries << QStringLiteral("//%1[not(preceding::%1)]").arg(tag) + own;
        // Text spread over the element's children.
        level = 0;
        for (xmlNode *node = titleNode; isElement(node) && ++level <= 4; node = node->parent)
            titleQueries << elementQuery(node) + QStringLiteral("//text()[normalize-space()]");
        for (const QString &query : std::as_const(titleQueries)) {
            rules.setTitle(query);
            rules.setTitle_extract(QStringLiteral("@content"));
            const QString title = ListingPage::scrape(parsed, url, rules).title.simplified();
            // The whole title, or most of the text given (a title split over elements), or the
            // text given is part of it.
            const bool whole = wanted.contains(title, Qt::CaseInsensitive)
                && title.size() * 2 >= std::min<qsizetype>(wanted.size(), 40);
            if (!title.isEmpty() && (whole || title.contains(wanted, Qt::CaseInsensitive))) {
                result.values = { title };
                break;
            }
            rules.setTitle({});
        }
        if (rules.title().isNull()) {
            result.error = tr("The title cannot be told from the rest of the page.");
            return result;
        }

        // The photos: the gallery of the one clicked, or the page's largest group of photos.
        xmlNode *image = nullptr;
        const QString photoSrc = photo.name;
        if (!photoSrc.isEmpty()) {
            const auto isClicked = [&](xmlNode *node) {
                const QString src = attributeOf(node, "src");
                return src == photoSrc
                    || NSUrlUtils::fixUrl(src, url) == NSUrlUtils::fixUrl(photoSrc, url);
            };
            if (xmlNode *pointed = pointedAt(evaluate, photo, "img"); pointed && isClicked(pointed))
                image = pointed;
            for (xmlNode *node :
                 image ? QList<xmlNode *>() : evaluate.nodes(QStringLiteral("//img[@src]"))) {
                if (isClicked(node)) {
                    image = node;
                    break;
                }
            }
            if (!image) {
                result.error = tr("No photo of the page has that address.");
                return result;
            }
        } else if (photos == Photos::FindThem) {
            int most = 0;
            for (xmlNode *node : evaluate.nodes(QStringLiteral("//body//img[@src]"))) {
                if (!looksLikePhotoLink(attributeOf(node, "src")) || isDecoration(node))
                    continue;
                xmlNode *gallery = galleryAround(evaluate, node, QStringLiteral(".//img[@src]"), 2);
                const int count = gallery
                    ? int(evaluate.nodes(QStringLiteral(".//img[@src]"), gallery).size())
                    : 1;
                if (count > most) {
                    most = count;
                    image = node;
                }
            }
        }
        if (image) {
            // A link to the larger photo, on the image or just above it.
            xmlNode *link = nullptr;
            int up = 0;
            for (xmlNode *node = image->parent; isElement(node) && !link && up < 2;
                 node = node->parent, ++up) {
                if (tagOf(node) == u"a")
                    link = node;
            }
            const QString linksInside = QStringLiteral(".//a[@href][.//img]");
            bool linked = link && looksLikePhotoLink(attributeOf(link, "href"));
            xmlNode *gallery
                = galleryAround(evaluate, linked ? link : image,
                                linked ? linksInside : QStringLiteral(".//img[@src]"), 2);
            // A gallery whose thumbnails link to the larger photos gives them by those links, the
            // large photo on show among them.
            if (!linked && gallery) {
                const QList<xmlNode *> links = evaluate.nodes(linksInside, gallery);
                linked = std::count_if(
                             links.cbegin(), links.cend(),
                             [](xmlNode *l) { return looksLikePhotoLink(attributeOf(l, "href")); })
                    >= 2;
            }
            const QString base = gallery ? elementQuery(gallery) : QString();
            // The lead photo the page names for sharing (og:image), shown on its own beside a
            // gallery of thumbnails, is one of the listing's photos too.
            QStringList sources;
            if (!linked)
                sources << base + QStringLiteral("//img[@src]");
            QStringList shared;
            for (xmlNode *meta : evaluate.nodes(QStringLiteral(
                     "//meta[@property='og:image' or @name='og:image' or @name='twitter:image']"
                     "[@content]")))
                shared << NSUrlUtils::fixUrl(attributeOf(meta, "content"), url);
            for (xmlNode *node : evaluate.nodes(QStringLiteral("//body//img[@src]"))) {
                if ((gallery && ancestorsOf(node).contains(gallery))
                    || !shared.contains(resolved(node, "src", url)))
                    continue;
                xmlNode *frame = galleryAround(evaluate, node, QStringLiteral(".//img[@src]"), 1);
                if (!frame || frame == gallery
                    || evaluate.nodes(QStringLiteral(".//img[@src]"), frame).size() != 1)
                    continue;
                const QString lead = elementQuery(frame) + QStringLiteral("//img[@src]");
                if (!sources.contains(lead))
                    sources.prepend(lead);
            }
            if (linked) {
                rules.setInnerImgsWithHref(base + QStringLiteral("//a[@href][.//img]"));
                rules.setInnerImgsWithHref_extract(QStringLiteral("href"));
            }
            if (!sources.isEmpty()) {
                rules.setInnerImgsWithSrc(sources.join(QStringLiteral(" | ")));
                rules.setInnerImgsWithSrc_extract(QStringLiteral("src"));
            }
        }
        const ListingPage scraped = ListingPage::scrape(parsed, url, rules);
        result.count = int(scraped.photos.size());
        if (!photoSrc.isEmpty() && result.count == 0) {
            result.error = tr("The photo rule found no photos.");
            return result;
        }
        result.rules = rules;
        return result;
    });
}
