#include "query/tfhpple.h"

#include "query/xpathquery.h"

TFHpple::TFHpple(QByteArray data, bool isXML)
    : bytes(std::move(data))
    , xml(isXML)
{
}

QList<TFHppleElement::Ptr> TFHpple::searchWithXPathQuery(const QString &query) const
{
    if (query.isNull())
        return {};
    const std::optional<NodeList> nodes
        = xml ? PerformXMLXPathQuery(bytes, query) : PerformHTMLXPathQuery(bytes, query);
    QList<TFHppleElement::Ptr> elements;
    if (!nodes)
        return elements;
    elements.reserve(nodes->size());
    for (const auto &node : *nodes) {
        if (auto element = TFHppleElement::hppleElementWithNode(node))
            elements.append(std::move(element));
    }
    return elements;
}

TFHppleElement::Ptr TFHpple::peekAtSearchWithXPathQuery(const QString &query) const
{
    const QList<TFHppleElement::Ptr> elements = searchWithXPathQuery(query);
    return elements.isEmpty() ? nullptr : elements.constFirst();
}
