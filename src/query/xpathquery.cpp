#include "query/xpathquery.h"

#include "query/parseddocument.h"
#include "query/xpathevaluation.h"
#include "query/xpathrewrite.h"

#include <QByteArrayView>
#include <QLoggingCategory>
#include <QStringDecoder>

#include <libxml/xpath.h>

Q_LOGGING_CATEGORY(lcXPath, "listoro.xpath")

namespace {

// Subtrees deeper than this are cut off: a crafted page must not exhaust the stack.
constexpr int maxDepth = 1024;

// libxml2's UTF-8 text, or a null string when it does not decode.
QString decode(const xmlChar *text)
{
    if (!text)
        return {};
    const QByteArrayView bytes(reinterpret_cast<const char *>(text));
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString decoded = decoder.decode(bytes);
    if (decoder.hasError())
        return {};
    if (decoded.isNull())
        decoded = QStringLiteral(""); // present but empty
    return decoded;
}

bool hasContent(const xmlChar *content)
{
    return content != nullptr && reinterpret_cast<quintptr>(content) != ~quintptr(0);
}

// Only these node types are laid out as xmlNode with a content field that holds text; the
// others (documents, DTDs, declarations, attributes, namespaces) are other structures, and an
// element's field holds its place in document order (ParsedDocument numbers them).
bool carriesContent(xmlElementType type)
{
    switch (type) {
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_ENTITY_REF_NODE:
    case XML_PI_NODE:
    case XML_COMMENT_NODE:
        return true;
    default:
        return false;
    }
}

bool hasWalkableChildren(xmlElementType type)
{
    switch (type) {
    case XML_ELEMENT_NODE:
    case XML_ATTRIBUTE_NODE:
    case XML_DOCUMENT_NODE:
    case XML_HTML_DOCUMENT_NODE:
    case XML_DOCUMENT_FRAG_NODE:
        return true;
    default:
        return false;
    }
}

// What one query may still copy out; shared by the subtrees of all its matched nodes.
struct Budget
{
    int left = maxConvertedNodes;
    bool cut = false;
};

std::shared_ptr<NodeDictionary> dictionaryForNode(xmlNode *node, QString *parentContent,
                                                  bool hasParent, bool contentToParent, int depth,
                                                  Budget &budget, bool shallow)
{
    if (!node || node->type == XML_NAMESPACE_DECL)
        return nullptr;
    if (depth > maxDepth) {
        budget.cut = true;
        return nullptr;
    }
    --budget.left;

    auto dictionary = std::make_shared<NodeDictionary>();
    if (node->name)
        dictionary->nodeName = decode(node->name);

    if (carriesContent(node->type) && hasContent(node->content)) {
        const QString text = decode(node->content);
        if (dictionary->nodeName == u"text" && hasParent) {
            if (contentToParent) {
                if (!text.isNull() && parentContent)
                    *parentContent = text.trimmed();
                return nullptr;
            }
            if (text.isNull())
                return nullptr;
            dictionary->nodeContent = text;
            return dictionary;
        }
        if (!text.isNull())
            dictionary->nodeContent = text;
    }

    if (node->type == XML_ELEMENT_NODE) {
        for (xmlAttr *attribute = node->properties; attribute; attribute = attribute->next) {
            AttributeDictionary entry;
            if (attribute->name)
                entry.attributeName = decode(attribute->name);
            if (attribute->children) {
                entry.attributeContent = dictionaryForNode(attribute->children, &entry.nodeContent,
                                                           true, true, depth + 1, budget, true);
            }
            if (!entry.isEmpty())
                dictionary->nodeAttributeArray.append(std::move(entry));
        }
    }

    if (hasWalkableChildren(node->type) && !shallow) {
        for (xmlNode *child = node->children; child; child = child->next) {
            if (budget.left <= 0) {
                // Out of budget: the node keeps its first child, which "@content" rules read,
                // and nothing below it.
                budget.cut = true;
                if (dictionary->nodeChildArray.isEmpty()) {
                    if (auto first = dictionaryForNode(child, &dictionary->nodeContent, true, false,
                                                       depth + 1, budget, true)) {
                        dictionary->nodeChildArray.append(std::move(first));
                    }
                }
                break;
            }
            if (auto childDictionary = dictionaryForNode(child, &dictionary->nodeContent, true,
                                                         false, depth + 1, budget, false)) {
                dictionary->nodeChildArray.append(std::move(childDictionary));
            }
        }
    }
    return dictionary;
}

} // namespace

std::shared_ptr<NodeDictionary> DictionaryForNode(xmlNode *node, NodeDictionary *parentDictionary,
                                                  bool contentToParent)
{
    Budget budget;
    return dictionaryForNode(node, parentDictionary ? &parentDictionary->nodeContent : nullptr,
                             parentDictionary != nullptr, contentToParent, 0, budget, false);
}

std::optional<NodeList> PerformXPathQuery(const std::shared_ptr<xmlDoc> &document,
                                          const QString &query, QueryOutcome *outcome)
{
    QueryOutcome local;
    QueryOutcome &report = outcome ? *outcome : local;
    report = QueryOutcome();
    if (!document) {
        report.status = QueryOutcome::Status::NoDocument;
        return std::nullopt;
    }
    XPathEvaluation evaluation
        = XPathEvaluation::run(document, nullptr, XPathRewrite::withDescendantSteps(query.toUtf8()),
                               maxXPathOperations, maxXPathTime);
    if (evaluation.status != XPathEvaluation::Status::Done) {
        qCDebug(lcXPath) << "query over its budget of" << maxXPathOperations << "steps or"
                         << maxXPathTime.count() << "ms, taken as matching nothing:" << query;
        report.status = QueryOutcome::Status::OverBudget;
        report.abandoned = evaluation.status == XPathEvaluation::Status::Abandoned;
        return NodeList();
    }
    const xmlXPathObjectPtr result = evaluation.result;
    if (!result) {
        report.status = QueryOutcome::Status::Malformed;
        return std::nullopt;
    }
    if (result->type != XPATH_NODESET) {
        report.status = QueryOutcome::Status::NotANodeSet;
        return std::nullopt;
    }

    NodeList list;
    xmlNodeSetPtr nodes = result->nodesetval;
    report.matchedNodes = nodes ? nodes->nodeNr : 0;
    if (report.matchedNodes > maxMatchedNodes) {
        qCDebug(lcXPath) << "query matched" << report.matchedNodes << "nodes, more than"
                         << maxMatchedNodes << "; taken as matching nothing:" << query;
        report.status = QueryOutcome::Status::OverBudget;
    } else if (nodes) {
        Budget budget;
        list.reserve(nodes->nodeNr);
        for (int i = 0; i < nodes->nodeNr; ++i) {
            if (auto dictionary
                = dictionaryForNode(nodes->nodeTab[i], nullptr, false, false, 0, budget, false)) {
                list.append(std::move(dictionary));
            }
        }
        report.cut = budget.cut;
        if (budget.cut) {
            qCDebug(lcXPath) << "query's subtrees cut at" << maxConvertedNodes << "nodes:" << query;
        }
    }
    return list;
}

std::optional<NodeList> PerformHTMLXPathQuery(const QByteArray &document, const QString &query)
{
    const ParsedDocument parsed = ParsedDocument::html(document);
    if (!parsed.isValid())
        return std::nullopt;
    return parsed.query(query);
}

std::optional<NodeList> PerformXMLXPathQuery(const QByteArray &document, const QString &query)
{
    const ParsedDocument parsed = ParsedDocument::xml(document);
    if (!parsed.isValid())
        return std::nullopt;
    return parsed.query(query);
}
