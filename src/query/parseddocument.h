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

    ParsedDocument(ParsedDocument &&) = default;
    ParsedDocument &operator=(ParsedDocument &&) = default;
    ParsedDocument(const ParsedDocument &) = delete;
    ParsedDocument &operator=(const ParsedDocument &) = delete;

    bool isValid() const { return document != nullptr; }
    xmlDoc *get() const { return document.get(); }
    const std::shared_ptr<xmlDoc> &shared() const { return document; }

    // The nodes query selects, as PerformXPathQuery gives them. A query that names "json" first
    // has the page's embedded JSON documents added to the tree (see EmbeddedJson); other queries
    // never pay for them.
    std::optional<NodeList> query(const QString &expression, QueryOutcome *outcome = nullptr) const;

private:
    explicit ParsedDocument(xmlDoc *document);
    static void numberElements(xmlDoc *parsed);

    // Shared with an evaluation left behind at its deadline, which may still read it.
    std::shared_ptr<xmlDoc> document;
    mutable bool jsonExposed = false;
    // A query was left behind: the page is built to be costly, and the evaluation still reads
    // it, so it is neither queried nor changed any more.
    mutable bool spent = false;
};
