#pragma once

#include "platform/floatsize.h"

#include <QByteArray>
#include <QString>

// The disk cache of listing pages and photos: flat files in the cache directory, each named
// after its URL percent-encoded in full (so no name holds a "/" or reaches outside the
// directory). A listing page and a full-size photo of the same URL share one name; a photo fitted
// to a size adds that size to the name. A name longer than the file system takes becomes a fixed
// one derived from a hash of it. Every path operation creates the directory when it is missing.
class PageCache
{
public:
    static QString fileName(const QString &url);
    static QString fittedFileName(const QString &url, FloatSize fitSize);

    static QString pagePath(const QString &url);
    static QString photoPath(const QString &url);
    static QString photoPath(const QString &url, FloatSize fitSize);

    // An empty URL names no file: its path would be the directory itself.
    static bool hasPage(const QString &url);
    static bool hasPhoto(const QString &url);
    static bool hasPhoto(const QString &url, FloatSize fitSize);

    // Writes bytes whole or not at all: a crash never leaves half a file behind.
    static bool writeAtomically(const QString &path, const QByteArray &bytes);
    static bool storePage(const QByteArray &bytes, const QString &url);

    // Removes every entry of the directory, ignoring failures.
    static void clean();
};
