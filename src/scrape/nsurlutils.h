#pragma once

#include <QString>

// Link resolution as the scrapers need it. The rules differ from a browser's on purpose: a
// page's last path segment stays in the directory, the page's query is dropped, a relative
// link's surrounding slashes are trimmed. A null QString is an absent URL.
class NSUrlUtils
{
public:
    // link found on the page at parentUrl, as an absolute URL text; null when the text cannot
    // form a URL one can fetch.
    static QString fixUrl(const QString &link, const QString &parentUrl);

    // url without its file name (a last segment holding a dot) and what follows it.
    static QString getRelativePathNoFile(const QString &url);
};
