#pragma once

#include "query/tfhppleelement.h"

#include <QByteArray>
#include <QList>
#include <QString>

// A page held as bytes, queried with XPath. Every search parses the bytes again; the document
// itself never changes.
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
    TFHppleElement::Ptr peekAtSearchWithXPathQuery(const QString &query) const;

    const QByteArray &data() const { return bytes; }
    bool isXML() const { return xml; }

private:
    QByteArray bytes;
    bool xml = false;
};
