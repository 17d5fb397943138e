#include "saved/savedrecordstore.h"

#include "platform/userdefaults.h"

#include <QCborValue>

namespace SavedRecordStore {

namespace {

const QString titleKey = QStringLiteral("title");
const QString urlKey = QStringLiteral("url");

QString readText(const QCborMap &map, const QString &key)
{
    const QCborValue value = map.value(key);
    if (!value.isString())
        return {};
    const QString text = value.toString();
    return text.isNull() ? QStringLiteral("") : text;
}

} // namespace

QByteArray archive(const Record &record)
{
    QCborMap map;
    if (!record.title.isNull())
        map.insert(titleKey, record.title);
    if (!record.url.isNull())
        map.insert(urlKey, record.url);
    return QCborValue(map).toCbor();
}

std::optional<Record> unarchive(const QByteArray &bytes)
{
    QCborParserError error;
    const QCborValue value = QCborValue::fromCbor(bytes, &error);
    if (error.error != QCborError::NoError || !value.isMap())
        return std::nullopt;
    const QCborMap map = value.toMap();
    return Record{ readText(map, titleKey), readText(map, urlKey) };
}

QList<Record> read(QLatin1StringView key)
{
    QList<Record> records;
    const QVariantList stored = UserDefaults::standard().arrayForKey(key);
    for (const QVariant &element : stored) {
        if (element.typeId() != QMetaType::QByteArray)
            continue;
        if (std::optional<Record> record = unarchive(element.toByteArray()))
            records.append(*record);
    }
    return records;
}

bool write(QLatin1StringView key, const QList<Record> &records)
{
    QVariantList list;
    list.reserve(records.size());
    for (const Record &record : records)
        list.append(archive(record));
    return UserDefaults::standard().setObject(list, key);
}

bool flush()
{
    return UserDefaults::standard().synchronize();
}

} // namespace SavedRecordStore
