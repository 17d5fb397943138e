#include "query/nodedictionary.h"

QString NodeDictionary::description(int indent) const
{
    const QString pad(indent, u' ');
    QString text = pad + u'{';
    if (!nodeName.isNull())
        text += QStringLiteral(" nodeName = \"%1\";").arg(nodeName);
    if (!nodeContent.isNull())
        text += QStringLiteral(" nodeContent = \"%1\";").arg(nodeContent);
    for (const AttributeDictionary &attribute : nodeAttributeArray) {
        text += QStringLiteral(" attribute { attributeName = \"%1\"; nodeContent = \"%2\"; }")
                    .arg(attribute.attributeName, attribute.nodeContent);
    }
    if (!nodeChildArray.isEmpty()) {
        text += u" nodeChildArray = (\n";
        for (const auto &child : nodeChildArray)
            text += child->description(indent + 4) + u'\n';
        text += pad + u')';
    }
    text += u" }";
    return text;
}
