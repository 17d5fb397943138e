#pragma once

#include <QDateTime>
#include <QHash>
#include <QJsonArray>
#include <QList>
#include <QObject>
#include <QRandomGenerator>
#include <QSet>
#include <QString>

#include <memory>

class OnlineScrape;
class QTimer;

// Checks the watched bookmarks while Listoro runs, each on its own schedule (WatchSchedule): one
// fetch of the bookmark's first results page, and of the pages of the listings not seen before
// only (the last visit's and those found by earlier checks), through the same client and
// politeness as the grid. A check the site refuses pauses the watch (told in its state) and
// spaces its next checks out; a check that fails otherwise waits for the next period.
class BookmarkWatcher final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BookmarkWatcher)

public:
    struct Found
    {
        QString url;
        QString title;
        QString price; // as the site writes it
        QString photoFile; // the cached first photo, or empty
    };
    struct State
    {
        QDateTime lastCheck; // invalid before the first
        QDateTime nextCheck;
        bool pausedBySite = false; // the last check was refused
        QString problem; // why the last check failed, or null
    };

    explicit BookmarkWatcher(QObject *parent = nullptr);
    ~BookmarkWatcher() override;

    // Follows the watched bookmarks: watches added start, those removed stop.
    void sync();
    int watchCount() const { return int(m_watches.size()); }
    // Pauses every watch (no check runs) or lets them go on.
    void setPaused(bool paused);
    bool isPaused() const { return m_paused; }
    State state(const QString &address) const;
    // Checks the watch at once, unless a check of it is under way.
    void checkNow(const QString &address);

Q_SIGNALS:
    // Listings a check found that no visit or earlier check had, in the page's order.
    void newListings(const QString &address, const QList<BookmarkWatcher::Found> &found);
    void stateChanged(const QString &address);

private:
    struct Watch;
    void schedule(Watch &watch);
    void check(const QString &address);
    void checked(const QString &address, const QJsonArray &pages, const QString &error);

    QHash<QString, std::shared_ptr<Watch>> m_watches;
    bool m_paused = false;
    QRandomGenerator m_random;
};
