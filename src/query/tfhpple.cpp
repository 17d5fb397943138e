#include "query/tfhpple.h"

#include "query/parseddocument.h"

TFHpple::TFHpple(QByteArray data, bool isXML)
    : bytes(std::move(data))
    , xml(isXML)
{
}

const ParsedDocument &TFHpple::document() const
{
    if (!parsed) {
        parsed = std::make_shared<const ParsedDocument>(xml ? ParsedDocument::xml(bytes)
                                                            : ParsedDocument::html(bytes));
    }
    return *parsed;
}

QList<TFHppleElement::Ptr> TFHpple::searchWithXPathQuery(const QString &query) const
{
    QueryOutcome outcome;
    return searchWithXPathQuery(query, outcome);
}

QList<TFHppleElement::Ptr> TFHpple::searchWithXPathQuery(const QString &query,
                                                         QueryOutcome &outcome) const
{
    outcome = {};
    if (query.isNull()) {
        outcome.status = QueryOutcome::Status::Malformed;
        return {};
    }
    const ParsedDocument &page = document();
    if (!page.isValid()) {
        outcome.status = QueryOutcome::Status::NoDocument;
        return {};
    }
    const std::optional<NodeList> nodes = page.query(query, &outcome);
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
