#include "fixtureserver.h"
#include "listinggridsource.h"

#include "grid/largeuicollectionview.h"
#include "platform/cachedirectory.h"
#include "platform/httpclient.h"
#include "platform/mainqueue.h"
#include "platform/userdefaults.h"
#include "scrape/linkextractor.h"
#include "scrape/parsedlinkmodified.h"
#include "scrape/settingsrefresh.h"
#include "scrape/zestoscrapesetting.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>

// How long the GUI thread stops answering while a grid of listings fills in: the listing pages
// are the saved real Craigslist and Kijiji pages (served on loopback with their photos), every
// listing is detailed, its photos downloaded, and its tile laid out and drawn, while the grid
// scrolls slowly. A timer ticks every few milliseconds on the GUI thread; a stall is the time a
// tick came late.

namespace {

constexpr int tickMs = 4;

QList<FixtureServer::ListingPage> savedListingPages(const QString &directory)
{
    QList<FixtureServer::ListingPage> pages;
    QFile sources(directory + QStringLiteral("/SOURCES.tsv"));
    if (!sources.open(QIODevice::ReadOnly | QIODevice::Text))
        return pages;
    sources.readLine();
    while (!sources.atEnd()) {
        const QStringList fields = QString::fromUtf8(sources.readLine()).trimmed().split(u'\t');
        if (fields.size() < 4 || fields[2] != u"listing")
            continue;
        const QString site = fields[1] == u"craigslist" ? QStringLiteral("cl")
            : fields[1] == u"kijiji"                    ? QStringLiteral("kj")
                                                        : QString();
        QFile file(directory + u'/' + fields[0]);
        if (site.isNull() || !file.open(QIODevice::ReadOnly))
            continue;
        pages.append({ site, file.readAll() });
    }
    return pages;
}

// The results page's rule set, and the shipped listing rule sets of both sites for the
// server's listing addresses.
QString settingsDocument()
{
    QJsonArray sets;
    const QJsonObject shipped
        = QJsonDocument::fromJson(SettingsRefresh::shippedDocument().toUtf8()).object();
    for (const auto &entry : shipped.value(u"settings").toArray()) {
        QJsonObject set = entry.toObject();
        const QString name = set.value(u"name").toString();
        if (name == u"craigslist-listing")
            set.insert(QStringLiteral("regex"), QStringLiteral("^http://127\\.0\\.0\\.1:\\d+/cl/"));
        else if (name == u"kijiji-listing")
            set.insert(QStringLiteral("regex"), QStringLiteral("^http://127\\.0\\.0\\.1:\\d+/kj/"));
        else
            continue;
        sets.append(set);
    }
    sets.append(QJsonObject{
        { QStringLiteral("name"), QStringLiteral("bench-results") },
        { QStringLiteral("regex"), QStringLiteral("/results\\.html") },
        { QStringLiteral("settings"),
          QJsonObject{
              { QStringLiteral("link"),
                QJsonObject{ { QStringLiteral("select"), QStringLiteral("//a[@class='listing']") },
                             { QStringLiteral("extract"), QStringLiteral("href") } } } } },
    });
    return QString::fromUtf8(QJsonDocument(QJsonObject{ { QStringLiteral("version"), 1 },
                                                        { QStringLiteral("settings"), sets } })
                                 .toJson());
}

class FillParent final : public ParsedLinkModified
{
public:
    ListingGridSource *source = nullptr;
    int percent = 0;
    void onParsedLinkModified(const std::shared_ptr<ParsedLink> &record) override
    {
        if (source)
            source->parsedLinkModified(record);
    }
    void progress(int value) override { percent = value; }
};

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Times every event the GUI thread delivers, so the report can say what the longest ones were.
class TimedApplication final : public QApplication
{
public:
    using QApplication::QApplication;
    struct Slow
    {
        double ms;
        QString what;
    };
    QList<Slow> slowest;
    bool recording = false;

    // Worker threads deliver their own events through notify() too: only the GUI thread's are
    // timed, so the list and the depth need no lock. The receiver's class is read before
    // dispatch because a deferred delete may destroy it.
    bool notify(QObject *receiver, QEvent *event) override
    {
        if (QThread::currentThread() != thread())
            return QApplication::notify(receiver, event);
        if (!recording || depth > 0)
            return nestedNotify(receiver, event);
        const int type = event->type();
        const char *className = receiver->metaObject()->className();
        QElapsedTimer timer;
        timer.start();
        const double cpuBefore = threadCpuMs();
        const bool handled = nestedNotify(receiver, event);
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        if (ms > 4) {
            // The thread's own processor time beside the wall time: the rest is time the GUI
            // thread waited for a core.
            slowest.append({ ms,
                             QStringLiteral("%1 (event %2), %3 ms on the processor")
                                 .arg(QString::fromLatin1(className))
                                 .arg(type)
                                 .arg(threadCpuMs() - cpuBefore, 0, 'f', 1) });
        }
        return handled;
    }

private:
    int depth = 0;

    bool nestedNotify(QObject *receiver, QEvent *event)
    {
        ++depth;
        const bool handled = QApplication::notify(receiver, event);
        --depth;
        return handled;
    }
};

} // namespace

int main(int argc, char **argv)
{
    TimedApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Fills a grid of listings from saved real listing pages served on "
                       "loopback and prints the GUI thread's longest stall."));
    parser.addHelpOption();
    const QCommandLineOption listingsOption(QStringLiteral("listings"),
                                            QStringLiteral("Listings in the grid."),
                                            QStringLiteral("n"), QStringLiteral("100"));
    const QCommandLineOption scrollOption(QStringLiteral("scroll"),
                                          QStringLiteral("Points scrolled per tick (0: none)."),
                                          QStringLiteral("points"), QStringLiteral("2"));
    parser.addOptions({ listingsOption, scrollOption });
    parser.process(app);
    const int count = std::max(1, parser.value(listingsOption).toInt());
    const int scroll = std::max(0, parser.value(scrollOption).toInt());

    const QList<FixtureServer::ListingPage> pages
        = savedListingPages(QStringLiteral(LISTORO_FIXTURES_DIR));
    if (pages.isEmpty()) {
        std::fprintf(stderr, "no saved listing pages in %s\n", LISTORO_FIXTURES_DIR);
        return 2;
    }
    qint64 pageBytes = 0;
    for (const auto &page : pages)
        pageBytes += page.html.size();

    QTemporaryDir scratch;
    CacheDirectory::setPath(scratch.filePath(QStringLiteral("cache")));
    UserDefaults::setMemoryStore(true);
    ZestoScrapeSetting::updateSettings(settingsDocument());

    FixtureServer server(pages, count);
    if (server.start() == 0) {
        std::fprintf(stderr, "the loopback server could not listen\n");
        return 2;
    }
    const QString resultsUrl = server.baseUrl() + QStringLiteral("/results.html");
    QByteArray results;
    {
        QEventLoop loop;
        auto fetch
            = HttpClient::instance().get(QUrl(resultsUrl), nullptr, [&](const HttpResult &result) {
                  results = result.body;
                  loop.quit();
              });
        loop.exec();
    }

    FillParent parent;
    const LinkExtractor::Ptr extractor = LinkExtractor::initWithData(results, &parent, resultsUrl);
    if (!extractor->parsedLinks() || extractor->parsedLinks()->isEmpty()) {
        std::fprintf(stderr, "the results page gave no listings\n");
        return 2;
    }
    ListingGridSource source(extractor->parsedLinks()->values());
    parent.source = &source;

    QWidget window;
    window.resize(1024, 768);
    auto *view = new LargeUICollectionView(QRect(0, 0, 1024, 768), &window);
    source.attach(view);
    window.show();

    QList<double> stalls;
    QElapsedTimer clock;
    QElapsedTimer sinceTick;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, &tick, [&] {
        stalls.append(std::max(0.0, double(sinceTick.nsecsElapsed()) / 1e6 - tickMs));
        sinceTick.start();
        if (scroll > 0) {
            const qreal bottom = view->contentSize().height() - view->viewport()->height();
            const qreal next = view->contentOffset().y() + scroll;
            view->setContentOffset(QPointF(0, next > bottom ? 0 : next), false);
        }
    });

    clock.start();
    const double cpuStart = threadCpuMs();
    sinceTick.start();
    tick.start(tickMs);
    app.recording = true;
    extractor->startDetailing();
    double filledMs = -1;
    const auto allDone = [&] {
        for (const ParsedLink::Ptr &record : source.records()) {
            if (!record->done() && !record->settled())
                return false;
        }
        return parent.percent >= 100;
    };
    while (clock.elapsed() < 120000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        if (filledMs < 0 && allDone())
            filledMs = double(clock.nsecsElapsed()) / 1e6;
        // Half a second more for the last photos to be drawn.
        if (filledMs >= 0 && double(clock.nsecsElapsed()) / 1e6 > filledMs + 500)
            break;
    }
    tick.stop();
    app.recording = false;
    const double cpuMs = threadCpuMs() - cpuStart;

    std::sort(stalls.begin(), stalls.end());
    const auto over = [&stalls](double ms) {
        return int(
            std::count_if(stalls.cbegin(), stalls.cend(), [ms](double s) { return s > ms; }));
    };
    int photos = 0;
    for (const ParsedLink::Ptr &record : source.records())
        photos += record->imagesCount();
    std::printf("%d listings from %lld saved listing pages (%.0f KiB in all), %d photos, %d "
                "requests served, scrolling %d px per %d ms tick\n",
                count, static_cast<long long>(pages.size()), double(pageBytes) / 1024.0, photos,
                server.requests(), scroll, tickMs);
    if (filledMs < 0)
        std::printf("not filled within 120 s (progress %d%%)\n", parent.percent);
    else
        std::printf("filled in %.0f ms\n", filledMs);
    std::printf("GUI thread: longest stall %.1f ms, stalls over 16 ms: %d, over 8 ms: %d, "
                "p99 %.1f ms (%lld ticks); processor time %.0f ms\n",
                stalls.isEmpty() ? 0.0 : stalls.constLast(), over(16), over(8),
                stalls.isEmpty() ? 0.0 : stalls.at(qsizetype(double(stalls.size()) * 0.99)),
                static_cast<long long>(stalls.size()), cpuMs);
    std::sort(app.slowest.begin(), app.slowest.end(),
              [](const auto &a, const auto &b) { return a.ms > b.ms; });
    for (qsizetype i = 0; i < std::min<qsizetype>(5, app.slowest.size()); ++i) {
        std::printf("  slow event: %.1f ms in %s\n", app.slowest.at(i).ms,
                    qPrintable(app.slowest.at(i).what));
    }
    MainQueue::waitForBackgroundTasks();
    UserDefaults::setMemoryStore(false);
    CacheDirectory::setPath({});
    return 0;
}
