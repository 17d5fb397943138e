#include "scrape/photofetcher.h"

#include "platform/httpclient.h"
#include "platform/imageutils.h"
#include "platform/mainqueue.h"
#include "platform/pagecache.h"

#include <QCoreApplication>
#include <QHash>
#include <QLoggingCategory>
#include <QThread>

Q_LOGGING_CATEGORY(lcPhotoFetcher, "listoro.photofetcher")

namespace {

// One download and the requests waiting for it.
struct Flight
{
    std::shared_ptr<HttpFetch> download;
    QList<std::weak_ptr<PhotoFetcher::Request>> waiting;
};

// Flights by photo address; touched on the GUI thread only.
QHash<QString, std::shared_ptr<Flight>> &flights()
{
    static QHash<QString, std::shared_ptr<Flight>> inFlight;
    return inFlight;
}

} // namespace

void PhotoFetcher::land(const QString &key, const Result &result)
{
    const std::shared_ptr<Flight> flight = flights().take(key);
    if (!flight)
        return;
    for (const auto &weak : std::as_const(flight->waiting)) {
        const auto request = weak.lock();
        if (request && !request->dropped) {
            request->dropped = true;
            if (const Done done = std::exchange(request->done, nullptr))
                done(result);
        }
    }
}

void PhotoFetcher::Request::drop()
{
    dropped = true;
    done = nullptr;
    const auto flight = flights().value(key);
    if (!flight)
        return;
    const bool anyone = std::any_of(flight->waiting.cbegin(), flight->waiting.cend(),
                                    [](const std::weak_ptr<Request> &weak) {
                                        const auto request = weak.lock();
                                        return request && !request->dropped;
                                    });
    if (!anyone && flight->download) {
        flight->download->abort();
        flights().remove(key);
    }
}

std::shared_ptr<PhotoFetcher::Request> PhotoFetcher::fetch(const QUrl &url, const QString &key,
                                                           AddressPolicy::Reach reach, Done done)
{
    Q_ASSERT(QThread::currentThread() == QCoreApplication::instance()->thread());
    auto request = std::make_shared<Request>();
    request->key = key;
    request->done = std::move(done);

    std::shared_ptr<Flight> &flight = flights()[key];
    if (flight) {
        flight->waiting.append(request);
        return request;
    }
    flight = std::make_shared<Flight>();
    flight->waiting.append(request);
    flight->download = HttpClient::instance().get(
        url, nullptr,
        [key](const HttpResult &r) {
            if (!r.ok() || r.body.isEmpty()) {
                land(key, { Outcome::Failed, {} });
                return;
            }
            // An error status may carry a picture too (a placeholder), which must not stand in
            // for the photo for good.
            if (!r.isSuccessStatus()) {
                land(key, { Outcome::NotAnImage, {} });
                return;
            }
            // Decoding and encoding a large photo takes a while: off the GUI thread.
            const QByteArray bytes = r.body;
            MainQueue::runInBackground([key, bytes] {
                const FloatSize size = store(bytes, key);
                MainQueue::post([key, size] {
                    land(key, { size.isZero() ? Outcome::NotAnImage : Outcome::Stored, size });
                });
            });
        },
        reach);
    return request;
}

FloatSize PhotoFetcher::store(const QByteArray &bytes, const QString &url)
{
    const QImage image = ImageUtils::decodeImage(bytes);
    if (image.isNull())
        return {};
    const QByteArray jpeg = ImageUtils::encodeJpeg(image);
    if (jpeg.isEmpty() || !PageCache::storePhoto(PageCache::photoPath(url), jpeg)) {
        qCWarning(lcPhotoFetcher) << "could not store photo" << url;
        return {};
    }
    return { float(image.width()), float(image.height()) };
}
