#pragma once

#include "saved/seenstate.h"

#include <QObject>
#include <QString>

// The listings the user has opened, by listing key (ListingAddress), kept in "seen.json" beside
// the settings store: the newest 50,000, written atomically at every change. Without a settings
// file (a store kept in memory) they are kept for the run only; a seen file that is not such a
// document is left alone, and the run keeps its own.
class SeenListings final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SeenListings)

public:
    static SeenListings &instance();

    bool contains(const QString &key);
    qsizetype count();
    // Both write at once; false when the file could not be written (the change is kept for the
    // run).
    bool add(const QString &key);
    bool forget();

Q_SIGNALS:
    void changed();

private:
    SeenListings() = default;
    // Follows the settings store to another file (tests, the demo session).
    void loadIfMoved();
    bool save();

    SeenState state;
    QString loadedFor;
    bool loaded = false;
    bool writable = false;
};
