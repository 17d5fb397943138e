#pragma once

#include "platform/floatsize.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include <memory>

// The disk cache of listing pages and photos: flat files in the cache directory, each named
// after its URL percent-encoded in full (so no name holds a "/" or reaches outside the
// directory). A listing page and a full-size photo of the same URL share one name; a photo fitted
// to a size adds that size to the name. A name longer than the file system takes becomes a fixed
// one derived from a hash of it. Every path operation creates the directory when it is missing.
// A write the directory refuses is reported to StoreProblems; photos are then kept in memory
// (KeptPhotos), so that they still show.
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
    // Writes a photo at path, or keeps it in memory when it cannot be written. False when it
    // is kept nowhere.
    static bool storePhoto(const QString &path, const QByteArray &bytes);
    // The photo at path, from memory or from its file; null when it cannot be opened.
    static std::unique_ptr<QIODevice> openPhoto(const QString &path);
    static QByteArray readPhoto(const QString &path);

    // Removes every entry of the directory (and every photo kept in memory), ignoring failures.
    static void clean();
};
