#pragma once

#include <QString>

// Page data put into an XPath query as data: whatever quotes or brackets a class token, id or
// attribute value holds, the query still selects by that value and nothing else.
namespace XPathLiteral {

// value as an XPath string literal: '...' without an apostrophe, "..." without a double quote,
// and concat('a', "'", 'b') holding both.
QString quoted(const QString &value);

// Whether name can stand in a query as an element or attribute name (no prefix, no punctuation
// XPath reads).
bool isPlainName(const QString &name);

// An element name test: the name itself when plain, else *[name()='...'].
QString element(const QString &name);

} // namespace XPathLiteral
