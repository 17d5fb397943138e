#include "scrape/nsurlutils.h"

#include "platform/url.h"

namespace {

QString trimSlashes(const QString &text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && text.at(start) == u'/')
        ++start;
    while (end > start && text.at(end - 1) == u'/')
        --end;
    return text.mid(start, end - start);
}

QString join(const QString &base, const QString &link)
{
    const std::optional<Url> url = Url::fromString(trimSlashes(base) + u'/' + trimSlashes(link));
    if (!url)
        return {};
    return url->standardized().absoluteString();
}

// The scheme the text starts with ("javascript" of "javascript:void(0)"), or null. Read from the
// text itself, since the strict parser refuses many such links, which would then pass for
// relative paths.
QString leadingScheme(const QString &text)
{
    if (text.isEmpty() || !text.at(0).isLetter() || text.at(0).unicode() > 127)
        return {};
    for (qsizetype i = 1; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u':')
            return text.left(i).toLower();
        const bool schemeChar
            = c.unicode() < 128 && (c.isLetterOrNumber() || c == u'+' || c == u'-' || c == u'.');
        if (!schemeChar)
            return {};
    }
    return {};
}

} // namespace

QString NSUrlUtils::fixUrl(const QString &link, const QString &parentUrl)
{
    if (link.isNull())
        return {};

    const std::optional<Url> parsedLink = Url::fromString(link);
    // A link with a scheme is an address of its own: one that cannot be fetched (javascript:,
    // mailto:, data:, file:) or names no host is no address at all, never a relative path.
    const QString scheme = leadingScheme(link);
    if (!scheme.isNull()
        && (!Url::isFetchableScheme(scheme) || !parsedLink || !parsedLink->hasHost())) {
        return {};
    }
    const std::optional<Url> parent
        = parentUrl.isNull() ? std::nullopt : Url::fromString(parentUrl);
    QString base = parent ? parent->scheme().toLower() : QString();
    if (base.isEmpty())
        base = QStringLiteral("http");

    if (parsedLink && parsedLink->hasHost()) {
        QString text = parsedLink->absoluteString();
        if (text.startsWith(u"http:") || text.startsWith(u"https:") || text.startsWith(u"ftp:"))
            return text;
        // A scheme-relative link takes the scheme of the page it is on, as in a browser; an
        // https page's links would otherwise travel unencrypted.
        if (scheme.isNull())
            return (Url::isFetchableScheme(base) ? base : QStringLiteral("http")) + u':' + text;
        // An upper-case spelling of a fetchable scheme is that scheme.
        return scheme + text.mid(scheme.size());
    }

    if (parentUrl.isNull())
        return {};
    QString authority = parent ? parent->host() : QString();
    // An IPv6 literal keeps its brackets, or the port and path would read as part of it.
    if (authority.contains(u':'))
        authority = u'[' + authority + u']';
    if (parent && parent->port() >= 0 && parent->port() != 80)
        authority += u':' + QString::number(parent->port());

    if (link.startsWith(u'/'))
        return join(base + QStringLiteral("://") + authority, link);
    const QString path = parent ? trimSlashes(parent->path()) : QString();
    return join(base + QStringLiteral("://") + authority + u'/' + path, link);
}

QString NSUrlUtils::getRelativePathNoFile(const QString &url)
{
    if (url.isNull())
        return QStringLiteral("");
    const std::optional<Url> parsed = Url::fromString(url);
    if (!parsed)
        return url;
    const QString component = parsed->lastPathComponent();
    if (component.isEmpty() || !component.contains(u'.'))
        return url;

    // The component as written in the text may still be percent-encoded.
    qsizetype at = url.lastIndexOf(component);
    if (at < 0) {
        const QString encoded = parsed->toQUrl().path(QUrl::FullyEncoded).section(u'/', -1);
        at = encoded.isEmpty() ? -1 : url.lastIndexOf(encoded);
    }
    if (at < 0)
        return url;
    if (at == 0)
        return QStringLiteral("");
    return url.left(at - 1);
}
