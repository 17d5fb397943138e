#pragma once

#include <QString>

// The one flat directory that holds cached listing pages and photos.
namespace CacheDirectory {

// The directory: the one set with setPath(), or the application's cache location.
QString path();

// Uses this directory instead (the scrape tool's --cache-dir, a demo run). Empty: the default.
void setPath(const QString &directory);

// Creates the directory when it is missing (failures are left to the write that follows) and
// returns its path.
QString ensureExists();

} // namespace CacheDirectory
