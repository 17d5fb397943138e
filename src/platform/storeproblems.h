#pragma once

#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>

// Writes that did not reach the disk. The first failed write of each store (the cache, the
// settings file) in a run leaves a message for the user; later ones are only logged. Writes
// happen on any thread: reported() reaches receivers on their own thread, and whoever shows the
// messages takes them with takeUnshown().
class StoreProblems final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StoreProblems)

public:
    enum class Store { Cache, Settings };

    static StoreProblems &instance();

    // Records that a write to store at path failed.
    void report(Store store, const QString &path);
    bool hasFailed(Store store) const;
    // The messages not shown yet, oldest first; they count as shown from now on.
    QStringList takeUnshown();
    // Forgets every failure, as at the start of a run.
    void reset();

    static QString message(Store store, const QString &path);

Q_SIGNALS:
    void reported();

private:
    explicit StoreProblems(QObject *parent = nullptr);

    mutable QMutex mutex;
    bool failed[2] = { false, false };
    QStringList unshown;
};
