#pragma once

#include <QByteArray>
#include <QCache>
#include <QMutex>
#include <QString>

// Photos the cache directory would not take, kept in memory by their cache path so that tiles
// still show them: bounded by bytes, the least recently used dropped first. Any thread.
class KeptPhotos
{
public:
    static KeptPhotos &instance();

    explicit KeptPhotos(qint64 budgetBytes);
    KeptPhotos(const KeptPhotos &) = delete;
    KeptPhotos &operator=(const KeptPhotos &) = delete;

    // False when bytes alone exceed the budget.
    bool keep(const QString &path, const QByteArray &bytes);
    bool contains(const QString &path) const;
    // Null when the photo is not kept.
    QByteArray bytes(const QString &path) const;
    void clear();
    qint64 size() const;

private:
    mutable QMutex mutex;
    // Costs in KiB.
    mutable QCache<QString, QByteArray> photos;
};
