#pragma once

#include "demo/demolisting.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QSize>

#include <memory>

// A small pool of drawn photos, a few per category, encoded as JPEG once and shared by every
// listing of that category: drawing hundreds of large photos at start-up would take too long.
class DemoPhotoPool
{
public:
    static constexpr int variantsPerCategory = 3;
    static constexpr int thumbWidth = 150;

    struct Photo
    {
        QByteArray jpeg;
        QByteArray thumbJpeg;
        // The picture again, smaller and more compressed: a repost's copy of a photo.
        QByteArray copyJpeg;
    };

    DemoPhotoPool();

    // The pool of this process, drawn on first use; safe to call from any thread.
    static std::shared_ptr<const DemoPhotoPool> shared();

    static int poolSize();
    // Which pool photo shows photo k of a listing.
    static int poolIndex(const DemoListing &listing, int k);
    static QSize photoSize(int poolIndex);
    static QSize thumbSize(int poolIndex);
    static QSize copySize(int poolIndex);
    // Whether photo k of listing is served as the pool's copy of its picture.
    static bool servesCopy(const DemoListing &listing, int k)
    {
        return listing.repostOf != 0 && k == 0;
    }
    // The picture of one pool entry, before encoding.
    static QImage draw(int poolIndex);

    const Photo &photo(int poolIndex) const { return m_photos.at(poolIndex); }
    bool isValid() const;

private:
    QList<Photo> m_photos;
};
