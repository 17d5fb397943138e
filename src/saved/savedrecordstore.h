#pragma once

#include <QCborMap>
#include <QList>
#include <QString>

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
// Replaces the stored list with the archives of records, in order.
void write(QLatin1StringView key, const QList<Record> &records);

QByteArray archive(const Record &record);
std::optional<Record> unarchive(const QByteArray &bytes);

} // namespace SavedRecordStore
