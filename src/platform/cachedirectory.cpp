#include "platform/cachedirectory.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QStandardPaths>

namespace {

QMutex mutex;
QString overridePath;

} // namespace

namespace CacheDirectory {

QString path()
{
    {
        QMutexLocker lock(&mutex);
        if (!overridePath.isEmpty())
            return overridePath;
    }
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
}

void setPath(const QString &directory)
{
    QMutexLocker lock(&mutex);
    overridePath = directory.isEmpty() ? QString() : QDir(directory).absolutePath();
}

QString ensureExists()
{
    QString dir = path();
    const QFileInfo info(dir);
    if (!info.exists())
        QDir().mkpath(dir);
    return dir;
}

} // namespace CacheDirectory
