#include "watch/bookmarkwatcher.h"

#include "saved/bookmarkvisits.h"
#include "saved/watchedbookmarks.h"
#include "scrape/onlinescrape.h"
#include "scrape/parsedlink.h"
#include "watch/watchschedule.h"

#include <QFile>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QTimer>

Q_LOGGING_CATEGORY(lcWatcher, "listoro.watch", QtWarningMsg)

struct BookmarkWatcher::Watch
{
    QString address;
    int minutes = WatchedBookmarks::defaultMinutes;
    QTimer timer;
    std::unique_ptr<OnlineScrape> run;
    // Listing keys seen by the last visit or an earlier check; none before the first check.
    QSet<QString> known;
    bool baseline = false;
    int refusals = 0;
    State state;
};

BookmarkWatcher::BookmarkWatcher(QObject *parent)
    : QObject(parent)
    , m_random(QRandomGenerator::securelySeeded())
{
}

BookmarkWatcher::~BookmarkWatcher() = default;

void BookmarkWatcher::sync()
{
    QSet<QString> watched;
    for (const WatchedBookmarks::Watch &w : WatchedBookmarks::all()) {
        watched.insert(w.address);
        std::shared_ptr<Watch> &watch = m_watches[w.address];
        if (watch && watch->minutes == w.minutes)
            continue;
        if (!watch) {
            watch = std::make_shared<Watch>();
            watch->address = w.address;
            watch->timer.setSingleShot(true);
            connect(&watch->timer, &QTimer::timeout, this,
                    [this, address = w.address] { check(address); });
        }
        watch->minutes = w.minutes;
        schedule(*watch);
    }
    for (auto it = m_watches.begin(); it != m_watches.end();) {
        if (watched.contains(it.key())) {
            ++it;
            continue;
        }
        const QString address = it.key();
        it = m_watches.erase(it);
        emit stateChanged(address);
    }
}

void BookmarkWatcher::setPaused(bool paused)
{
    m_paused = paused;
    for (const std::shared_ptr<Watch> &watch : std::as_const(m_watches)) {
        if (paused)
            watch->timer.stop();
        else
            schedule(*watch);
        emit stateChanged(watch->address);
    }
}

BookmarkWatcher::State BookmarkWatcher::state(const QString &address) const
{
    const std::shared_ptr<Watch> watch = m_watches.value(address);
    return watch ? watch->state : State();
}

void BookmarkWatcher::checkNow(const QString &address)
{
    if (m_watches.contains(address))
        check(address);
}

void BookmarkWatcher::schedule(Watch &watch)
{
    if (m_paused)
        return;
    const qint64 wait = WatchSchedule::nextWait(watch.minutes, watch.refusals, m_random);
    watch.state.nextCheck = QDateTime::currentDateTimeUtc().addMSecs(wait);
    watch.timer.start(std::chrono::milliseconds(wait));
}

void BookmarkWatcher::check(const QString &address)
{
    const std::shared_ptr<Watch> watch = m_watches.value(address);
    if (!watch || watch->run)
        return;
    if (!watch->baseline) {
        const BookmarkVisits::Visit visit = BookmarkVisits::last(address);
        watch->known = QSet<QString>(visit.listings.cbegin(), visit.listings.cend());
    }
    watch->timer.stop();
    watch->run = std::make_unique<OnlineScrape>(address, 1);
    watch->run->setSeen(&watch->known);
    // With nothing to compare with (a bookmark never opened as a grid), the first check only
    // learns what the page lists: no listing page is fetched and nothing is new.
    const bool learning = !watch->baseline && !BookmarkVisits::last(address).known;
    watch->run->setDetailing(!learning);
    watch->run->start([this, address, learning](const QJsonArray &pages, const QString &error) {
        // Finished from inside the run: it is let go of once this returns.
        QTimer::singleShot(0, this, [this, address, learning, pages, error] {
            const std::shared_ptr<Watch> watch = m_watches.value(address);
            if (!watch)
                return;
            const bool refused = watch->run && watch->run->refused();
            watch->run.reset();
            watch->baseline = true;
            watch->state.lastCheck = QDateTime::currentDateTimeUtc();
            watch->state.pausedBySite = refused;
            watch->state.problem = error;
            watch->refusals = refused ? watch->refusals + 1 : 0;
            schedule(*watch);
            emit stateChanged(address);
            if (error.isNull() && !learning)
                checked(address, pages, error);
        });
    });
}

void BookmarkWatcher::checked(const QString &address, const QJsonArray &pages, const QString &error)
{
    Q_UNUSED(error)
    QList<Found> found;
    for (const QJsonValue &page : pages) {
        for (const QJsonValue &value : page.toObject().value(u"listings").toArray()) {
            const QJsonObject listing = value.toObject();
            Found item;
            item.url = listing.value(u"url").toString();
            item.title = listing.value(u"title").toString().simplified();
            item.price = listing.value(u"price").toObject().value(u"text").toString();
            const QJsonArray photos = listing.value(u"photos").toArray();
            if (!photos.isEmpty()) {
                const QString file
                    = ParsedLink::getImagePathFromStringURL(photos.first().toString());
                if (QFile::exists(file))
                    item.photoFile = file;
            }
            found.append(item);
        }
    }
    qCDebug(lcWatcher) << address << "has" << found.size() << "new listings";
    if (!found.isEmpty())
        emit newListings(address, found);
}
