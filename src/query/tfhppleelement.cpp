#include "query/tfhppleelement.h"

TFHppleElement::TFHppleElement(std::shared_ptr<const NodeDictionary> node)
    : dictionary(node ? std::move(node) : std::make_shared<const NodeDictionary>())
{
}

TFHppleElement::Ptr TFHppleElement::hppleElementWithNode(std::shared_ptr<const NodeDictionary> node)
{
    if (!node)
        return nullptr;
    return std::make_shared<TFHppleElement>(std::move(node));
}

QHash<QString, QString> TFHppleElement::attributes() const
{
    QHash<QString, QString> result;
    for (const AttributeDictionary &attribute : dictionary->nodeAttributeArray) {
        if (!attribute.attributeName.isNull() && !attribute.nodeContent.isNull())
            result.insert(attribute.attributeName, attribute.nodeContent);
    }
    return result;
}

QString TFHppleElement::objectForKey(const QString &attributeName) const
{
    // The last attribute of that name wins, as in attributes().
    QString value;
    if (attributeName.isNull())
        return value;
    for (const AttributeDictionary &attribute : dictionary->nodeAttributeArray) {
        if (attribute.attributeName == attributeName && !attribute.nodeContent.isNull())
            value = attribute.nodeContent;
    }
    return value;
}

QList<TFHppleElement::Ptr> TFHppleElement::children()
{
    QList<Ptr> result;
    result.reserve(dictionary->nodeChildArray.size());
    // A node made without a shared owner has children without a parent.
    const Ptr self = weak_from_this().lock();
    for (const auto &child : dictionary->nodeChildArray) {
        Ptr element = std::make_shared<TFHppleElement>(child);
        element->setParent(self);
        result.append(std::move(element));
    }
    return result;
}

TFHppleElement::Ptr TFHppleElement::firstChild()
{
    if (!hasChildren())
        return nullptr;
    return children().constFirst();
}

bool TFHppleElement::isTextNode() const
{
    return tagName() == u"text" && !content().isNull();
}

QList<TFHppleElement::Ptr> TFHppleElement::childrenWithTagName(const QString &tagName)
{
    QList<Ptr> result;
    for (const Ptr &child : children()) {
        if (child->tagName() == tagName)
            result.append(child);
    }
    return result;
}

TFHppleElement::Ptr TFHppleElement::firstChildWithTagName(const QString &tagName)
{
    for (const Ptr &child : children()) {
        if (child->tagName() == tagName)
            return child;
    }
    return nullptr;
}

QList<TFHppleElement::Ptr> TFHppleElement::childrenWithClassName(const QString &className)
{
    QList<Ptr> result;
    for (const Ptr &child : children()) {
        if (child->objectForKey(QStringLiteral("class")) == className)
            result.append(child);
    }
    return result;
}

TFHppleElement::Ptr TFHppleElement::firstChildWithClassName(const QString &className)
{
    const QList<Ptr> matches = childrenWithClassName(className);
    return matches.isEmpty() ? nullptr : matches.constFirst();
}

TFHppleElement::Ptr TFHppleElement::firstTextChild()
{
    for (const Ptr &child : children()) {
        if (child->isTextNode())
            return child;
    }
    return firstChildWithTagName(QStringLiteral("text"));
}

QString TFHppleElement::text()
{
    const Ptr child = firstTextChild();
    return child ? child->content() : QString();
}
