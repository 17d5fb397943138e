#include "query/xpathquery.h"

#include "platform/utf8.h"

#include <QByteArrayView>
#include <QStringDecoder>

#include <libxml/HTMLparser.h>
#include <libxml/parser.h>
#include <libxml/xpath.h>

#include <limits>
#include <mutex>

namespace {

// Subtrees deeper than this are cut off: a crafted page must not exhaust the stack.
constexpr int maxDepth = 1024;

void initLibxml()
{
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
}

void ignoreStructuredError(void *, xmlErrorPtr) { }

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

// Only these node types are laid out as xmlNode with a content field; the others (documents,
// DTDs, declarations, attributes, namespaces) are other structures.
bool carriesContent(xmlElementType type)
{
    switch (type) {
    case XML_ELEMENT_NODE:
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

std::shared_ptr<NodeDictionary> dictionaryForNode(xmlNode *node, QString *parentContent,
                                                  bool hasParent, bool contentToParent, int depth)
{
    if (!node || node->type == XML_NAMESPACE_DECL || depth > maxDepth)
        return nullptr;

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
                                                           true, true, depth + 1);
            }
            if (!entry.isEmpty())
                dictionary->nodeAttributeArray.append(std::move(entry));
        }
    }

    if (hasWalkableChildren(node->type)) {
        for (xmlNode *child = node->children; child; child = child->next) {
            if (auto childDictionary
                = dictionaryForNode(child, &dictionary->nodeContent, true, false, depth + 1)) {
                dictionary->nodeChildArray.append(std::move(childDictionary));
            }
        }
    }
    return dictionary;
}

bool declaresEncoding(const QByteArray &document)
{
    if (document.startsWith("\xEF\xBB\xBF") || document.startsWith("\xFE\xFF")
        || document.startsWith("\xFF\xFE")) {
        return true;
    }
    // Declarations live in the head; look no further than its end (or the first 64 KiB).
    QByteArrayView head(document);
    head = head.first(qMin<qsizetype>(head.size(), 64 * 1024));
    const QByteArray lower = head.toByteArray().toLower();
    const qsizetype headEnd = lower.indexOf("</head");
    const QByteArrayView scan
        = headEnd >= 0 ? QByteArrayView(lower).first(headEnd) : QByteArrayView(lower);
    if (scan.indexOf("<?xml") >= 0 && scan.indexOf("encoding") >= 0)
        return true;
    qsizetype at = 0;
    while ((at = scan.indexOf("charset", at)) >= 0) {
        at += 7;
        while (at < scan.size() && (scan[at] == ' ' || scan[at] == '\t'))
            ++at;
        if (at < scan.size() && scan[at] == '=')
            return true;
    }
    return false;
}

} // namespace

QByteArray undeclaredHtmlEncoding(const QByteArray &document)
{
    if (declaresEncoding(document))
        return {};
    return isValidUtf8(document) ? QByteArrayLiteral("UTF-8") : QByteArray();
}

std::shared_ptr<NodeDictionary> DictionaryForNode(xmlNode *node, NodeDictionary *parentDictionary,
                                                  bool contentToParent)
{
    return dictionaryForNode(node, parentDictionary ? &parentDictionary->nodeContent : nullptr,
                             parentDictionary != nullptr, contentToParent, 0);
}

std::optional<NodeList> PerformXPathQuery(xmlDoc *document, const QString &query)
{
    xmlXPathContextPtr context = xmlXPathNewContext(document);
    if (!context)
        return std::nullopt;
    context->error = ignoreStructuredError;

    const QByteArray expression = query.toUtf8();
    xmlXPathObjectPtr result = xmlXPathEvalExpression(
        reinterpret_cast<const xmlChar *>(expression.constData()), context);
    if (!result) {
        xmlXPathFreeContext(context);
        return std::nullopt;
    }
    if (result->type != XPATH_NODESET) {
        xmlXPathFreeObject(result);
        xmlXPathFreeContext(context);
        return std::nullopt;
    }

    NodeList list;
    if (xmlNodeSetPtr nodes = result->nodesetval) {
        for (int i = 0; i < nodes->nodeNr; ++i) {
            if (auto dictionary = DictionaryForNode(nodes->nodeTab[i], nullptr, false))
                list.append(std::move(dictionary));
        }
    }
    xmlXPathFreeObject(result);
    xmlXPathFreeContext(context);
    return list;
}

std::optional<NodeList> PerformHTMLXPathQuery(const QByteArray &document, const QString &query)
{
    initLibxml();
    if (document.size() > std::numeric_limits<int>::max())
        return std::nullopt;
    const QByteArray encoding = undeclaredHtmlEncoding(document);
    htmlDocPtr doc = htmlReadMemory(document.constData(), int(document.size()), "",
                                    encoding.isEmpty() ? nullptr : encoding.constData(),
                                    HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING);
    if (!doc)
        return std::nullopt;
    std::optional<NodeList> list = PerformXPathQuery(doc, query);
    xmlFreeDoc(doc);
    return list;
}

std::optional<NodeList> PerformXMLXPathQuery(const QByteArray &document, const QString &query)
{
    initLibxml();
    if (document.size() > std::numeric_limits<int>::max())
        return std::nullopt;
    xmlDocPtr doc
        = xmlReadMemory(document.constData(), int(document.size()), "", nullptr, XML_PARSE_RECOVER);
    if (!doc)
        return std::nullopt;
    std::optional<NodeList> list = PerformXPathQuery(doc, query);
    xmlFreeDoc(doc);
    return list;
}
