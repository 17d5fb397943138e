#include "grid/tilephotocache.h"

#include "platform/imageutils.h"
#include "platform/mainqueue.h"
#include "platform/pagecache.h"
#include "scrape/parsedlink.h"

#include <QImageReader>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr qreal photoCornerRadius = 3;
constexpr qint64 gridBudgetBytes = 64LL * 1024 * 1024;

// Paints the card's white over the photo's corners outside a rounded rectangle of radius: only
// the four corner squares are touched, not the whole photo.
void roundCorners(QImage &image, qreal radius)
{
    if (radius <= 0)
        return;
    const QRectF whole(QPointF(), QSizeF(image.size()));
    QPainterPath rounded;
    rounded.addRoundedRect(whole, radius, radius);
    const qreal side = std::ceil(radius) + 1;
    QPainterPath corners;
    for (const QPointF &corner :
         { whole.topLeft(), whole.topRight() - QPointF(side, 0),
           whole.bottomLeft() - QPointF(0, side), whole.bottomRight() - QPointF(side, side) }) {
        corners.addRect(QRectF(corner, QSizeF(side, side)));
    }
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(corners.subtracted(rounded), Qt::white);
}

int costOf(const QImage &image)
{
    return std::max(1, int(image.sizeInBytes() / 1024));
}

} // namespace

size_t qHash(const TilePhotoCache::Key &key, size_t seed)
{
    return qHashMulti(seed, key.url, key.pixels.width(), key.pixels.height());
}

TilePhotoCache::TilePhotoCache(qint64 budgetBytes)
    : decoded(int(std::max<qint64>(1, budgetBytes / 1024)))
    , alive(std::make_shared<TilePhotoCache *>(this))
{
}

TilePhotoCache::~TilePhotoCache()
{
    clear();
}

TilePhotoCache &TilePhotoCache::instance()
{
    static TilePhotoCache cache(gridBudgetBytes);
    return cache;
}

std::optional<QImage> TilePhotoCache::find(const Key &key)
{
    if (const QImage *image = decoded.object(key))
        return *image;
    return std::nullopt;
}

void TilePhotoCache::decode(const Request &request, const Cancelled &cancelled, Done done)
{
    if (const std::optional<QImage> image = find(request.key)) {
        done(*image);
        return;
    }
    // A decode only prefetched waits behind the ones tiles wait for: start it again ahead.
    const auto entry = pending.find(request.key);
    if (entry != pending.end() && entry->waiters.isEmpty()) {
        entry->job->cancelled.store(true);
        pending.erase(entry);
    }
    start(request, QThread::HighPriority);
    pending[request.key].waiters.append({ cancelled, std::move(done) });
}

void TilePhotoCache::prefetch(const Request &request)
{
    if (decoded.contains(request.key))
        return;
    start(request, QThread::NormalPriority);
}

void TilePhotoCache::start(const Request &request, QThread::Priority priority)
{
    if (pending.contains(request.key))
        return;
    auto job = std::make_shared<Job>();
    pending.insert(request.key, { job, {} });
    MainQueue::runInBackground(
        [request, job, self = std::weak_ptr<TilePhotoCache *>(alive)] {
            if (job->cancelled.load())
                return;
            const QImage image = decodePhoto(request);
            if (job->cancelled.load())
                return;
            MainQueue::post([key = request.key, job, image, self] {
                if (const auto cache = self.lock())
                    (*cache)->finished(key, job, image);
            });
        },
        priority);
}

void TilePhotoCache::finished(const Key &key, const std::shared_ptr<Job> &job, const QImage &image)
{
    const auto entry = pending.find(key);
    if (entry == pending.end() || entry->job != job)
        return;
    const QList<Waiter> waiters = entry->waiters;
    pending.erase(entry);
    decoded.insert(key, new QImage(image), costOf(image));
    for (const Waiter &waiter : waiters) {
        if (!waiter.cancelled || !waiter.cancelled->load())
            waiter.done(image);
    }
}

void TilePhotoCache::retainOnly(const QSet<Key> &keep)
{
    const QList<Key> keys = decoded.keys();
    for (const Key &key : keys) {
        if (!keep.contains(key))
            decoded.remove(key);
    }
    for (auto entry = pending.begin(); entry != pending.end();) {
        const bool awaited
            = std::any_of(entry->waiters.cbegin(), entry->waiters.cend(), [](const Waiter &waiter) {
                  return !waiter.cancelled || !waiter.cancelled->load();
              });
        if (keep.contains(entry.key()) || awaited) {
            ++entry;
            continue;
        }
        entry->job->cancelled.store(true);
        entry = pending.erase(entry);
    }
}

void TilePhotoCache::clear()
{
    for (const Pending &entry : std::as_const(pending))
        entry.job->cancelled.store(true);
    pending.clear();
    decoded.clear();
}

qint64 TilePhotoCache::bytes() const
{
    return qint64(decoded.totalCost()) * 1024;
}

QImage TilePhotoCache::decodePhoto(const Request &request)
{
    const QString &url = request.key.url;
    const QSize pixels = request.key.pixels;
    if (pixels.isEmpty())
        return {};
    const bool hasFittedCopy = ParsedLink::isCachedImageWithUrl(url, request.fitted);
    const std::unique_ptr<QIODevice> photo = PageCache::openPhoto(
        hasFittedCopy ? ParsedLink::getImagePathFromStringURL(url, request.fitted)
                      : ParsedLink::getImagePathFromStringURL(url));
    if (!photo)
        return {};
    QImageReader reader(photo.get());
    reader.setAutoTransform(true);
    const QSize original = reader.size();
    if (!original.isValid()
        || qint64(original.width()) * original.height() > ImageUtils::maxImagePixels)
        return {};
    if (!hasFittedCopy)
        reader.setScaledSize(pixels);
    QImage image = reader.read();
    if (image.isNull())
        return {};
    if (image.size() != pixels)
        image = image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (image.format() != QImage::Format_RGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    roundCorners(image,
                 std::min({ photoCornerRadius * request.scale, pixels.width() / 2.0,
                            pixels.height() / 2.0 }));
    image.setDevicePixelRatio(request.scale);
    return image;
}
