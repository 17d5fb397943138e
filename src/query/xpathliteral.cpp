#include "query/xpathliteral.h"

#include <QRegularExpression>
#include <QStringList>

namespace XPathLiteral {

QString quoted(const QString &value)
{
    if (!value.contains(u'\''))
        return u'\'' + value + u'\'';
    if (!value.contains(u'"'))
        return u'"' + value + u'"';
    // XPath 1.0 has no escapes: the apostrophes go between the parts, in double quotes. There
    // are at least two parts, as concat() needs.
    QStringList parts;
    for (const QString &part : value.split(u'\''))
        parts << u'\'' + part + u'\'';
    return QStringLiteral("concat(%1)").arg(parts.join(QStringLiteral(", \"'\", ")));
}

bool isPlainName(const QString &name)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_.-]*$"));
    return plain.match(name).hasMatch();
}

QString element(const QString &name)
{
    return isPlainName(name) ? name : QStringLiteral("*[name()=%1]").arg(quoted(name));
}

} // namespace XPathLiteral
