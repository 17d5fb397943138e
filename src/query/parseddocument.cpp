#include "query/parseddocument.h"

#include <libxml/HTMLparser.h>
#include <libxml/parser.h>

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

void ParsedDocument::Free::operator()(xmlDoc *document) const
{
    xmlFreeDoc(document);
}

ParsedDocument::ParsedDocument(xmlDoc *parsed)
    : document(parsed)
{
}

ParsedDocument ParsedDocument::html(const QByteArray &bytes)
{
    initLibxml();
    if (!fitsLibxml(bytes))
        return ParsedDocument(nullptr);
    return ParsedDocument(htmlReadMemory(bytes.constData(), int(bytes.size()), "", nullptr,
                                         HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING));
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
    return PerformXPathQuery(document.get(), expression, outcome);
}
