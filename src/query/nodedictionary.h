#pragma once

#include <QList>
#include <QString>

#include <memory>

// The plain data of one matched node and its whole subtree, copied out of libxml2 so that
// nothing of the parser outlives a query. A null QString is an absent key.
struct NodeDictionary;

struct AttributeDictionary
{
    QString attributeName;
    // The attribute's value with surrounding white space removed, when its first child is a
    // text node with content.
    QString nodeContent;
    // The attribute's first child, when that is not a text node.
    std::shared_ptr<const NodeDictionary> attributeContent;

    bool isEmpty() const
    {
        return attributeName.isNull() && nodeContent.isNull() && !attributeContent;
    }
};

struct NodeDictionary
{
    QString nodeName;
    QString nodeContent;
    QList<AttributeDictionary> nodeAttributeArray;
    QList<std::shared_ptr<const NodeDictionary>> nodeChildArray;

    // Text form for logging.
    QString description(int indent = 0) const;
};
