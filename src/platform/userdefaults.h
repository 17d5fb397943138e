#pragma once

#include <QAnyStringView>
#include <QString>
#include <QVariant>

#include <memory>

class QSettings;

// The user-defaults store: small values under fixed keys (DefaultsKeys), kept in an INI file
// through QSettings (organisation and application "Listoro"). Every read asks QSettings, which
// rereads the file when another process changed it; every write goes out atomically. When the
// file cannot be written, the store moves into memory for the rest of the run (StoreProblems
// tells the user) and writes report false.
class UserDefaults
{
public:
    static UserDefaults &standard();

    // Keeps the store in this INI file instead of the user's own profile (a demo run, a test).
    // An empty path returns to the user's profile.
    static void setStoreFile(const QString &iniPath);
    static QString storeFile();
    // Keeps the store in this process's memory, empty at first, instead of any file (a run of
    // the scrape tool with a settings document of its own); false returns to the file.
    static void setMemoryStore(bool inMemory);

    QVariant objectForKey(QAnyStringView key) const;
    // True when the value reached the store's file (or the memory store asked for).
    bool setObject(const QVariant &value, QAnyStringView key);
    bool removeObjectForKey(QAnyStringView key);

    // A list value; a missing key, or a value that is not a list, reads as an empty list.
    QVariantList arrayForKey(QAnyStringView key) const;
    // A byte buffer; anything else reads as a null QByteArray.
    QByteArray dataForKey(QAnyStringView key) const;
    float floatForKey(QAnyStringView key) const;
    bool setFloat(float value, QAnyStringView key);
    double doubleForKey(QAnyStringView key) const;
    bool setDouble(double value, QAnyStringView key);
    bool boolForKey(QAnyStringView key) const;
    bool setBool(bool value, QAnyStringView key);

    // Writes pending changes to disk now and picks up changes made by other processes. False
    // while the store is kept in memory because its file cannot be written.
    bool synchronize();

private:
    UserDefaults() = default;
    std::unique_ptr<QSettings> open() const;
};
