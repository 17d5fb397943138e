#pragma once

#include "query/xpathquery.h"

#include <QByteArray>
#include <QString>

#include <memory>

// A page parsed once by libxml2, for evaluating several queries on the same document. It owns
// the libxml2 document and frees it when it goes; nothing of libxml2 leaves it. Safe to use on
// any one thread at a time.
class ParsedDocument
{
public:
    // HTML is parsed with errors and warnings suppressed, broken markup repaired; XML in
    // recovery mode. A document that does not parse is not valid().
    static ParsedDocument html(const QByteArray &bytes);
    static ParsedDocument xml(const QByteArray &bytes);

    bool isValid() const { return document != nullptr; }
    xmlDoc *get() const { return document.get(); }

    // The nodes query selects, as PerformXPathQuery gives them. A query that names "json" first
    // has the page's embedded JSON documents added to the tree (see EmbeddedJson); other queries
    // never pay for them.
    std::optional<NodeList> query(const QString &expression, QueryOutcome *outcome = nullptr) const;

private:
    struct Free
    {
        void operator()(xmlDoc *document) const;
    };
    explicit ParsedDocument(xmlDoc *document);

    std::unique_ptr<xmlDoc, Free> document;
    mutable bool jsonExposed = false;
};
