#pragma once

#include <QSet>
#include <QString>

// Brings the disk cache within its limit, keeping every favorite's listing page and the photos
// that page names, so that the favorites still show after any eviction.
namespace CacheTrim {

// The cache files of the favorites' pages and photos.
QSet<QString> favoriteFiles();

// Trims the cache to limit bytes, favorites kept. Returns the bytes removed.
qint64 trimKeepingFavorites(qint64 limit);

} // namespace CacheTrim
