#pragma once

#include "query/tfhppleelement.h"

#include <QString>

// The extraction directives of a rule: "@content" takes text, anything else names an attribute.
namespace ExtractDirective {

inline bool isContent(const QString &extract)
{
    return extract == u"@content";
}

// The text of the node's first child (the text of an element, or the value of a selected
// attribute); null when the node has no children.
QString firstChildContent(const TFHppleElement::Ptr &node);

// "@content": the content of the node's first child; otherwise the named attribute's value.
QString valueOf(const TFHppleElement::Ptr &node, const QString &extract);

// A text rule's value ("title", "price", "date"): with "@content", the node's own text, or for
// a selected attribute its value; otherwise the named attribute's value.
QString textOf(const TFHppleElement::Ptr &node, const QString &extract);

} // namespace ExtractDirective
