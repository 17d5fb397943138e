#include "query/elementpath.h"

#include <QRegularExpression>
#include <QStringList>

namespace ElementPath {

namespace {

// Deeper than any page a browser lays out; longer paths are no clicks.
constexpr qsizetype maxSteps = 1024;

xmlNode *child(xmlNode *parent, const QString &tag, int index)
{
    int seen = 0;
    for (xmlNode *node = parent->children; node; node = node->next) {
        if (node->type != XML_ELEMENT_NODE)
            continue;
        const QString name = QString::fromUtf8(reinterpret_cast<const char *>(node->name));
        if (name.compare(tag, Qt::CaseInsensitive) == 0 && ++seen == index)
            return node;
    }
    return nullptr;
}

} // namespace

xmlNode *find(xmlDoc *document, const QString &path)
{
    if (!document || !path.startsWith(u'/'))
        return nullptr;
    const QStringList steps = path.mid(1).split(u'/');
    if (steps.size() > maxSteps)
        return nullptr;
    static const QRegularExpression stepPattern(QStringLiteral("^(.+)\\[([1-9]\\d{0,5})\\]$"));
    xmlNode *node = reinterpret_cast<xmlNode *>(document);
    for (const QString &step : steps) {
        const QRegularExpressionMatch match = stepPattern.match(step);
        if (!match.hasMatch())
            return nullptr;
        const QString tag = match.captured(1);
        xmlNode *next = child(node, tag, match.captured(2).toInt());
        if (!next && tag.compare(u"tbody", Qt::CaseInsensitive) == 0)
            continue;
        if (!next)
            return nullptr;
        node = next;
    }
    return node->type == XML_ELEMENT_NODE ? node : nullptr;
}

} // namespace ElementPath
