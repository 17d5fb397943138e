#pragma once

#include "query/tfhppleelement.h"
#include "query/xpathquery.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>

class ParsedDocument;

// A page held as bytes, queried with XPath. The bytes are parsed once, at the first search, and
// every later search of this object evaluates on that document; the document itself never
// changes. Safe to use on any one thread at a time.
class TFHpple
{
public:
    TFHpple(QByteArray data, bool isXML);

    static TFHpple hppleWithData(QByteArray data, bool isXML) { return { std::move(data), isXML }; }
    static TFHpple hppleWithHTMLData(QByteArray data) { return { std::move(data), false }; }
    static TFHpple hppleWithXMLData(QByteArray data) { return { std::move(data), true }; }

    // The matched nodes in document order; empty when nothing matched, the query is absent
    // (null) or malformed, or the bytes do not parse.
    QList<TFHppleElement::Ptr> searchWithXPathQuery(const QString &query) const;
    // As above, saying how the evaluation went; an absent query is Malformed.
    QList<TFHppleElement::Ptr> searchWithXPathQuery(const QString &query,
                                                    QueryOutcome &outcome) const;
    TFHppleElement::Ptr peekAtSearchWithXPathQuery(const QString &query) const;

    const QByteArray &data() const { return bytes; }
    bool isXML() const { return xml; }
    // The parsed document the searches evaluate on, parsed at the first call.
    const ParsedDocument &document() const;

private:
    QByteArray bytes;
    bool xml = false;
    mutable std::shared_ptr<const ParsedDocument> parsed;
};
