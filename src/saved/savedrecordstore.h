#pragma once

#include <QCborMap>
#include <QList>
#include <QString>

#include <optional>

// The stored form shared by favorites and bookmarks: under one user-defaults key, an ordered
// list whose elements are each one CBOR archive of a record ({"title", "url"}).
namespace SavedRecordStore {

struct Record
{
    QString title; // null: absent
    QString url;
};

// The records that decode, in stored order; an element that does not decode is skipped.
QList<Record> read(QLatin1StringView key);
// Replaces the stored list with the archives of records, in order. False when the store's file
// could not be written (the list is then kept for this run only).
bool write(QLatin1StringView key, const QList<Record> &records);

QByteArray archive(const Record &record);
std::optional<Record> unarchive(const QByteArray &bytes);

// Writes the store out at once; false when it cannot be.
bool flush();

// The same for a record class with title() and url() and a (title, url) constructor.
template<typename T>
QList<T> readAll(QLatin1StringView key)
{
    QList<T> list;
    for (const Record &record : read(key))
        list.append(T(record.title, record.url));
    return list;
}

template<typename T>
bool writeAll(QLatin1StringView key, const QList<T> &list)
{
    QList<Record> records;
    records.reserve(list.size());
    for (const T &item : list)
        records.append({ item.title(), item.url() });
    return write(key, records);
}

// Appends item after the stored ones and flushes the store.
template<typename T>
bool append(QLatin1StringView key, const T &item)
{
    QList<T> list = readAll<T>(key);
    list.append(item);
    const bool written = writeAll(key, list);
    return flush() && written;
}

} // namespace SavedRecordStore
