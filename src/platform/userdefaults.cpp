#include "platform/userdefaults.h"

#include <QCoreApplication>
#include <QMutex>
#include <QSettings>

namespace {

QMutex storeFileMutex;
QString overrideFile;

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
    return open()->value(key);
}

void UserDefaults::setObject(const QVariant &value, QAnyStringView key)
{
    auto settings = open();
    settings->setValue(key, value);
    settings->sync();
}

void UserDefaults::removeObjectForKey(QAnyStringView key)
{
    auto settings = open();
    settings->remove(key);
    settings->sync();
}

QVariantList UserDefaults::arrayForKey(QAnyStringView key) const
{
    const QVariant value = objectForKey(key);
    if (value.typeId() == QMetaType::QVariantList)
        return value.toList();
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
    open()->sync();
}
