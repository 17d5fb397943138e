#include "scrape/extractdirective.h"

namespace ExtractDirective {

QString firstChildContent(const TFHppleElement::Ptr &node)
{
    const TFHppleElement::Ptr child = node->firstChild();
    return child ? child->content() : QString();
}

QString valueOf(const TFHppleElement::Ptr &node, const QString &extract)
{
    if (isContent(extract))
        return firstChildContent(node);
    return node->objectForKey(extract);
}

QString textOf(const TFHppleElement::Ptr &node, const QString &extract)
{
    if (!isContent(extract))
        return node->objectForKey(extract);
    const QString own = node->content();
    return own.isEmpty() ? firstChildContent(node) : own;
}

} // namespace ExtractDirective
