#include "common/testregistry.h"

#include "demo/demosite.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// listoro-scrape URL: the whole road against the demo site, served from this process while the
// program runs in its own.

namespace {

struct Run
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

DemoSite::Options siteOptions(int listingsPerPage, int pages, int maxPhotos, int delayMs = 0)
{
    DemoSite::Options options;
    options.listingsPerPage = listingsPerPage;
    options.pages = pages;
    options.maxPhotos = maxPhotos;
    options.delayMs = delayMs;
    return options;
}

// Rule sets of our own: only rows with a photo are listings, a listing's title is its price and
// its one photo the main one.
const char customSettings[]
    = "{\"version\": 9, \"settings\": ["
      "{\"regex\": \"/listoro-demo/item/\", \"settings\": {"
      "\"title\": {\"select\": \"//h1/span[@class='price']/text()\", \"extract\": \"@content\"},"
      "\"innerImgsWithSrc\": {\"select\": \"//img[@class='main-photo']\", \"extract\": \"src\"}}},"
      "{\"regex\": \"/listoro-demo/search\", \"settings\": {"
      "\"link\": {\"select\": \"//a[@class='result-image']\", \"extract\": \"href\"}}}]}";

QJsonValue parse(const QByteArray &out)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(out, &error);
    if (error.error != QJsonParseError::NoError)
        qWarning() << "not JSON:" << error.errorString() << out.left(200);
    return document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
}

// How one page's report differs from what the site serves on that page, one line each.
QStringList differences(const DemoSite &site, int page, const QJsonObject &report)
{
    QStringList found;
    if (report.value(u"url").toString() != site.searchUrl(page).toString())
        found << u"url "_s + report.value(u"url").toString();
    if (report.value(u"progress").toInt() != 100)
        found << u"progress %1"_s.arg(report.value(u"progress").toInt());
    const QList<DemoListing> listings = site.listingsOnPage(page);
    const QJsonArray reported = report.value(u"listings").toArray();
    if (reported.size() != listings.size())
        return found << u"%1 listings"_s.arg(reported.size());
    for (qsizetype n = 0; n < listings.size(); ++n) {
        const DemoListing &listing = listings.at(n);
        QJsonObject got = reported.at(n).toObject();
        // Every demo listing shows when it was posted; relative ones move with the clock.
        if (!got.take(u"date"_s).isString())
            found << u"no date for %1"_s.arg(listing.title);
        QJsonArray photos;
        QJsonArray sizes;
        for (int k = 0; k < listing.photoCount; ++k) {
            photos.append(site.photoUrl(listing.index, k).toString());
            const QSize size = site.photoSize(listing.index, k);
            sizes.append(QJsonArray{ size.width(), size.height() });
        }
        const QJsonObject expected{
            { u"idInList"_s, int(n) },
            { u"title"_s, listing.title },
            { u"url"_s, site.listingUrl(listing.index).toString() },
            { u"done"_s, true },
            { u"refused"_s, false },
            { u"failed"_s, false },
            { u"failure"_s, QJsonValue::Null },
            { u"price"_s,
              QJsonObject{ { u"text"_s, listing.priceText() },
                           { u"amount"_s, listing.price },
                           { u"currency"_s, QJsonValue::Null } } },
            { u"photos"_s, photos },
            { u"photoSizes"_s, sizes },
        };
        if (got != expected) {
            found << QString::fromUtf8(QJsonDocument(got).toJson(QJsonDocument::Compact))
                    + u" is not "_s
                    + QString::fromUtf8(QJsonDocument(expected).toJson(QJsonDocument::Compact));
        }
    }
    return found;
}

} // namespace

class TestOnlineScrape final : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;

    QString cacheDir() const { return dir->filePath(u"cache"_s); }
    QString storeFile() const { return dir->filePath(u"config/Listoro/Listoro.ini"_s); }

    // Runs listoro-scrape with an empty configuration; stderr is a pipe or a terminal.
    QString tempDir() const { return dir->filePath(u"tmp"_s); }

    Run run(const QStringList &arguments, bool stderrIsTerminal = false,
            bool abandonsFetches = false)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"XDG_CONFIG_HOME"_s, dir->filePath(u"config"_s));
        QDir().mkpath(tempDir());
        environment.insert(u"TMPDIR"_s, tempDir());
        environment.remove(u"QT_LOGGING_RULES"_s);
        if (abandonsFetches) {
            // Fetches aborted as the program ends are torn down on Qt's own network thread,
            // which may quit first and leak them: not the program's leak, in a sanitizer build.
            const QString asan = environment.value(u"ASAN_OPTIONS"_s);
            environment.insert(u"ASAN_OPTIONS"_s,
                               asan + (asan.isEmpty() ? u""_s : u":"_s) + u"detect_leaks=0"_s);
        }
        process.setProcessEnvironment(environment);

        int master = -1;
        int slave = -1;
        if (stderrIsTerminal) {
            if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
                return {};
            ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
            process.setChildProcessModifier([slave] { ::dup2(slave, STDERR_FILENO); });
        }
        process.start(QStringLiteral(LISTORO_SCRAPE_PROGRAM), arguments);
        const bool started = process.waitForStarted();
        Run result;
        if (stderrIsTerminal) {
            ::close(slave);
            // Read the terminal as the program writes, so that it never waits on a full one.
            const auto drain = [&result, master] {
                char buffer[4096];
                for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;)
                    result.err.append(buffer, n);
            };
            const QDeadlineTimer deadline(60000);
            while (started && !process.waitForFinished(20) && !deadline.hasExpired())
                drain();
            drain();
            ::close(master);
        } else if (started) {
            process.waitForFinished(60000);
        }
        if (process.state() != QProcess::NotRunning || process.exitStatus() != QProcess::NormalExit)
            return {};
        result.status = process.exitCode();
        result.out = process.readAllStandardOutput();
        if (!stderrIsTerminal)
            result.err = process.readAllStandardError();
        return result;
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
    }

    void onePage_reportsEveryListingAndKeepsThemInTheCache()
    {
        DemoSite site(siteOptions(8, 3, 3));
        QVERIFY(site.start());
        const QStringList arguments{ site.searchUrl(1).toString(), u"--cache-dir"_s, cacheDir() };
        const Run first = run(arguments);
        QCOMPARE(first.status, 0);
        QCOMPARE(first.err, QByteArray());
        const QJsonObject report = parse(first.out).toObject();
        const QStringList wrong = differences(site, 1, report);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
        QCOMPARE(report.value(u"next").toString(), site.searchUrl(2).toString());
        // The store was seeded with the shipped rule sets.
        QVERIFY(QFile::exists(storeFile()));

        int photos = 0;
        for (const DemoListing &listing : site.listingsOnPage(1))
            photos += listing.photoCount;
        QCOMPARE(QDir(cacheDir()).entryList(QDir::Files).size(), 8 + photos);

        site.resetCounters();
        const Run second = run(arguments);
        QCOMPARE(second.status, 0);
        // "N minutes ago" counts back from each run's own fetch: the dates may differ by the
        // seconds between the runs, nothing else may.
        const auto withoutDates = [](QJsonObject page) {
            QJsonArray listings = page.value(u"listings").toArray();
            for (qsizetype n = 0; n < listings.size(); ++n) {
                QJsonObject listing = listings.at(n).toObject();
                listing.remove(u"date"_s);
                listings[n] = listing;
            }
            page[u"listings"_s] = listings;
            return page;
        };
        QCOMPARE(withoutDates(parse(second.out).toObject()), withoutDates(report));
        QCOMPARE(site.requestCount(u"/listoro-demo/item/"_s), 0);
        QCOMPARE(site.requestCount(u"/listoro-demo/photos/"_s), 0);
    }

    // A watch: each run reports the listings no earlier run reported, and says when none are.
    void newSince_reportsOnlyUnseenListings()
    {
        DemoSite site(siteOptions(6, 2, 1));
        QVERIFY(site.start());
        const QString state = dir->filePath(u"seen.json"_s);
        const QStringList arguments{ site.searchUrl(1).toString(), u"--new-since"_s, state,
                                     u"--cache-dir"_s, cacheDir() };
        const auto reported = [](const Run &run) {
            QStringList urls;
            for (const QJsonValue &listing : parse(run.out).toObject().value(u"listings").toArray())
                urls << listing.toObject().value(u"url").toString();
            return urls;
        };
        const auto stored = [&] {
            QFile file(state);
            return file.open(QIODevice::ReadOnly)
                ? QJsonDocument::fromJson(file.readAll()).object().value(u"seen").toArray()
                : QJsonArray();
        };

        const Run first = run(arguments);
        QCOMPARE(first.status, 0);
        QCOMPARE(reported(first).size(), 6);
        QCOMPARE(stored().size(), 6);

        const Run again = run(arguments);
        QCOMPARE(again.status, 4);
        QVERIFY(reported(again).isEmpty());

        // Two listings the state does not hold yet are the new ones, fetched and reported.
        QJsonArray seen = stored();
        const QString newer = seen.takeAt(5).toString();
        const QString newest = seen.takeAt(0).toString();
        QFile rewrite(state);
        QVERIFY(rewrite.open(QIODevice::WriteOnly));
        rewrite.write(QJsonDocument(QJsonObject{ { u"seen"_s, seen } }).toJson());
        rewrite.close();
        const Run later = run(arguments);
        QCOMPARE(later.status, 0);
        const QStringList fresh = reported(later);
        QCOMPARE(QSet<QString>(fresh.cbegin(), fresh.cend()), (QSet<QString>{ newer, newest }));
        QCOMPARE(stored().size(), 6);

        // A file that is no state is left alone.
        const QByteArray notState = "my notes, not a state file\n";
        QVERIFY(rewrite.open(QIODevice::WriteOnly));
        rewrite.write(notState);
        rewrite.close();
        const Run refused = run(arguments);
        QCOMPARE(refused.status, 1);
        QVERIFY2(refused.err.contains("left as it is"), refused.err.constData());
        QVERIFY(rewrite.open(QIODevice::ReadOnly));
        QCOMPARE(rewrite.readAll(), notState);
    }

    void failingListingPages_areMarkedFailedWithTheReason()
    {
        DemoSite::Options options = siteOptions(24, 1, 1);
        options.failRate = 0.3;
        DemoSite site(options);
        QVERIFY(site.start());
        const Run result = run({ site.searchUrl(1).toString(), u"--cache-dir"_s, cacheDir() });
        QCOMPARE(result.status, 0);
        const QJsonArray listings = parse(result.out).toObject().value(u"listings").toArray();
        QHash<DemoFailure, int> seen;
        for (qsizetype n = 0; n < listings.size(); ++n) {
            const QJsonObject listing = listings.at(n).toObject();
            const DemoListing shown = site.listingsOnPage(1).at(n);
            const DemoFailure failure = site.listingFailure(shown.index);
            ++seen[failure];
            QCOMPARE(listing.value(u"failed").toBool(), failure != DemoFailure::None);
            QCOMPARE(listing.value(u"refused").toBool(), false);
            if (failure == DemoFailure::ServerError)
                QCOMPARE(listing.value(u"failure").toString(), u"HTTP 500"_s);
            if (failure == DemoFailure::None)
                QVERIFY(listing.value(u"failure").isNull());
            else
                QCOMPARE(listing.value(u"title").toString(), shown.title);
        }
        QVERIFY(seen.value(DemoFailure::ServerError) > 0 && seen.value(DemoFailure::CutOff) > 0);
        const int failed = seen.value(DemoFailure::ServerError) + seen.value(DemoFailure::CutOff);
        QVERIFY2(
            result.err.contains(QByteArray::number(failed) + " listing page(s) could not be had"),
            result.err);
    }

    void pages_followTheNextLink_data()
    {
        QTest::addColumn<int>("sitePages");
        QTest::addColumn<int>("asked");
        QTest::addColumn<int>("reported");

        QTest::newRow("two of three") << 3 << 2 << 2;
        QTest::newRow("more than there are") << 2 << 5 << 2;
        QTest::newRow("one, as an array") << 2 << 1 << 1;
    }

    void pages_followTheNextLink()
    {
        QFETCH(int, sitePages);
        QFETCH(int, asked);
        QFETCH(int, reported);

        DemoSite site(siteOptions(5, sitePages, 2));
        QVERIFY(site.start());
        const Run result = run({ site.searchUrl(1).toString(), u"--pages"_s, QString::number(asked),
                                 u"--cache-dir"_s, cacheDir() });
        QCOMPARE(result.status, 0);
        const QJsonValue printed = parse(result.out);
        // One page asked for prints that page's report, more print an array of them.
        const QJsonArray pages = asked == 1 ? QJsonArray{ printed.toObject() } : printed.toArray();
        QCOMPARE(asked == 1, printed.isObject());
        QCOMPARE(pages.size(), reported);
        for (int page = 1; page <= reported; ++page) {
            const QJsonObject report = pages.at(page - 1).toObject();
            const QStringList wrong = differences(site, page, report);
            QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(u'\n')));
            const QJsonValue next = report.value(u"next");
            if (page < sitePages)
                QCOMPARE(next.toString(), site.searchUrl(page + 1).toString());
            else
                QVERIFY(next.isNull());
        }
    }

    void unusableResultsPage_failsWithOneLine_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("message");

        QTest::newRow("unreachable") << QString() << u"cannot fetch http://127.0.0.1:"_s;
        QTest::newRow("beyond the last page")
            << u"/listoro-demo/search?page=3"_s << u"no listing links on http://"_s;
        QTest::newRow("a listing page")
            << u"/listoro-demo/item/7000001.html"_s << u"no listing links on http://"_s;
        QTest::newRow("missing page") << u"/listoro-demo/gone"_s << u"HTTP status 404"_s;
    }

    void unusableResultsPage_failsWithOneLine()
    {
        QFETCH(QString, path);
        QFETCH(QString, message);

        DemoSite site(siteOptions(4, 2, 2));
        QVERIFY(site.start());
        QString url = site.baseUrl().toString() + path;
        if (path.isNull()) {
            QTcpServer closed;
            QVERIFY(closed.listen(QHostAddress::LocalHost));
            url = u"http://127.0.0.1:%1/listoro-demo/search"_s.arg(closed.serverPort());
        }
        const Run result = run({ url, u"--cache-dir"_s, cacheDir() });
        QCOMPARE(result.status, 1);
        QCOMPARE(result.out, QByteArray());
        const QString err = QString::fromUtf8(result.err);
        QVERIFY2(err.startsWith(u"listoro-scrape: "_s) && err.contains(message), qPrintable(err));
        QCOMPARE(err.count(u'\n'), 1);
        QVERIFY(err.endsWith(u'\n'));
    }

    void timeout_printsWhatSettledAndFails_data()
    {
        QTest::addColumn<bool>("terminal");
        QTest::newRow("pipe") << false;
        QTest::newRow("terminal") << true;
    }

    void timeout_printsWhatSettledAndFails()
    {
        QFETCH(bool, terminal);
        // The results page comes in time; the listings' pages and photos cannot.
        DemoSite site(siteOptions(10, 1, 3, 500));
        QVERIFY(site.start());
        const Run result = run(
            { site.searchUrl(1).toString(), u"--timeout"_s, u"2"_s, u"--cache-dir"_s, cacheDir() },
            terminal, true);
        QCOMPARE(result.status, 1);
        const QString err = QString::fromUtf8(result.err);
        const QString line = u"listoro-scrape: timed out after 2 s"_s;
        if (terminal) {
            // On a line of its own, after the progress line.
            QVERIFY2(err.contains(u"settled)"_s) && err.contains(u'\n' + line), qPrintable(err));
            QVERIFY2(err.trimmed().endsWith(line), qPrintable(err.right(300)));
        } else {
            QCOMPARE(err, line + u'\n');
        }

        const QJsonObject report = parse(result.out).toObject();
        QCOMPARE(report.value(u"url").toString(), site.searchUrl(1).toString());
        QVERIFY(report.value(u"progress").toInt() < 100);
        const QJsonArray listings = report.value(u"listings").toArray();
        QCOMPARE(listings.size(), 10);
        int done = 0;
        for (const auto &value : listings) {
            const QJsonObject listing = value.toObject();
            if (!listing.value(u"done").toBool())
                continue;
            // A listing reported done has every photo in the cache.
            ++done;
            for (const auto &size : listing.value(u"photoSizes").toArray())
                QVERIFY(size.toArray().at(0).toInt() > 0);
        }
        QVERIFY(done < 10);
    }

    void settingsFile_rulesResultsAndListingPages()
    {
        DemoSite site(siteOptions(20, 2, 3));
        QVERIFY(site.start());
        const QString settings = dir->filePath(u"custom.txt"_s);
        QFile file(settings);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(customSettings);
        file.close();

        const Run result = run({ site.searchUrl(1).toString(), u"--settings"_s, settings,
                                 u"--cache-dir"_s, cacheDir() });
        QCOMPARE(result.status, 0);
        // The run's own rule sets leave nothing behind in the temporary directory.
        QCOMPARE(QDir(tempDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
        const QJsonObject report = parse(result.out).toObject();
        QVERIFY(report.value(u"next").isNull());
        QJsonArray expected;
        for (const DemoListing &listing : site.listingsOnPage(1)) {
            if (listing.photoCount == 0)
                continue;
            expected.append(QJsonObject{
                { u"idInList"_s, int(expected.size()) },
                { u"title"_s, listing.priceText() },
                { u"url"_s, site.listingUrl(listing.index).toString() },
                { u"done"_s, true },
                { u"refused"_s, false },
                { u"failed"_s, false },
                { u"failure"_s, QJsonValue::Null },
                { u"price"_s, QJsonValue::Null },
                { u"date"_s, QJsonValue::Null },
                { u"photos"_s, QJsonArray{ site.photoUrl(listing.index, 0).toString() } },
                { u"photoSizes"_s,
                  QJsonArray{ QJsonArray{ site.photoSize(listing.index, 0).width(),
                                          site.photoSize(listing.index, 0).height() } } },
            });
        }
        QVERIFY(expected.size() < 20);
        QCOMPARE(report.value(u"listings").toArray(), expected);
        // The user's own store is left alone.
        QVERIFY(!QFile::exists(storeFile()));
    }

    void check_addsEveryPagesRules_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("settings"); // empty: the shipped rule sets
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("linkVerdict");
        QTest::addColumn<QString>("titleVerdict"); // of every listing; null: no listings
        QTest::addColumn<QString>("err"); // part of stderr; null: nothing printed

        QTest::newRow("shipped rules")
            << u"/listoro-demo/search"_s << QByteArray() << 0 << u"ok"_s << u"ok"_s << QString();
        QTest::newRow("beyond the last page")
            << u"/listoro-demo/search?page=3"_s << QByteArray() << 3 << u"no match"_s << QString()
            << u"found no link: link (no match: "_s;
        QByteArray titlesGone(customSettings);
        titlesGone.replace("//h1/span[@class='price']/text()", "//h1[@class='gone']/text()");
        QTest::newRow("title rule matches no listing")
            << u"/listoro-demo/search"_s << titlesGone << 3 << u"ok"_s << u"no match"_s
            << u"found no title on any of the "_s;
    }

    void check_addsEveryPagesRules()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, settings);
        QFETCH(int, status);
        QFETCH(QString, linkVerdict);
        QFETCH(QString, titleVerdict);
        QFETCH(QString, err);

        DemoSite site(siteOptions(4, 2, 2));
        QVERIFY(site.start());
        QStringList arguments{ site.baseUrl().toString() + path, u"--check"_s, u"--cache-dir"_s,
                               cacheDir() };
        if (!settings.isEmpty()) {
            QFile file(dir->filePath(u"custom.txt"_s));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(settings);
            file.close();
            arguments << u"--settings"_s << file.fileName();
        }
        const Run result = run(arguments);
        QCOMPARE(result.status, status);
        const QJsonObject report = parse(result.out).toObject();
        QCOMPARE(report.value(u"rules")[u"link"][u"verdict"].toString(), linkVerdict);
        const QJsonArray listings = report.value(u"listings").toArray();
        QCOMPARE(listings.isEmpty(), titleVerdict.isNull());
        for (const auto &listing : listings)
            QCOMPARE(listing[u"rules"][u"title"][u"verdict"].toString(), titleVerdict);
        const QString printed = QString::fromUtf8(result.err);
        if (err.isNull())
            QCOMPARE(printed, QString());
        else
            QVERIFY2(printed.contains(err), qPrintable(printed));
    }

    void progressLines_onlyOnATerminal_data()
    {
        QTest::addColumn<bool>("terminal");
        QTest::newRow("pipe") << false;
        QTest::newRow("terminal") << true;
    }

    void progressLines_onlyOnATerminal()
    {
        QFETCH(bool, terminal);
        DemoSite site(siteOptions(6, 2, 2));
        QVERIFY(site.start());
        const Run result = run(
            { site.searchUrl(1).toString(), u"--pages"_s, u"2"_s, u"--cache-dir"_s, cacheDir() },
            terminal);
        QCOMPARE(result.status, 0);
        QCOMPARE(parse(result.out).toArray().size(), 2);
        if (!terminal) {
            QCOMPARE(result.err, QByteArray());
            return;
        }
        // Each page's line is rewritten in place and ended once it has settled.
        const QString err = QString::fromUtf8(result.err);
        for (int page = 1; page <= 2; ++page) {
            const QString settled
                = u"\r%1: 100% (6 of 6 listings settled)"_s.arg(site.searchUrl(page).toString());
            QVERIFY2(err.contains(settled), qPrintable(err));
        }
        QCOMPARE(err.count(u'\n'), 2);
        QVERIFY(err.trimmed().endsWith(u"settled)"_s));
    }
};

LISTORO_TEST(TestOnlineScrape)
#include "tst_onlinescrape.moc"
