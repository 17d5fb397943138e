#include "query/embeddedjson.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>

#include <cmath>

namespace {

const xmlChar *xml(const char *text)
{
    return reinterpret_cast<const xmlChar *>(text);
}

bool isJsonScript(xmlNode *node)
{
    if (node->type != XML_ELEMENT_NODE || xmlStrcasecmp(node->name, xml("script")) != 0)
        return false;
    xmlChar *type = xmlGetProp(node, xml("type"));
    if (!type)
        return false;
    const QByteArray value = QByteArray(reinterpret_cast<const char *>(type)).trimmed().toLower();
    xmlFree(type);
    return value == "application/ld+json" || value == "application/json";
}

// A key usable as an element name as it stands: ASCII letters, digits, '_', '-' and '.', not
// starting with a digit, '-' or '.'.
bool isPlainName(const QByteArray &key)
{
    if (key.isEmpty() || key.size() > 100)
        return false;
    for (qsizetype i = 0; i < key.size(); ++i) {
        const char c = key.at(i);
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
        const bool other = (c >= '0' && c <= '9') || c == '-' || c == '.';
        if (!letter && (i == 0 || !other))
            return false;
    }
    return true;
}

QByteArray scalarText(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::String:
        return value.toString().toUtf8();
    case QJsonValue::Double: {
        const double number = value.toDouble();
        if (std::abs(number) < 1e15 && std::trunc(number) == number)
            return QByteArray::number(qint64(number));
        return QByteArray::number(number, 'g', 17);
    }
    case QJsonValue::Bool:
        return value.toBool() ? "true" : "false";
    default:
        return {};
    }
}

xmlNode *addElement(xmlNode *parent, const QByteArray &key)
{
    if (isPlainName(key))
        return xmlNewChild(parent, nullptr, xml(key.constData()), nullptr);
    xmlNode *element = xmlNewChild(parent, nullptr, xml("_"), nullptr);
    if (element)
        xmlNewProp(element, xml("key"), xml(key.constData()));
    return element;
}

void build(xmlNode *element, const QJsonValue &value)
{
    if (!element)
        return;
    if (value.isObject()) {
        const QJsonObject object = value.toObject();
        for (auto member = object.begin(); member != object.end(); ++member)
            build(addElement(element, member.key().toUtf8()), member.value());
    } else if (value.isArray()) {
        for (const QJsonValue &item : value.toArray())
            build(xmlNewChild(element, nullptr, xml("item"), nullptr), item);
    } else {
        const QByteArray text = scalarText(value);
        if (!text.isEmpty())
            xmlAddChild(element, xmlNewText(xml(text.constData())));
    }
}

} // namespace

void EmbeddedJson::expose(xmlDoc *document)
{
    if (!document)
        return;
    // The scripts first, then their trees: the walk must not see what it adds.
    QList<xmlNode *> scripts;
    QList<xmlNode *> pending{ xmlDocGetRootElement(document) };
    while (!pending.isEmpty()) {
        xmlNode *node = pending.takeLast();
        for (; node; node = node->next) {
            if (isJsonScript(node))
                scripts.append(node);
            else if (node->type == XML_ELEMENT_NODE && node->children)
                pending.append(node->children);
        }
    }
    for (xmlNode *script : std::as_const(scripts)) {
        xmlChar *content = xmlNodeGetContent(script);
        if (!content)
            continue;
        const QJsonDocument parsed
            = QJsonDocument::fromJson(QByteArray(reinterpret_cast<const char *>(content)));
        xmlFree(content);
        if (parsed.isNull())
            continue;
        xmlNode *root = xmlNewChild(script, nullptr, xml("json"), nullptr);
        build(root, parsed.isObject() ? QJsonValue(parsed.object()) : QJsonValue(parsed.array()));
    }
}
