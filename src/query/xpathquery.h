#pragma once

#include "query/nodedictionary.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

typedef struct _xmlDoc xmlDoc;
typedef struct _xmlNode xmlNode;

// XPath over HTML or XML held in memory, with libxml2. Every call parses the bytes, copies the
// matched nodes out as NodeDictionary trees and frees the parsed document before it returns.
// Absent (std::nullopt) stands for "no list": unparseable bytes, a malformed expression, a
// result that is not a node set.
using NodeList = QList<std::shared_ptr<const NodeDictionary>>;

std::optional<NodeList> PerformHTMLXPathQuery(const QByteArray &document, const QString &query);
std::optional<NodeList> PerformXMLXPathQuery(const QByteArray &document, const QString &query);
std::optional<NodeList> PerformXPathQuery(xmlDoc *document, const QString &query);

// The dictionary of node and its subtree. With a parent dictionary and contentToParent, a text
// node gives its trimmed text to the parent as "nodeContent" and yields nothing itself.
std::shared_ptr<NodeDictionary> DictionaryForNode(xmlNode *node, NodeDictionary *parentDictionary,
                                                  bool contentToParent);

// The character encoding an HTML page should be read in when it declares none: "UTF-8" when
// its bytes are valid UTF-8, otherwise empty (the parser then detects it as usual).
QByteArray undeclaredHtmlEncoding(const QByteArray &document);
