#include "scrape/derivationmarkup.h"

#include "query/elementpath.h"
#include "query/xpathliteral.h"
#include "scrape/derivationevaluator.h"
#include "scrape/nsurlutils.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>

Q_LOGGING_CATEGORY(lcDerivation, "listoro.scrape.derivation", QtWarningMsg)

namespace DerivationMarkup {

QString tr(const char *text)
{
    return QCoreApplication::translate("RuleDerivation", text);
}

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

// The words of a class, id or label: split at dashes, underscores, spaces and lower-to-upper
// case turns (pagination-next, nextPage, pager__next), lower case.
QStringList wordsOf(const QString &text)
{
    static const QRegularExpression turn(QStringLiteral("(?<=\\p{Ll})(?=\\p{Lu})"));
    static const QRegularExpression separators(QStringLiteral("[-_\\s]+"));
    QString spaced = text;
    spaced.replace(turn, QStringLiteral(" "));
    return spaced.toLower().split(separators, Qt::SkipEmptyParts);
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
    // Microdata's type (schema.org/Offer) says what a listing's element is.
    if (const QString type = attributeOf(node, "itemtype"); !type.isEmpty())
        tests << QStringLiteral("@itemtype=%1").arg(literal(type));
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

QString resolved(xmlNode *link, const char *attribute, const QString &url)
{
    return NSUrlUtils::fixUrl(attributeOf(link, attribute), url);
}

// The links a user names: by their address when the name is one (the href as written, or what
// it resolves to), else those whose text is the name, or else contains it.
QList<xmlNode *> linksNamed(DerivationEvaluator &evaluate, const QString &name, const QString &url)
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
xmlNode *pointedAt(DerivationEvaluator &evaluate, const RuleDerivation::Example &example,
                   const char *tag)
{
    xmlNode *node
        = example.path.isEmpty() ? nullptr : ElementPath::find(evaluate.document(), example.path);
    return node && (!tag || tagOf(node) == QLatin1String(tag)) ? node : nullptr;
}

// The link the example points at when its name describes it, else the links its name finds.
QList<xmlNode *> linksPointed(DerivationEvaluator &evaluate, const RuleDerivation::Example &example,
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

} // namespace DerivationMarkup
