#pragma once

#include "scrape/rulederivation.h"

#include <QList>
#include <QLoggingCategory>
#include <QString>
#include <QStringList>

#include <libxml/tree.h>

class DerivationEvaluator;

Q_DECLARE_LOGGING_CATEGORY(lcDerivation)

// What rule derivation reads off a page's markup: elements' text, attributes, class tokens and
// the tests that say what an element is, and the links a user names.
namespace DerivationMarkup {

QString tr(const char *text);

// How far above the clicked element the repeating element is looked for.
inline constexpr int maxLevels = 8;

QString simplified(const QString &text);
// An element's text, simplified.
QString textOf(xmlNode *node);
QString attributeOf(xmlNode *node, const char *name);
// The tag name, lower case.
QString tagOf(const xmlNode *node);
bool isElement(const xmlNode *node);
// The class tokens, those that say what the element is before those that say how it looks now.
QStringList classTokens(xmlNode *node);
// text as an XPath string literal.
QString literal(const QString &text);

// The words of a class, id or label: split at dashes, underscores, spaces and lower-to-upper
// case turns (pagination-next, nextPage, pager__next), lower case.
QStringList wordsOf(const QString &text);
// Class names a style tool generated (sc-1a2b3c, css-x9y8z7): they change with every build.
bool isGenerated(const QString &token);

// The tests by data- attributes: those that name what an element is (data-testid="listing")
// by their value, the others by their presence.
QStringList dataTests(xmlNode *node);

// The XPath test that an element carries the class token.
QString tokenTest(const QString &token);

// The tests that say what an element is, most telling first: its class tokens, its data-
// attributes, the stem of a numbered id, and none (the tag alone).
QStringList identityTests(xmlNode *node, bool withId);

// tag[test], or the tag alone when test is empty.
QString step(const QString &tag, const QString &test);
// The attribute's address, resolved against the page's.
QString resolved(xmlNode *link, const char *attribute, const QString &url);

// The links a user names: by their address when the name is one (the href as written, or what
// it resolves to), else those whose text is the name, or else contains it.
QList<xmlNode *> linksNamed(DerivationEvaluator &evaluate, const QString &name, const QString &url);

// Whether name is one linksNamed() would find link by.
bool describes(xmlNode *link, const QString &name, const QString &url);

// The element at the example's path when it is one of tag (any element when empty); null when
// the example has no path or the page has no such element there.
xmlNode *pointedAt(DerivationEvaluator &evaluate, const RuleDerivation::Example &example,
                   const char *tag);

// The link the example points at when its name describes it, else the links its name finds.
QList<xmlNode *> linksPointed(DerivationEvaluator &evaluate, const RuleDerivation::Example &example,
                              const QString &url);

bool contains(const QList<xmlNode *> &nodes, xmlNode *node);
bool containsAll(const QList<xmlNode *> &nodes, const QList<xmlNode *> &wanted);
// The element's ancestors, nearest first.
QList<xmlNode *> ancestorsOf(xmlNode *node);
// A query for the element by its id, its itemprop or its first class token.
QString elementQuery(xmlNode *node);

} // namespace DerivationMarkup
