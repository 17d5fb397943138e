#include "platform/cachelimit.h"

#include "platform/cachedirectory.h"
#include "platform/defaultskeys.h"
#include "platform/userdefaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <limits>

namespace {

QFileInfoList cacheFiles()
{
    return QDir(CacheDirectory::path()).entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace

qint64 CacheLimit::size()
{
    qint64 total = 0;
    for (const QFileInfo &file : cacheFiles())
        total += file.size();
    return total;
}

qint64 CacheLimit::trim(qint64 limit, const QSet<QString> &kept)
{
    QFileInfoList files = cacheFiles();
    qint64 total = 0;
    for (const QFileInfo &file : files)
        total += file.size();
    std::sort(files.begin(), files.end(), [](const QFileInfo &a, const QFileInfo &b) {
        return a.lastModified() < b.lastModified();
    });
    qint64 removed = 0;
    for (const QFileInfo &file : files) {
        if (total - removed <= limit)
            break;
        if (kept.contains(file.fileName()))
            continue;
        if (QFile::remove(file.filePath()))
            removed += file.size();
    }
    return removed;
}

std::optional<qint64> CacheLimit::parse(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^\\s*(\\d{1,15})\\s*([KMG]?)B?\\s*$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const qint64 number = match.captured(1).toLongLong();
    const QString unit = match.captured(2).toUpper();
    const int shift = unit == u"K" ? 10 : unit == u"M" ? 20 : unit == u"G" ? 30 : 0;
    if (number > (std::numeric_limits<qint64>::max() >> shift))
        return std::nullopt;
    return number << shift;
}

qint64 CacheLimit::stored()
{
    bool ok = false;
    const qint64 bytes
        = UserDefaults::standard().objectForKey(DefaultsKeys::cacheLimit).toLongLong(&ok);
    return ok && bytes >= 0 ? bytes : defaultBytes;
}

void CacheLimit::store(qint64 bytes)
{
    UserDefaults::standard().setObject(QVariant(bytes), DefaultsKeys::cacheLimit);
}
