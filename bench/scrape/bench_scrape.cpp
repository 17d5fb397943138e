#include "query/parseddocument.h"
#include "scrape/listingpage.h"
#include "scrape/resultspage.h"
#include "scrape/settingsrefresh.h"
#include "scrape/zestoscrapesetting.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QLoggingCategory>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <optional>

// For every saved page (the real sites' and the demo site's, each directory listed in its
// SOURCES.tsv), the time to scrape it as the app does: ResultsPage::scrape for a results page,
// ListingPage::scrape for a listing page, every rule evaluated on one parse of the page. Beside
// it, "parse/" times libxml2's parse of the page alone, and the scrape's "x parse" counter is
// its time over that parse's. The rule set is chosen once, outside the timing, from the shipped
// document.

Q_LOGGING_CATEGORY(lcBenchScrape, "listoro.bench.scrape")

namespace {

struct Page
{
    QString name;
    QString url;
    bool results = false;
    QByteArray bytes;
    std::optional<ZestoScrapeSetting> rules;
};

QList<Page> readPages(const QString &directory, const QList<ZestoScrapeSetting> &ruleSets)
{
    QList<Page> pages;
    QFile sources(directory + QStringLiteral("/SOURCES.tsv"));
    if (!sources.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qCWarning(lcBenchScrape) << "no pages in" << directory;
        return pages;
    }
    sources.readLine();
    while (!sources.atEnd()) {
        const QStringList fields = QString::fromUtf8(sources.readLine()).trimmed().split(u'\t');
        if (fields.size() < 4)
            continue;
        QFile file(directory + u'/' + fields[0]);
        if (!file.open(QIODevice::ReadOnly)) {
            qCWarning(lcBenchScrape) << "cannot read" << file.fileName();
            continue;
        }
        Page page;
        page.name = QFileInfo(fields[0]).completeBaseName();
        page.url = fields[3];
        page.results = fields[2] == u"results";
        page.bytes = file.readAll();
        page.rules = ZestoScrapeSetting::settingsForUrl(page.url, ruleSets);
        pages.append(page);
    }
    return pages;
}

void parse(benchmark::State &state, const Page &page)
{
    for (auto _ : state) {
        ParsedDocument document = ParsedDocument::html(page.bytes);
        benchmark::DoNotOptimize(document);
    }
    state.counters["KiB"] = double(page.bytes.size()) / 1024.0;
}

// The median time of one parse of the page and the freeing of its document, in ns.
double parseNs(const Page &page)
{
    QList<qint64> times;
    for (int i = 0; i < 15; ++i) {
        QElapsedTimer timer;
        timer.start();
        {
            ParsedDocument document = ParsedDocument::html(page.bytes);
            benchmark::DoNotOptimize(document);
        }
        times.append(timer.nsecsElapsed());
    }
    std::sort(times.begin(), times.end());
    return double(times.at(times.size() / 2));
}

void scrape(benchmark::State &state, const Page &page)
{
    const double oneParse = parseNs(page);
    QElapsedTimer timer;
    timer.start();
    for (auto _ : state) {
        if (page.results) {
            ResultsPage result = ResultsPage::scrape(page.bytes, page.url, page.rules);
            benchmark::DoNotOptimize(result);
        } else {
            ListingPage result = ListingPage::scrape(page.bytes, page.url, page.rules);
            benchmark::DoNotOptimize(result);
        }
    }
    const double perPage = double(timer.nsecsElapsed()) / double(state.iterations());
    state.counters["x parse"] = perPage / oneParse;
    state.counters["pages/s"]
        = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["KiB"] = double(page.bytes.size()) / 1024.0;
    state.SetBytesProcessed(state.iterations() * page.bytes.size());
}

} // namespace

int main(int argc, char **argv)
{
    const QList<ZestoScrapeSetting> ruleSets
        = ZestoScrapeSetting::readSettings(SettingsRefresh::shippedDocument());
    QList<Page> pages = readPages(QStringLiteral(LISTORO_FIXTURES_DIR), ruleSets);
    pages.append(readPages(QStringLiteral(LISTORO_DEMO_PAGES_DIR), ruleSets));

    for (const Page &page : std::as_const(pages)) {
        const std::string name = (page.results ? "results/" : "listing/") + page.name.toStdString();
        benchmark::RegisterBenchmark(name.c_str(), scrape, page)->Unit(benchmark::kMillisecond);
        const std::string parsed = "parse/" + page.name.toStdString();
        benchmark::RegisterBenchmark(parsed.c_str(), parse, page)->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
