#pragma once

#include "platform/floatsize.h"

#include <QCache>
#include <QHash>
#include <QImage>
#include <QList>
#include <QSet>
#include <QSize>
#include <QString>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

// Photos decoded for the grid's tiles, at the pixel size they are drawn at, with their corners
// rounded onto the card's white. Decoding runs on the background pool; a bounded cache (by
// bytes, least recently used first) keeps the results, so a tile that scrolls in finds its
// photos ready. Used on the GUI thread only.
class TilePhotoCache final
{
public:
    struct Key
    {
        QString url;
        QSize pixels;
        friend bool operator==(const Key &, const Key &) = default;
    };
    struct Request
    {
        Key key;
        // The size the photo is fitted to in points: the disk cache may hold a copy at it.
        FloatSize fitted;
        qreal scale = 1;
    };
    using Done = std::function<void(const QImage &image)>;
    using Cancelled = std::shared_ptr<std::atomic<bool>>;

    explicit TilePhotoCache(qint64 budgetBytes);
    ~TilePhotoCache();
    TilePhotoCache(const TilePhotoCache &) = delete;
    TilePhotoCache &operator=(const TilePhotoCache &) = delete;

    // The grid's cache, 64 MB.
    static TilePhotoCache &instance();

    // The decoded photo (a null image when its file could not be read as one); nothing when it
    // has not been decoded.
    std::optional<QImage> find(const Key &key);
    // Decodes the photo on the pool unless it is decoded or under way; done runs on the GUI
    // thread with the image, unless cancelled is set by then.
    void decode(const Request &request, const Cancelled &cancelled, Done done);
    // Decodes the photo ahead of need, after the photos tiles wait for.
    void prefetch(const Request &request);
    // Drops the decoded photos that are not in keep, and cancels their decodes that no tile
    // waits for: a cancelled decode that has not started never runs, one that has finished
    // brings nothing back.
    void retainOnly(const QSet<Key> &keep);
    void clear();

    qint64 bytes() const;
    int decodedCount() const { return int(decoded.count()); }
    int pendingCount() const { return int(pending.size()); }

    // The pool's work: reads the cached photo at the requested pixels; null when the file is
    // gone, too large or not an image.
    static QImage decodePhoto(const Request &request);

private:
    struct Job
    {
        std::atomic<bool> cancelled = false;
    };
    struct Waiter
    {
        Cancelled cancelled;
        Done done;
    };
    struct Pending
    {
        std::shared_ptr<Job> job;
        QList<Waiter> waiters;
    };

    void start(const Request &request, QThread::Priority priority);
    void finished(const Key &key, const std::shared_ptr<Job> &job, const QImage &image);

    // Costs in KiB.
    QCache<Key, QImage> decoded;
    QHash<Key, Pending> pending;
    // Results posted back reach the cache only while it exists.
    std::shared_ptr<TilePhotoCache *> alive;
};

size_t qHash(const TilePhotoCache::Key &key, size_t seed = 0);
