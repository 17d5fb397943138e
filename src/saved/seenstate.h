#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

// The listing addresses a watch has seen, kept in a JSON file between runs:
// {"seen": [ADDRESS, ...]}, oldest first, the newest 50,000 kept. A file that exists but is no
// such document is never overwritten: what it holds may be the user's.
class SeenState
{
public:
    static constexpr qsizetype maxAddresses = 50'000;

    // Reads path; a missing file is an empty state. False, with error set, when the file cannot
    // be read or is not a state document.
    bool load(const QString &path, QString *error);
    // The addresses seen, as ListingAddress keys; new ones may be added.
    QSet<QString> &seen() { return keys; }
    // Forgets every address; save() then writes an empty state.
    void clear()
    {
        order.clear();
        keys.clear();
    }
    // Writes the state back atomically, the addresses added since load() after the older ones.
    bool save(QString *error);

private:
    QString path;
    QStringList order;
    QSet<QString> keys;
};
