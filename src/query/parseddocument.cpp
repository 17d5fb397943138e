#include "query/parseddocument.h"

#include "query/embeddedjson.h"
#include "query/htmlencoding.h"

#include <libxml/HTMLparser.h>
#include <libxml/parser.h>
#include <libxml/xpath.h>

#include <limits>
#include <mutex>

namespace {

void initLibxml()
{
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
}

bool fitsLibxml(const QByteArray &bytes)
{
    return bytes.size() <= std::numeric_limits<int>::max();
}

} // namespace

ParsedDocument::ParsedDocument(xmlDoc *parsed)
    : document(parsed, xmlFreeDoc)
{
    numberElements(parsed);
}

// Stores each element's place in document order in the element, where libxml2 looks for it when
// it sorts or merges node sets; without it every comparison walks the tree, which costs the
// number of siblings on a page of thousands of rows.
void ParsedDocument::numberElements(xmlDoc *parsed)
{
    if (parsed)
        xmlXPathOrderDocElems(parsed);
}

ParsedDocument ParsedDocument::html(const QByteArray &bytes)
{
    initLibxml();
    if (!fitsLibxml(bytes))
        return ParsedDocument(nullptr);
    constexpr int options = HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING;
    if (HtmlEncoding::readsAsUtf8(bytes)) {
        // Told the encoding and given only valid sequences, libxml2 keeps to UTF-8 to the end.
        const QByteArray repaired = HtmlEncoding::repairedUtf8(bytes);
        if (!fitsLibxml(repaired))
            return ParsedDocument(nullptr);
        return ParsedDocument(htmlReadMemory(repaired.constData(), int(repaired.size()), "",
                                             "UTF-8", options | HTML_PARSE_IGNORE_ENC));
    }
    return ParsedDocument(
        htmlReadMemory(bytes.constData(), int(bytes.size()), "", nullptr, options));
}

ParsedDocument ParsedDocument::xml(const QByteArray &bytes)
{
    initLibxml();
    if (!fitsLibxml(bytes))
        return ParsedDocument(nullptr);
    return ParsedDocument(
        xmlReadMemory(bytes.constData(), int(bytes.size()), "", nullptr, XML_PARSE_RECOVER));
}

std::optional<NodeList> ParsedDocument::query(const QString &expression,
                                              QueryOutcome *outcome) const
{
    if (spent && document) {
        if (outcome) {
            *outcome = QueryOutcome();
            outcome->status = QueryOutcome::Status::OverBudget;
        }
        return NodeList();
    }
    if (!jsonExposed && expression.contains(u"json")) {
        EmbeddedJson::expose(document.get());
        numberElements(document.get());
        jsonExposed = true;
    }
    QueryOutcome local;
    QueryOutcome &report = outcome ? *outcome : local;
    std::optional<NodeList> nodes = PerformXPathQuery(document, expression, &report);
    spent = report.abandoned;
    return nodes;
}
