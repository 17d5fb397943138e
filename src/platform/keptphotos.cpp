#include "platform/keptphotos.h"

#include <algorithm>

namespace {

constexpr qint64 defaultBudgetBytes = 64LL * 1024 * 1024;

qsizetype costOf(const QByteArray &bytes)
{
    return std::max<qsizetype>(1, bytes.size() / 1024);
}

} // namespace

KeptPhotos &KeptPhotos::instance()
{
    static KeptPhotos kept(defaultBudgetBytes);
    return kept;
}

KeptPhotos::KeptPhotos(qint64 budgetBytes)
    : photos(qsizetype(std::max<qint64>(1, budgetBytes / 1024)))
{
}

bool KeptPhotos::keep(const QString &path, const QByteArray &bytes)
{
    QMutexLocker lock(&mutex);
    return photos.insert(path, new QByteArray(bytes), costOf(bytes));
}

bool KeptPhotos::contains(const QString &path) const
{
    QMutexLocker lock(&mutex);
    return photos.contains(path);
}

QByteArray KeptPhotos::bytes(const QString &path) const
{
    QMutexLocker lock(&mutex);
    const QByteArray *found = photos.object(path);
    return found ? *found : QByteArray();
}

void KeptPhotos::clear()
{
    QMutexLocker lock(&mutex);
    photos.clear();
}

qint64 KeptPhotos::size() const
{
    QMutexLocker lock(&mutex);
    return qint64(photos.totalCost()) * 1024;
}
