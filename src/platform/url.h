#pragma once

#include <QString>
#include <QUrl>

#include <optional>

// A URL text as a strict parser reads it: refuses spaces and other characters not allowed in
// URLs, reads "//host/path" with a host. The components follow the conventions the scrapers
// rely on: path() is percent-decoded without a trailing slash, absoluteString() is the text
// itself.
class Url
{
public:
    // The parsed text, or nothing when the parser refuses it.
    static std::optional<Url> fromString(const QString &text);

    QString scheme() const { return url.scheme(); }
    QString host() const { return url.host(); }
    bool hasHost() const { return !url.host().isEmpty(); }
    // -1 when the text names no port.
    int port() const { return url.port(-1); }
    QString path() const;
    QString lastPathComponent() const;
    QString absoluteString() const { return text; }
    // The URL with "." and ".." path segments resolved on its text; escapes stay as written.
    Url standardized() const;
    // The schemes of the addresses the system fetches: http, https and ftp, in any letter case.
    static bool isFetchableScheme(const QString &scheme);
    // text percent-encoded in full: every character but the ASCII letters, digits and "-._~"
    // becomes "%XX" per byte of its UTF-8 form (upper-case hex).
    static QString percentEncoded(const QString &text);
    const QUrl &toQUrl() const { return url; }

private:
    Url(QUrl url, QString text);

    QUrl url;
    QString text;
};
