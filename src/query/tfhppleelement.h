#pragma once

#include "query/nodedictionary.h"

#include <QHash>
#include <QList>
#include <QString>

#include <memory>

// One node matched by an XPath query: its name, text, attributes and children, read from its
// NodeDictionary. Owns no parser state. A child refers to the element whose children() made it
// without keeping it alive.
class TFHppleElement : public std::enable_shared_from_this<TFHppleElement>
{
public:
    using Ptr = std::shared_ptr<TFHppleElement>;

    explicit TFHppleElement(std::shared_ptr<const NodeDictionary> node);
    // A new element, or null when node is null.
    static Ptr hppleElementWithNode(std::shared_ptr<const NodeDictionary> node);

    const NodeDictionary &node() const { return *dictionary; }

    QString content() const { return dictionary->nodeContent; }
    QString tagName() const { return dictionary->nodeName; }
    // Attribute name to trimmed value; a later duplicate name replaces an earlier one.
    QHash<QString, QString> attributes() const;
    QString objectForKey(const QString &attributeName) const;

    // New elements for the node's children on every call, each with this as parent.
    QList<Ptr> children();
    Ptr firstChild();
    bool hasChildren() const { return !dictionary->nodeChildArray.isEmpty(); }
    bool isTextNode() const;
    QList<Ptr> childrenWithTagName(const QString &tagName);
    Ptr firstChildWithTagName(const QString &tagName);
    // Children whose whole "class" attribute equals className.
    QList<Ptr> childrenWithClassName(const QString &className);
    Ptr firstChildWithClassName(const QString &className);
    Ptr firstTextChild();
    QString text();

    Ptr parent() const { return parentElement.lock(); }
    void setParent(const Ptr &parent) { parentElement = parent; }

    QString description() const { return dictionary->description(); }

private:
    std::shared_ptr<const NodeDictionary> dictionary;
    std::weak_ptr<TFHppleElement> parentElement;
};
