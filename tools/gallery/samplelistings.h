#pragma once

#include "scrape/parsedlink.h"

#include <QList>

// Listings for the gallery and the scrolling benchmark. Their photos are drawn into the cache
// directory (CacheDirectory) under the photos' URLs, so the listings complete their photos
// through downloadImages() without a network.
class SampleListings
{
public:
    // About thirty listings with 0 to 8 photos of varied shapes (landscape, portrait, square,
    // small, panorama): two without photos, one whose photos are still loading (downloads never
    // started), one with a cached photo file that is not an image. The photos of every other
    // listing are being completed (see waitForPhotos()).
    static QList<ParsedLink::Ptr> gallery();

    // count listings of photosEach photos, sized in turn 1200x900, 900x1200, 1000x1000 and
    // 1600x900. A few drawn pictures are copied under every photo's URL. Downloads not started.
    static QList<ParsedLink::Ptr> benchmark(int count, int photosEach);

    // Runs the event loop until every listing whose downloads have started has settled. False
    // when timeoutMs passed first.
    static bool waitForPhotos(const QList<ParsedLink::Ptr> &records, int timeoutMs);
};
