#include "platform/userdefaults.h"

#include <QCborArray>
#include <QCoreApplication>
#include <QMutex>
#include <QSettings>

#include <optional>

namespace {

QMutex storeFileMutex;
QString overrideFile;
std::optional<QVariantMap> memoryStore; // under storeFileMutex

} // namespace

UserDefaults &UserDefaults::standard()
{
    static UserDefaults defaults;
    return defaults;
}

void UserDefaults::setStoreFile(const QString &iniPath)
{
    QMutexLocker lock(&storeFileMutex);
    overrideFile = iniPath;
}

QString UserDefaults::storeFile()
{
    return standard().open()->fileName();
}

void UserDefaults::setMemoryStore(bool inMemory)
{
    QMutexLocker lock(&storeFileMutex);
    if (inMemory)
        memoryStore.emplace();
    else
        memoryStore.reset();
}

std::unique_ptr<QSettings> UserDefaults::open() const
{
    QString file;
    {
        QMutexLocker lock(&storeFileMutex);
        file = overrideFile;
    }
    if (!file.isEmpty())
        return std::make_unique<QSettings>(file, QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("Listoro"), QStringLiteral("Listoro"));
}

QVariant UserDefaults::objectForKey(QAnyStringView key) const
{
    {
        QMutexLocker lock(&storeFileMutex);
        if (memoryStore)
            return memoryStore->value(key.toString());
    }
    return open()->value(key);
}

void UserDefaults::setObject(const QVariant &value, QAnyStringView key)
{
    {
        QMutexLocker lock(&storeFileMutex);
        if (memoryStore) {
            memoryStore->insert(key.toString(), value);
            return;
        }
    }
    // An INI file writes an empty list as an invalid value, which reads back as no list at all
    // once the file is read anew; an empty CBOR array is kept as what it is.
    const bool emptyList = value.typeId() == QMetaType::QVariantList && value.toList().isEmpty();
    auto settings = open();
    settings->setValue(key, emptyList ? QVariant::fromValue(QCborArray()) : value);
    settings->sync();
}

void UserDefaults::removeObjectForKey(QAnyStringView key)
{
    {
        QMutexLocker lock(&storeFileMutex);
        if (memoryStore) {
            memoryStore->remove(key.toString());
            return;
        }
    }
    auto settings = open();
    settings->remove(key);
    settings->sync();
}

QVariantList UserDefaults::arrayForKey(QAnyStringView key) const
{
    const QVariant value = objectForKey(key);
    if (value.typeId() == QMetaType::QVariantList)
        return value.toList();
    if (value.typeId() == QMetaType::QCborArray)
        return value.value<QCborArray>().toVariantList();
    if (value.typeId() == QMetaType::QStringList) {
        QVariantList list;
        for (const QString &s : value.toStringList())
            list.append(s);
        return list;
    }
    return {};
}

QByteArray UserDefaults::dataForKey(QAnyStringView key) const
{
    const QVariant value = objectForKey(key);
    if (value.typeId() != QMetaType::QByteArray)
        return {};
    return value.toByteArray();
}

float UserDefaults::floatForKey(QAnyStringView key) const
{
    bool ok = false;
    const float value = objectForKey(key).toFloat(&ok);
    return ok ? value : 0.0f;
}

void UserDefaults::setFloat(float value, QAnyStringView key)
{
    setObject(QVariant::fromValue(value), key);
}

bool UserDefaults::boolForKey(QAnyStringView key) const
{
    return objectForKey(key).toBool();
}

void UserDefaults::setBool(bool value, QAnyStringView key)
{
    setObject(value, key);
}

void UserDefaults::synchronize()
{
    {
        QMutexLocker lock(&storeFileMutex);
        if (memoryStore)
            return;
    }
    open()->sync();
}
