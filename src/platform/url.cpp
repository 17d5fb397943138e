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
    const QString p = path();
    if (p.isEmpty() || p == u"/")
        return p;
    return p.mid(p.lastIndexOf(u'/') + 1);
}

Url Url::standardized() const
{
    QUrl normalized = url.adjusted(QUrl::NormalizePathSegments);
    return Url(normalized, normalized.toString(QUrl::FullyEncoded));
}
