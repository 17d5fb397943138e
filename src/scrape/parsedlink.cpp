#include "scrape/parsedlink.h"

#include "platform/cachedirectory.h"
#include "platform/httpclient.h"
#include "platform/imageutils.h"
#include "platform/mainqueue.h"
#include "platform/url.h"
#include "scrape/urlencoding.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QLoggingCategory>
#include <QPainter>
#include <QSaveFile>

Q_LOGGING_CATEGORY(lcParsedLink, "listoro.parsedlink")

namespace {

// The longest file name the file system takes, in bytes.
constexpr qsizetype maxFileNameBytes = 255;

QString pathFor(const QString &fileName)
{
    return CacheDirectory::ensureExists() + u'/' + fileName;
}

QString fitSuffix(FloatSize fitSize)
{
    // Truncated toward zero; sizes that are not finite numbers give 0.
    const auto whole = [](float v) {
        return std::isfinite(v) ? int(std::trunc(qBound(-2e9f, v, 2e9f))) : 0;
    };
    return QStringLiteral("%1x%2").arg(whole(fitSize.width)).arg(whole(fitSize.height));
}

// A name the file system takes: the name itself when it fits, otherwise a fixed-length name
// derived from a hash of it (the same for the same name).
QString fittingName(const QString &name)
{
    if (name.toUtf8().size() <= maxFileNameBytes)
        return name;
    const QByteArray hash = QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha256);
    return QStringLiteral("listoro-") + QString::fromLatin1(hash.toHex());
}

bool writeAtomically(const QString &path, const QByteArray &data)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QByteArray encodeJpeg(const QImage &image)
{
    QImage opaque = image;
    if (image.hasAlphaChannel()) {
        // JPEG has no transparency: lay the photo on white rather than on black.
        opaque = QImage(image.size(), QImage::Format_RGB32);
        opaque.fill(Qt::white);
        QPainter painter(&opaque);
        painter.drawImage(0, 0, image);
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(100);
    if (!writer.write(opaque))
        return {};
    return jpeg;
}

QImage readChecked(QImageReader &reader)
{
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() > ParsedLink::maxImagePixels)
        return {};
    return reader.read();
}

} // namespace

ParsedLink::ParsedLink(std::weak_ptr<LinkExtractorInterface> extractor)
    : m_extractor(std::move(extractor))
{
}

ParsedLink::~ParsedLink()
{
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
void ParsedLink::tellExtractor()
{
    ++m_revision;
    const auto self = weak_from_this().lock();
    if (const auto extractor = m_extractor.lock(); extractor && self)
        extractor->refresh(self);
}

void ParsedLink::markDetailFailed(bool refused)
{
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
    getContentsOfURL(url->toQUrl(), [weak, photo](const QByteArray &bytes, bool served) {
        const auto self = weak.lock();
        if (!self || self->stopped)
            return;
        if (bytes.isEmpty() || !served) {
            // No bytes: the photo never completes. An error page completes it as bytes that are
            // no image do, even when it is a picture: it is never cached as the photo.
            self->cacheImageOnDisk(QByteArray(), photo);
            if (bytes.isEmpty())
                self->failPhoto(photo);
            else
                self->completePhoto(photo, false);
            return;
        }
        // Decoding and encoding a large photo takes a while: off the GUI thread.
        MainQueue::runInBackground([self, bytes, photo] {
            const bool isImage = self->cacheImageOnDisk(bytes, photo);
            MainQueue::post([self, photo, isImage] { self->completePhoto(photo, isImage); });
        });
    });
}

void ParsedLink::getContentsOfURL(const QUrl &url,
                                  std::function<void(const QByteArray &, bool)> done)
{
    if (stopped)
        return;
    auto fetch = std::make_shared<std::shared_ptr<HttpFetch>>();
    const std::weak_ptr<ParsedLink> weak = weak_from_this();
    *fetch = HttpClient::instance().get(
        url, nullptr, [weak, fetch, done = std::move(done)](const HttpResult &r) {
            if (const auto self = weak.lock())
                self->fetches.removeOne(*fetch);
            // An error status may carry a picture too (a placeholder), which must not stand in
            // for the photo for good.
            done(r.ok() ? r.body : QByteArray(), r.ok() && r.isSuccessStatus());
        });
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
    const QString path = getImagePathFromStringURL(url);
    const QImage image = decodeImage(bytes);
    FloatSize size;
    if (!image.isNull()) {
        const QByteArray jpeg = encodeJpeg(image);
        if (jpeg.isEmpty() || !writeAtomically(path, jpeg))
            qCWarning(lcParsedLink) << "could not store photo" << url;
        size = { float(image.width()), float(image.height()) };
    }
    QMutexLocker locker(&mutex);
    if (m_imagesSizes)
        m_imagesSizes->insert(url, size);
    return !image.isNull();
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
    QImageReader reader(getImagePathFromStringURL(url));
    const QSize size = reader.size();
    if (!size.isValid())
        return {};
    return { float(size.width()), float(size.height()) };
}

void ParsedLink::stopDownloads()
{
    stopped = true;
    const auto running = std::exchange(fetches, {});
    for (const auto &fetch : running)
        fetch->abort();
}

QImage ParsedLink::decodeImage(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return {};
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    return readChecked(reader);
}

QImage ParsedLink::decodeImageFile(const QString &path)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    return readChecked(reader);
}

QString ParsedLink::cacheFileName(const QString &url)
{
    return fittingName(urlEncodeUsingEncoding(url));
}

QString ParsedLink::getFilePathFromStringURL(const QString &url)
{
    return pathFor(cacheFileName(url));
}

QString ParsedLink::getImagePathFromStringURL(const QString &url)
{
    return pathFor(cacheFileName(url));
}

QString ParsedLink::getImagePathFromStringURL(const QString &url, FloatSize fitSize)
{
    return pathFor(fittingName(urlEncodeUsingEncoding(url) + fitSuffix(fitSize)));
}

void ParsedLink::cacheUrlOnDisk(const QByteArray &data, const QString &url)
{
    if (!writeAtomically(getFilePathFromStringURL(url), data))
        qCWarning(lcParsedLink) << "could not cache page" << url;
}

// An empty address names no file: its path would be the cache directory itself.
bool ParsedLink::isCachedUrl(const QString &url)
{
    return !url.isEmpty() && QFileInfo(getFilePathFromStringURL(url)).isFile();
}

bool ParsedLink::isCachedImageWithUrl(const QString &url)
{
    return !url.isEmpty() && QFileInfo(getImagePathFromStringURL(url)).isFile();
}

bool ParsedLink::isCachedImageWithUrl(const QString &url, FloatSize fitSize)
{
    return !url.isEmpty() && QFileInfo(getImagePathFromStringURL(url, fitSize)).isFile();
}

void ParsedLink::resizeImageOnDiskWithUrl(const QString &url, FloatSize fitSize)
{
    const QImage full = decodeImageFile(getImagePathFromStringURL(url));
    const QImage scaled = ImageUtils::imageWithImage(full, fitSize);
    if (scaled.isNull())
        return;
    const QByteArray jpeg = encodeJpeg(scaled);
    if (!jpeg.isEmpty())
        writeAtomically(getImagePathFromStringURL(url, fitSize), jpeg);
}

void ParsedLink::cleanCache()
{
    QDir dir(CacheDirectory::ensureExists());
    const QStringList entries
        = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        const QString path = dir.filePath(entry);
        if (QFileInfo(path).isDir())
            QDir(path).removeRecursively();
        else
            QFile::remove(path);
    }
}
