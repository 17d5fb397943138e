#include "htmlscan.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

QString decoded(QString text)
{
    return text.replace(u"&lt;"_s, u"<"_s)
        .replace(u"&gt;"_s, u">"_s)
        .replace(u"&quot;"_s, u"\""_s)
        .replace(u"&amp;"_s, u"&"_s);
}

} // namespace

HtmlScan::HtmlScan(const QString &html)
{
    static const QRegularExpression token(
        uR"re(<!--.*?-->|<!DOCTYPE[^>]*>|</([a-z0-9]+)>|<([a-z0-9]+)((?:\s+[a-z-]+(?:="[^"<]*")?)*)>)re"_s,
        QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression attribute(uR"re(([a-z-]+)(?:="([^"]*)")?)re"_s);
    static const QStringList voids{ u"img"_s, u"meta"_s, u"input"_s, u"br"_s };

    QList<int> open;
    qsizetype at = 0;
    while (m_error.isEmpty() && at < html.size()) {
        const QRegularExpressionMatch match = token.match(html, at);
        const qsizetype end = match.hasMatch() ? match.capturedStart() : html.size();
        const QString text = html.mid(at, end - at);
        if (text.contains(u'<'))
            m_error = u"stray '<' in \"%1\""_s.arg(text);
        for (int index : std::as_const(open))
            m_elements[index].text += decoded(text);
        if (!match.hasMatch())
            break;
        at = match.capturedEnd();
        if (match.hasCaptured(1)) {
            if (open.isEmpty() || m_elements.at(open.last()).tag != match.captured(1))
                m_error = u"</%1> closes nothing open"_s.arg(match.captured(1));
            else
                open.removeLast();
        } else if (match.hasCaptured(2)) {
            Element element{ match.captured(2), {}, {}, open.isEmpty() ? -1 : open.last() };
            auto pairs = attribute.globalMatch(match.captured(3));
            while (pairs.hasNext()) {
                const QRegularExpressionMatch pair = pairs.next();
                element.attributes.insert(pair.captured(1), decoded(pair.captured(2)));
            }
            m_elements.append(element);
            if (!voids.contains(element.tag))
                open.append(int(m_elements.size()) - 1);
            if (element.tag == u"style") { // its text is CSS, not markup
                at = html.indexOf(u"</style>"_s, at);
                if (at < 0)
                    m_error = u"<style> is never closed"_s;
            }
        }
    }
    if (m_error.isEmpty() && !open.isEmpty())
        m_error = u"<%1> is never closed"_s.arg(m_elements.at(open.last()).tag);
}

QString HtmlScan::attribute(int index, const char *name) const
{
    return m_elements.at(index).attributes.value(QString::fromLatin1(name));
}

QList<int> HtmlScan::find(const char *tag, const char *className, int within) const
{
    QList<int> found;
    for (int index = 0; index < m_elements.size(); ++index) {
        const Element &element = m_elements.at(index);
        int ancestor = element.parent;
        while (within >= 0 && ancestor >= 0 && ancestor != within)
            ancestor = m_elements.at(ancestor).parent;
        if (element.tag == QLatin1StringView(tag) && (within < 0 || ancestor == within)
            && (!*className
                || attribute(index, "class").split(u' ').contains(QLatin1StringView(className)))) {
            found.append(index);
        }
    }
    return found;
}

QStringList HtmlScan::values(const char *tag, const char *className, int within,
                             const char *name) const
{
    QStringList values;
    for (int index : find(tag, className, within))
        values.append(name ? attribute(index, name) : m_elements.at(index).text);
    return values;
}
