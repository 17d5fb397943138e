#include "platform/userdefaults.h"

#include "platform/storeproblems.h"

#include <QCborArray>
#include <QCoreApplication>
#include <QMutex>
#include <QSettings>

#include <optional>

namespace {

QMutex storeFileMutex;
QString overrideFile;
std::optional<QVariantMap> memoryStore; // under storeFileMutex
// The memory store stands in for a file that could not be written.
bool memoryIsFallback = false;

// Syncs settings; when the file cannot be written, keeps every value (the new one too) in memory
// from now on, so this run goes on as if it had been written, and tells the user.
bool written(QSettings &settings)
{
    settings.sync();
    if (settings.status() != QSettings::AccessError)
        return true;
    QVariantMap values;
    for (const QString &key : settings.allKeys())
        values.insert(key, settings.value(key));
    {
        QMutexLocker lock(&storeFileMutex);
        memoryStore = values;
        memoryIsFallback = true;
    }
    StoreProblems::instance().report(StoreProblems::Store::Settings, settings.fileName());
    return false;
}

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
    if (memoryIsFallback) {
        memoryStore.reset();
        memoryIsFallback = false;
    }
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
    memoryIsFallback = false;
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

bool UserDefaults::setObject(const QVariant &value, QAnyStringView key)
{
    {
        QMutexLocker lock(&storeFileMutex);
        if (memoryStore) {
            memoryStore->insert(key.toString(), value);
            return !memoryIsFallback;
        }
    }
    // An INI file writes an empty list as an invalid value, which reads back as no list at all
    // once the file is read anew; an empty CBOR array is kept as what it is.
    const bool emptyList = value.typeId() == QMetaType::QVariantList && value.toList().isEmpty();
    auto settings = open();
    settings->setValue(key, emptyList ? QVariant::fromValue(QCborArray()) : value);
    return written(*settings);
}

bool UserDefaults::removeObjectForKey(QAnyStringView key)
{
    {
        QMutexLocker lock(&storeFileMutex);
        if (memoryStore) {
            memoryStore->remove(key.toString());
            return !memoryIsFallback;
        }
    }
    auto settings = open();
    settings->remove(key);
    return written(*settings);
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

bool UserDefaults::setFloat(float value, QAnyStringView key)
{
    return setObject(QVariant::fromValue(value), key);
}

double UserDefaults::doubleForKey(QAnyStringView key) const
{
    bool ok = false;
    const double value = objectForKey(key).toDouble(&ok);
    return ok ? value : 0.0;
}

bool UserDefaults::setDouble(double value, QAnyStringView key)
{
    return setObject(value, key);
}

bool UserDefaults::boolForKey(QAnyStringView key) const
{
    return objectForKey(key).toBool();
}

bool UserDefaults::setBool(bool value, QAnyStringView key)
{
    return setObject(value, key);
}

bool UserDefaults::synchronize()
{
    {
        QMutexLocker lock(&storeFileMutex);
        if (memoryStore)
            return !memoryIsFallback;
    }
    return written(*open());
}
