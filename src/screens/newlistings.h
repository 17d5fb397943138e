#pragma once

#include "scrape/linkextractor.h"

#include <QString>

// Opening a bookmarked page: the listings it did not list at its last visit are marked new, and
// this visit's listings are kept for the next one. Other pages are left alone.
namespace NewListings {

// Returns how many were marked.
int mark(const QString &address, const LinkExtractor &listings);

} // namespace NewListings
