#include "scrape/parsedlink.h"

#include "platform/httpclient.h"
#include "platform/imageutils.h"
#include "platform/mainqueue.h"
#include "platform/pagecache.h"
#include "platform/url.h"
#include "scrape/photofetcher.h"

#include <QImageReader>

#include <QLoggingCategory>
#include <algorithm>

Q_LOGGING_CATEGORY(lcParsedLink, "listoro.parsedlink")

ParsedLink::ParsedLink(std::weak_ptr<LinkExtractorInterface> extractor)
    : m_extractor(std::move(extractor))
{
}

ParsedLink::~ParsedLink()
{
    for (const auto &request : std::as_const(photoRequests))
        request->drop();
    for (const auto &fetch : std::as_const(fetches))
        fetch->abort();
}

std::optional<QStringList> ParsedLink::imagesUrls() const
{
    QMutexLocker locker(&mutex);
    return m_imagesUrls;
}

void ParsedLink::setImagesUrls(const std::optional<QStringList> &urls)
{
    QMutexLocker locker(&mutex);
    m_imagesUrls = urls;
}

std::optional<QMap<int, QString>> ParsedLink::images() const
{
    QMutexLocker locker(&mutex);
    return m_images;
}

int ParsedLink::imagesCount() const
{
    QMutexLocker locker(&mutex);
    return m_images ? int(m_images->size()) : 0;
}

std::optional<QMap<int, int>> ParsedLink::lineHeights() const
{
    QMutexLocker locker(&mutex);
    return m_lineHeights;
}

std::optional<QHash<QString, FloatSize>> ParsedLink::imagesSizes() const
{
    QMutexLocker locker(&mutex);
    return m_imagesSizes;
}

FloatSize ParsedLink::size() const
{
    QMutexLocker locker(&mutex);
    return m_size;
}

void ParsedLink::setSize(FloatSize size)
{
    QMutexLocker locker(&mutex);
    m_size = size;
}

QSet<int> ParsedLink::failedImages() const
{
    QMutexLocker locker(&mutex);
    return m_failedImages;
}

QList<AddressPolicy::Refusal> ParsedLink::refusedImages() const
{
    QMutexLocker locker(&mutex);
    return m_refusedImages;
}

void ParsedLink::setRefusedImages(const QList<AddressPolicy::Refusal> &refused)
{
    QMutexLocker locker(&mutex);
    m_refusedImages = refused;
}

int ParsedLink::revision() const
{
    return m_revision.load();
}

int ParsedLink::settledImagesCount() const
{
    QMutexLocker locker(&mutex);
    if (!m_images)
        return 0;
    int count = int(m_images->size());
    for (int index : m_failedImages) {
        if (!m_images->contains(index))
            ++count;
    }
    return count;
}

bool ParsedLink::settled() const
{
    if (m_done || m_detailFailed)
        return true;
    QMutexLocker locker(&mutex);
    if (!m_images || !m_imagesUrls)
        return false;
    for (int i = 0; i < m_imagesUrls->size(); ++i) {
        if (!m_images->contains(i) && !m_failedImages.contains(i))
            return false;
    }
    return true;
}

// Every change of a record goes through here: its revision moves on, so views drawn before it
// are stale, and the extractor hears of it.
void ParsedLink::setOtherPostings(const QList<OtherPosting> &postings)
{
    if (postings == m_otherPostings)
        return;
    m_otherPostings = postings;
    ++m_revision;
}

QDateTime ParsedLink::firstPosted() const
{
    QDateTime first = m_posted;
    for (const OtherPosting &other : m_otherPostings) {
        if (other.posted.isValid() && (!first.isValid() || other.posted < first))
            first = other.posted;
    }
    return first;
}

void ParsedLink::tellExtractor()
{
    ++m_revision;
    const auto self = weak_from_this().lock();
    if (const auto extractor = m_extractor.lock(); extractor && self)
        extractor->refresh(self);
}

void ParsedLink::markDetailFailed(const QString &why, bool refused)
{
    m_detailFailure = why.isNull() ? QStringLiteral("") : why;
    m_refused = refused;
    m_detailFailed = true;
    tellExtractor();
}

void ParsedLink::refresh()
{
    tellExtractor();
    downloadImages();
}

void ParsedLink::downloadImages()
{
    m_done = false;
    {
        QMutexLocker locker(&mutex);
        if (m_images)
            return;
        m_images.emplace();
        m_lineHeights.emplace();
        m_imagesSizes.emplace();
    }
    if (!m_imagesUrls || m_imagesUrls->isEmpty()) {
        m_done = true;
        tellExtractor();
        return;
    }
    for (int i = 0; i < int(imagesUrls().value_or(QStringList()).size()); ++i)
        downloadImageInThread(i);
}

void ParsedLink::downloadImageInThread(int index)
{
    const std::optional<QStringList> urls = imagesUrls();
    if (!urls || index < 0 || index >= urls->size())
        return;
    const QString photo = urls->at(index);
    // The first index of a photo listed more than once fetches it for all of them.
    if (urls->indexOf(photo) < index)
        return;
    const std::weak_ptr<ParsedLink> weak = weak_from_this();

    const std::optional<Url> url = Url::fromString(photo);
    if (!url || !url->hasHost() || !Url::isFetchableScheme(url->scheme())) {
        MainQueue::post([weak, photo] {
            if (const auto self = weak.lock())
                self->failPhoto(photo);
        });
        return;
    }
    if (isCachedImageWithUrl(photo)) {
        MainQueue::post([weak, photo] {
            if (const auto self = weak.lock())
                self->completePhoto(photo, true);
        });
        return;
    }
    if (stopped)
        return;
    const AddressPolicy::Reach reach = m_reach.value_or(AddressPolicy::reachFrom(m_url));
    photoRequests.append(PhotoFetcher::fetch(
        url->toQUrl(), photo, reach, [weak, photo](const PhotoFetcher::Result &result) {
            const auto self = weak.lock();
            if (!self || self->stopped)
                return;
            self->recordSize(photo, result.size);
            // No answer: the photo never completes. An answer that is no photo completes it,
            // with no file and no size.
            if (result.outcome == PhotoFetcher::Outcome::Failed)
                self->failPhoto(photo);
            else
                self->completePhoto(photo, result.outcome == PhotoFetcher::Outcome::Stored);
        }));
}

void ParsedLink::getContentsOfURL(const QUrl &url,
                                  std::function<void(const QByteArray &, bool)> done)
{
    if (stopped)
        return;
    auto fetch = std::make_shared<std::shared_ptr<HttpFetch>>();
    const std::weak_ptr<ParsedLink> weak = weak_from_this();
    *fetch = HttpClient::instance().get(
        url, nullptr,
        [weak, fetch, done = std::move(done)](const HttpResult &r) {
            if (const auto self = weak.lock())
                self->fetches.removeOne(*fetch);
            // An error status may carry a picture too (a placeholder), which must not stand in
            // for the photo for good.
            done(r.ok() ? r.body : QByteArray(), r.ok() && r.isSuccessStatus());
        },
        m_reach.value_or(AddressPolicy::reachFrom(m_url)));
    fetches.append(*fetch);
}

void ParsedLink::completePhoto(const QString &url, bool isImage)
{
    if (stopped)
        return;
    {
        QMutexLocker locker(&mutex);
        if (!m_images || !m_imagesUrls)
            return;
        for (int index = 0; index < m_imagesUrls->size(); ++index) {
            if (m_imagesUrls->at(index) != url)
                continue;
            m_images->insert(index, url);
            if (!isImage)
                m_failedImages.insert(index);
        }
        checkAllImagesDownloaded();
    }
    tellExtractor();
}

void ParsedLink::failPhoto(const QString &url)
{
    if (stopped)
        return;
    {
        QMutexLocker locker(&mutex);
        if (!m_imagesUrls)
            return;
        for (int index = 0; index < m_imagesUrls->size(); ++index) {
            if (m_imagesUrls->at(index) == url)
                m_failedImages.insert(index);
        }
    }
    tellExtractor();
}

void ParsedLink::checkAllImagesDownloaded()
{
    QMutexLocker locker(&mutex);
    const int count = m_imagesUrls ? int(m_imagesUrls->size()) : 0;
    for (int i = 0; i < count; ++i) {
        if (!m_images || !m_images->contains(i)) {
            m_done = false;
            return;
        }
    }
    m_done = true;
}

bool ParsedLink::cacheImageOnDisk(const QByteArray &bytes, const QString &url)
{
    const FloatSize size = bytes.isEmpty() ? FloatSize() : PhotoFetcher::store(bytes, url);
    recordSize(url, size);
    return !size.isZero();
}

void ParsedLink::recordSize(const QString &url, FloatSize size)
{
    QMutexLocker locker(&mutex);
    if (m_imagesSizes)
        m_imagesSizes->insert(url, size);
}

FloatSize ParsedLink::getSizeForImageByUrl(const QString &url) const
{
    if (!isCachedImageWithUrl(url))
        return {};
    {
        QMutexLocker locker(&mutex);
        if (m_imagesSizes && m_imagesSizes->contains(url))
            return m_imagesSizes->value(url);
    }
    // Reading the header is enough to know the size.
    const std::unique_ptr<QIODevice> photo = PageCache::openPhoto(getImagePathFromStringURL(url));
    if (!photo)
        return {};
    QImageReader reader(photo.get());
    const QSize size = reader.size();
    if (!size.isValid())
        return {};
    return { float(size.width()), float(size.height()) };
}

int ParsedLink::retryFailedPhotos()
{
    if (stopped)
        return 0;
    QList<int> retry;
    {
        QMutexLocker locker(&mutex);
        if (!m_images || m_failedImages.isEmpty())
            return 0;
        retry = m_failedImages.values();
        for (int index : std::as_const(retry))
            m_images->remove(index);
        m_failedImages.clear();
        m_done = false;
    }
    std::sort(retry.begin(), retry.end());
    tellExtractor();
    for (int index : std::as_const(retry))
        downloadImageInThread(index);
    return int(retry.size());
}

void ParsedLink::stopDownloads()
{
    stopped = true;
    for (const auto &request : std::exchange(photoRequests, {}))
        request->drop();
    for (const auto &fetch : std::exchange(fetches, {}))
        fetch->abort();
}

QString ParsedLink::cacheFileName(const QString &url)
{
    return PageCache::fileName(url);
}

QString ParsedLink::getFilePathFromStringURL(const QString &url)
{
    return PageCache::pagePath(url);
}

QString ParsedLink::getImagePathFromStringURL(const QString &url)
{
    return PageCache::photoPath(url);
}

QString ParsedLink::getImagePathFromStringURL(const QString &url, FloatSize fitSize)
{
    return PageCache::photoPath(url, fitSize);
}

void ParsedLink::cacheUrlOnDisk(const QByteArray &data, const QString &url)
{
    if (!PageCache::storePage(data, url))
        qCWarning(lcParsedLink) << "could not cache page" << url;
}

bool ParsedLink::isCachedUrl(const QString &url)
{
    return PageCache::hasPage(url);
}

bool ParsedLink::isCachedImageWithUrl(const QString &url)
{
    return PageCache::hasPhoto(url);
}

bool ParsedLink::isCachedImageWithUrl(const QString &url, FloatSize fitSize)
{
    return PageCache::hasPhoto(url, fitSize);
}

void ParsedLink::resizeImageOnDiskWithUrl(const QString &url, FloatSize fitSize)
{
    const QImage full = ImageUtils::decodeImage(PageCache::readPhoto(PageCache::photoPath(url)));
    const QImage scaled = ImageUtils::imageWithImage(full, fitSize);
    const QByteArray jpeg = ImageUtils::encodeJpeg(scaled);
    if (!jpeg.isEmpty())
        PageCache::storePhoto(PageCache::photoPath(url, fitSize), jpeg);
}

void ParsedLink::cleanCache()
{
    PageCache::clean();
}
