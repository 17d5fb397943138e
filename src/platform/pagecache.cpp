#include "platform/pagecache.h"

#include "platform/cachedirectory.h"
#include "platform/keptphotos.h"
#include "platform/storeproblems.h"
#include "platform/url.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cmath>

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

// The name itself when it fits, otherwise a fixed-length name derived from a hash of it (the same
// for the same name).
QString fittingName(const QString &name)
{
    if (name.toUtf8().size() <= maxFileNameBytes)
        return name;
    const QByteArray hash = QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha256);
    return QStringLiteral("listoro-") + QString::fromLatin1(hash.toHex());
}

// A file looked up is a file used: its modification time is what the cache limit evicts by.
bool isFile(const QString &url, const QString &path)
{
    if (url.isEmpty() || !QFileInfo(path).isFile())
        return false;
    QFile file(path);
    if (file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        file.setFileTime(QDateTime::currentDateTimeUtc(), QFileDevice::FileModificationTime);
    return true;
}

bool isPhoto(const QString &url, const QString &path)
{
    return !url.isEmpty() && (KeptPhotos::instance().contains(path) || QFileInfo(path).isFile());
}

bool write(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace

QString PageCache::fileName(const QString &url)
{
    return fittingName(Url::percentEncoded(url));
}

QString PageCache::fittedFileName(const QString &url, FloatSize fitSize)
{
    return fittingName(Url::percentEncoded(url) + fitSuffix(fitSize));
}

QString PageCache::pagePath(const QString &url)
{
    return pathFor(fileName(url));
}

QString PageCache::photoPath(const QString &url)
{
    return pathFor(fileName(url));
}

QString PageCache::photoPath(const QString &url, FloatSize fitSize)
{
    return pathFor(fittedFileName(url, fitSize));
}

bool PageCache::hasPage(const QString &url)
{
    return isFile(url, pagePath(url));
}

bool PageCache::hasPhoto(const QString &url)
{
    return isPhoto(url, photoPath(url));
}

bool PageCache::hasPhoto(const QString &url, FloatSize fitSize)
{
    return isPhoto(url, photoPath(url, fitSize));
}

bool PageCache::writeAtomically(const QString &path, const QByteArray &bytes)
{
    if (write(path, bytes))
        return true;
    StoreProblems::instance().report(StoreProblems::Store::Cache, CacheDirectory::path());
    return false;
}

bool PageCache::storePhoto(const QString &path, const QByteArray &bytes)
{
    return writeAtomically(path, bytes) || KeptPhotos::instance().keep(path, bytes);
}

std::unique_ptr<QIODevice> PageCache::openPhoto(const QString &path)
{
    const QByteArray kept = KeptPhotos::instance().bytes(path);
    std::unique_ptr<QIODevice> device;
    if (!kept.isNull()) {
        auto buffer = std::make_unique<QBuffer>();
        buffer->setData(kept);
        device = std::move(buffer);
    } else {
        device = std::make_unique<QFile>(path);
    }
    if (!device->open(QIODevice::ReadOnly))
        return nullptr;
    return device;
}

QByteArray PageCache::readPhoto(const QString &path)
{
    const std::unique_ptr<QIODevice> device = openPhoto(path);
    return device ? device->readAll() : QByteArray();
}

bool PageCache::storePage(const QByteArray &bytes, const QString &url)
{
    return !url.isEmpty() && writeAtomically(pagePath(url), bytes);
}

void PageCache::clean()
{
    KeptPhotos::instance().clear();
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
