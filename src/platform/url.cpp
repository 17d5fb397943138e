#include "platform/url.h"

Url::Url(QUrl url, QString text)
    : url(std::move(url))
    , text(std::move(text))
{
}

std::optional<Url> Url::fromString(const QString &text)
{
    if (text.isNull())
        return std::nullopt;
    QUrl url(text, QUrl::StrictMode);
    if (!url.isValid())
        return std::nullopt;
    return Url(std::move(url), text);
}

QString Url::path() const
{
    QString p = url.path(QUrl::FullyDecoded);
    while (p.size() > 1 && p.endsWith(u'/'))
        p.chop(1);
    return p;
}

QString Url::lastPathComponent() const
{
    QString p = path();
    if (p.isEmpty() || p == u"/")
        return p;
    return p.mid(p.lastIndexOf(u'/') + 1);
}

namespace {

// RFC 3986's removal of "." and ".." segments, on the path as written: escapes are kept.
QString removeDotSegments(QString input)
{
    QString output;
    const auto dropLastSegment = [&output] {
        output.truncate(qMax<qsizetype>(0, output.lastIndexOf(u'/')));
    };
    while (!input.isEmpty()) {
        if (input.startsWith(u"../"))
            input.remove(0, 3);
        else if (input.startsWith(u"./"))
            input.remove(0, 2);
        else if (input.startsWith(u"/./"))
            input.remove(0, 2);
        else if (input == u"/.")
            input = QStringLiteral("/");
        else if (input.startsWith(u"/../")) {
            input.remove(0, 3);
            dropLastSegment();
        } else if (input == u"/..") {
            input = QStringLiteral("/");
            dropLastSegment();
        } else if (input == u"." || input == u"..") {
            input.clear();
        } else {
            const qsizetype next = input.indexOf(u'/', input.startsWith(u'/') ? 1 : 0);
            const qsizetype length = next < 0 ? input.size() : next;
            output += input.left(length);
            input.remove(0, length);
        }
    }
    return output;
}

} // namespace

Url Url::standardized() const
{
    // The path lies between the authority and the query or fragment.
    qsizetype pathStart = 0;
    const qsizetype authority = text.indexOf(u"//");
    if (authority >= 0 && authority == text.indexOf(u':') + 1) {
        pathStart = text.size();
        for (qsizetype i = authority + 2; i < text.size(); ++i) {
            const QChar c = text.at(i);
            if (c == u'/' || c == u'?' || c == u'#') {
                pathStart = i;
                break;
            }
        }
    }
    qsizetype pathEnd = text.size();
    for (qsizetype i = pathStart; i < text.size(); ++i) {
        if (text.at(i) == u'?' || text.at(i) == u'#') {
            pathEnd = i;
            break;
        }
    }
    const QString standard = text.left(pathStart)
        + removeDotSegments(text.mid(pathStart, pathEnd - pathStart)) + text.mid(pathEnd);
    if (std::optional<Url> parsed = fromString(standard))
        return *parsed;
    return *this;
}

bool Url::isFetchableScheme(const QString &scheme)
{
    const QString lower = scheme.toLower();
    return lower == u"http" || lower == u"https" || lower == u"ftp";
}

QString Url::percentEncoded(const QString &text)
{
    return QString::fromLatin1(text.toUtf8().toPercentEncoding());
}
