#pragma once

#include <QSet>
#include <QString>

#include <optional>

// Keeps the disk cache within a size: the least recently used files go first, and the files
// named as kept (the favorites' pages and photos) never go. A file counts as used when it was
// written or last looked up through PageCache.
namespace CacheLimit {

inline constexpr qint64 defaultBytes = qint64(1) << 30;

// The bytes the cache directory's files take.
qint64 size();

// Removes least recently used files until the cache holds at most limit bytes, or only kept
// files are left. kept holds file names within the directory. Returns the bytes removed.
qint64 trim(qint64 limit, const QSet<QString> &kept);

// A size as the user writes it: bytes, or a whole number with K, M or G (powers of 1024),
// optionally followed by B. Nothing else, and no negative or overflowing size, is a size.
std::optional<qint64> parse(const QString &text);

// The limit the user set in the preferences, or the default.
qint64 stored();
void store(qint64 bytes);

} // namespace CacheLimit
