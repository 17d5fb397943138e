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

bool isFetchableScheme(const QString &scheme)
{
    return scheme == u"http" || scheme == u"https" || scheme == u"ftp";
}

} // namespace

QString NSUrlUtils::fixUrl(const QString &link, const QString &parentUrl)
{
    if (link.isNull())
        return {};

    const std::optional<Url> parsedLink = Url::fromString(link);
    if (parsedLink && parsedLink->hasHost()) {
        const QString text = parsedLink->absoluteString();
        if (text.startsWith(u"http:") || text.startsWith(u"https:") || text.startsWith(u"ftp:"))
            return text;
        if (parsedLink->scheme().isEmpty())
            return QStringLiteral("http:") + text;
        // An upper-case spelling of a fetchable scheme is that scheme; any other scheme
        // (file, javascript, ...) gives nothing one can fetch.
        const QString scheme = parsedLink->scheme().toLower();
        if (isFetchableScheme(scheme))
            return scheme + text.mid(parsedLink->scheme().size());
        return {};
    }

    if (parentUrl.isNull())
        return {};
    const std::optional<Url> parent = Url::fromString(parentUrl);
    QString scheme = parent ? parent->scheme() : QString();
    if (scheme.isEmpty())
        scheme = QStringLiteral("http");
    QString authority = parent ? parent->host() : QString();
    if (parent && parent->port() >= 0 && parent->port() != 80)
        authority += u':' + QString::number(parent->port());

    if (link.startsWith(u'/'))
        return join(scheme + QStringLiteral("://") + authority, link);
    const QString path = parent ? trimSlashes(parent->path()) : QString();
    return join(scheme + QStringLiteral("://") + authority + u'/' + path, link);
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
