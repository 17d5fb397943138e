#include "platform/userdefaults.h"
#include "scrape/zestoscrapesetting.h"

#include <QCoreApplication>
#include <QStandardPaths>

#include <benchmark/benchmark.h>

// The time to choose the rule set for one listing address (settingsForUrl) when the adopted
// document holds N rule sets and only the last one matches: every pattern is tried.

namespace {

QString document(int count)
{
    QString settings;
    for (int i = 0; i < count; ++i) {
        const QString host = i + 1 == count ? QStringLiteral("wanted") : QString::number(i);
        settings += QStringLiteral("%1{\"regex\": \"^https?://(www\\\\.)?site-%2\\\\.example/"
                                   "(item|ad)/\", \"settings\": {\"title\": {\"select\": "
                                   "\"//h1/text()\", \"extract\": \"@content\"}}}")
                        .arg(i == 0 ? QString() : QStringLiteral(","), host);
    }
    return QStringLiteral("{\"version\": 1, \"settings\": [%1]}").arg(settings);
}

void lookup(benchmark::State &state)
{
    UserDefaults::setMemoryStore(true);
    ZestoScrapeSetting::updateSettings(document(int(state.range(0))));
    const QString url = QStringLiteral("https://site-wanted.example/item/42.html");
    if (!ZestoScrapeSetting::settingsForUrl(url))
        state.SkipWithError("the last rule set does not match");
    for (auto _ : state) {
        auto chosen = ZestoScrapeSetting::settingsForUrl(url);
        benchmark::DoNotOptimize(chosen);
    }
    UserDefaults::setMemoryStore(false);
}

} // namespace

BENCHMARK(lookup)->Arg(100)->Arg(100000)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
