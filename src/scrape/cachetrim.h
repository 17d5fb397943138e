#pragma once

#include "scrape/zestoscrapesetting.h"

#include <QList>
#include <QSet>
#include <QString>

#include <optional>

// Brings the disk cache within its limit, keeping every favorite's listing page and the photos
// that page names, so that the favorites still show after any eviction.
namespace CacheTrim {

// A favorite's address and the rules that find its photos.
struct KeptListing
{
    QString url;
    std::optional<ZestoScrapeSetting> rules;
};

// The favorites with their rules, read from the stores (the GUI thread's, or a program's only
// thread).
QList<KeptListing> keptListings();

// The cache files of these listings' pages and photos. Reads only the cache: any thread.
QSet<QString> filesOf(const QList<KeptListing> &listings);

// The cache files of the favorites' pages and photos.
QSet<QString> favoriteFiles();

// Trims the cache to limit bytes, favorites kept. Returns the bytes removed.
qint64 trimKeepingFavorites(qint64 limit);

} // namespace CacheTrim
