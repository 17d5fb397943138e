#include "cli/scrapetool.h"

#include "cli/scrapearguments.h"
#include "platform/cachedirectory.h"
#include "platform/cachelimit.h"
#include "platform/userdefaults.h"
#include "platform/utf8.h"
#include "saved/seenstate.h"
#include "scrape/cachetrim.h"
#include "scrape/listingpage.h"
#include "scrape/listingtable.h"
#include "scrape/onlinescrape.h"
#include "scrape/resultspage.h"
#include "scrape/rulederivation.h"
#include "scrape/rulehealth.h"
#include "scrape/rulesdocumentcheck.h"
#include "scrape/scrapereport.h"
#include "scrape/settingsrefresh.h"
#include "scrape/zestoscrapesetting.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QLoggingCategory>
#include <QTextStream>
#include <QTimer>
#include <QUrl>

#include <optional>

#include <unistd.h>

Q_LOGGING_CATEGORY(lcScrapeTool, "listoro.cli.scrapetool", QtWarningMsg)

namespace {

const QLatin1StringView programName("listoro-scrape");

// A failure to report: one line for stderr and the exit status that goes with it.
struct Failure
{
    QString message;
    int status = ScrapeTool::FileError;
};

std::optional<QByteArray> readFile(const QString &path, Failure &failure)
{
    if (QFileInfo(path).isDir()) {
        failure.message = QStringLiteral("cannot read %1: it is a directory").arg(path);
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        failure.message = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        failure.message = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    return bytes;
}

// The rule sets of a settings document given on the command line. The engine reads a broken
// document as one without rule sets; here the user asked for this file, so say what is wrong.
std::optional<QList<ZestoScrapeSetting>> readSettingsFile(const QString &path, Failure &failure)
{
    const std::optional<QByteArray> bytes = readFile(path, failure);
    if (!bytes)
        return std::nullopt;
    if (!isValidUtf8(*bytes)) {
        failure.message = QStringLiteral("cannot read %1: not UTF-8 text").arg(path);
        return std::nullopt;
    }
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(*bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        failure.message = QStringLiteral("cannot read %1: not a scrape settings document: %2 at "
                                         "offset %3")
                              .arg(path, error.errorString())
                              .arg(error.offset);
        return std::nullopt;
    }
    if (!json.isObject()) {
        failure.message
            = QStringLiteral("cannot read %1: not a scrape settings document: no JSON object")
                  .arg(path);
        return std::nullopt;
    }
    const QString document = QString::fromUtf8(*bytes);
    const RulesDocumentCheck::Verdict verdict
        = RulesDocumentCheck::check(document, RulesDocumentCheck::Origin::CommandLine);
    if (!verdict.accepted()) {
        failure.message = QStringLiteral("cannot use %1: %2").arg(path, verdict.refusal);
        return std::nullopt;
    }
    return ZestoScrapeSetting::readSettings(document);
}

// The stored rule set for url; a store without rule sets gets the shipped document first.
std::optional<ZestoScrapeSetting> storedRulesFor(const QString &url)
{
    if (SettingsRefresh::seedFromShippedDocument())
        qCDebug(lcScrapeTool) << "stored the shipped scrape settings";
    return ZestoScrapeSetting::settingsForUrl(url);
}

// The report (or the array of reports) as arguments asks: the JSON as it is, or its listings
// as CSV.
QString printed(const ScrapeArguments &arguments, const QJsonDocument &document)
{
    if (arguments.format != u"csv")
        return QString::fromUtf8(document.toJson(QJsonDocument::Indented));
    QList<ListingTable::Row> rows;
    const auto add = [&rows](const QJsonObject &report) {
        if (!report.contains(QLatin1String("listings"))) {
            rows.append(ListingTable::fromReport(report));
            return;
        }
        for (const QJsonValue &listing : report.value(QLatin1String("listings")).toArray())
            rows.append(ListingTable::fromReport(listing.toObject()));
    };
    if (document.isArray()) {
        for (const QJsonValue &report : document.array())
            add(report.toObject());
    } else {
        add(document.object());
    }
    return QString::fromUtf8(ListingTable::csv(rows, false));
}

int fail(QTextStream &err, const Failure &failure)
{
    err << programName << ": " << failure.message << '\n';
    err.flush();
    return failure.status;
}

qsizetype listingCount(const QJsonArray &reports)
{
    qsizetype count = 0;
    for (const QJsonValue &report : reports)
        count += report.toObject().value(u"listings").toArray().size();
    return count;
}

int runOnline(const ScrapeArguments &arguments, QTextStream &out, QTextStream &err)
{
    if (!arguments.cacheDir.isNull())
        CacheDirectory::setPath(arguments.cacheDir);

    // A settings file given for this run goes into a store of its own, in memory, which the
    // extraction and the detail fetches read; the user's store is left alone and no file is
    // left behind, even by a run that is killed.
    if (!arguments.settingsFile.isNull()) {
        Failure failure;
        if (!readSettingsFile(arguments.settingsFile, failure))
            return fail(err, failure);
        const std::optional<QByteArray> document = readFile(arguments.settingsFile, failure);
        if (!document)
            return fail(err, failure);
        UserDefaults::setMemoryStore(true);
        ZestoScrapeSetting::updateSettings(QString::fromUtf8(*document));
    } else {
        SettingsRefresh::seedFromShippedDocument();
    }

    SeenState state;
    const bool watching = !arguments.newSinceFile.isNull();
    if (watching) {
        QString problem;
        if (!state.load(arguments.newSinceFile, &problem))
            return fail(err, { problem, ScrapeTool::FileError });
    }

    OnlineScrape scrape(arguments.url, arguments.pages);
    scrape.setCheckRules(arguments.check);
    if (watching)
        scrape.setSeen(&state.seen());
    if (::isatty(STDERR_FILENO))
        scrape.setProgressStream(&err);
    QEventLoop loop;
    QJsonArray reports;
    QString error;
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &scrape, [&] {
        scrape.abandon(QStringLiteral("timed out after %1 s").arg(arguments.timeoutSeconds));
    });
    if (arguments.timeoutSeconds > 0)
        timeout.start(arguments.timeoutSeconds * 1000);
    scrape.start([&](const QJsonArray &pages, const QString &message) {
        reports = pages;
        error = message;
        loop.quit();
    });
    loop.exec();
    UserDefaults::setMemoryStore(false);
    CacheTrim::trimKeepingFavorites(arguments.cacheLimit.value_or(CacheLimit::stored()));

    if (!reports.isEmpty()) {
        const QJsonDocument document = arguments.pages == 1
            ? QJsonDocument(reports.first().toObject())
            : QJsonDocument(reports);
        out << printed(arguments, document);
        out.flush();
    }
    if (const int refused = OnlineScrape::refusedListings(reports); refused > 0) {
        err << programName << ": "
            << QStringLiteral("the site refused %1 listing page(s) (HTTP 403, 429 or 503); they "
                              "are marked \"refused\"")
                   .arg(refused)
            << '\n';
        err.flush();
    }
    if (const int failed = OnlineScrape::failedListings(reports); failed > 0) {
        err << programName << ": "
            << QStringLiteral("%1 listing page(s) could not be had (an error status or a failed "
                              "fetch); they are marked \"failed\" with the reason")
                   .arg(failed)
            << '\n';
        err.flush();
    }
    const QStringList problems = scrape.ruleProblems();
    if (!error.isNull())
        fail(err, { error, ScrapeTool::FileError });
    for (const QString &line : problems)
        err << programName << ": " << line << '\n';
    err.flush();
    if (!problems.isEmpty())
        return ScrapeTool::RuleProblem;
    if (!error.isNull())
        return ScrapeTool::FileError;
    if (watching) {
        // Only a run that went through records what it saw: a failed one is tried again whole.
        QString problem;
        if (!state.save(&problem))
            return fail(err, { problem, ScrapeTool::FileError });
        if (listingCount(reports) == 0)
            return ScrapeTool::NothingNew;
    }
    return ScrapeTool::Success;
}

// Derives a rule set from the page and prints it with what it finds.
int teach(const ScrapeArguments &arguments, const QByteArray &page, QTextStream &out,
          QTextStream &err)
{
    const bool results = arguments.mode == ScrapeArguments::Mode::ResultsPage;
    RuleDerivation::Result derived = results
        ? RuleDerivation::deriveResults(page, arguments.url, arguments.examples,
                                        arguments.exclusions)
        : RuleDerivation::deriveListing(page, arguments.url, arguments.examples.constFirst());
    if (!derived.error.isNull())
        return fail(err, { derived.error, ScrapeTool::RuleProblem });
    derived.rules.setName(QUrl(arguments.url).host()
                          + (results ? QStringLiteral(" results") : QStringLiteral(" listings")));
    QJsonObject report{ { QStringLiteral("settings"),
                          QJsonDocument::fromJson(
                              ZestoScrapeSetting::writeSettings({ derived.rules }, 1).toUtf8())
                              .object() } };
    if (results) {
        report.insert(QStringLiteral("listings"), QJsonArray::fromStringList(derived.values));
    } else {
        const ListingPage listing = ListingPage::scrape(page, arguments.url, derived.rules);
        report.insert(QStringLiteral("title"), listing.title);
        report.insert(QStringLiteral("photos"), QJsonArray::fromStringList(listing.photos));
    }
    out << QString::fromUtf8(QJsonDocument(report).toJson(QJsonDocument::Indented));
    out.flush();
    return ScrapeTool::Success;
}

} // namespace

int ScrapeTool::run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    const ScrapeArguments parsed = ScrapeArguments::parse(arguments);
    if (!parsed.isValid())
        return fail(err, { parsed.error + QStringLiteral(" (see --help)"), UsageError });
    if (parsed.mode == ScrapeArguments::Mode::Help) {
        out << ScrapeArguments::helpText();
        out.flush();
        return Success;
    }

    if (parsed.mode == ScrapeArguments::Mode::Online)
        return runOnline(parsed, out, err);

    Failure failure;
    const std::optional<QByteArray> page = readFile(parsed.file, failure);
    if (!page)
        return fail(err, failure);
    if (parsed.teach)
        return teach(parsed, *page, out, err);
    std::optional<ZestoScrapeSetting> rules;
    if (!parsed.settingsFile.isNull()) {
        const auto list = readSettingsFile(parsed.settingsFile, failure);
        if (!list)
            return fail(err, failure);
        rules = ZestoScrapeSetting::settingsForUrl(parsed.url, *list);
    } else {
        rules = storedRulesFor(parsed.url);
    }
    qCDebug(lcScrapeTool) << "rule set for" << parsed.url << ":"
                          << (rules ? rules->regex() : QStringLiteral("none"));

    const TFHpple document = TFHpple::hppleWithHTMLData(*page);
    const bool results = parsed.mode == ScrapeArguments::Mode::ResultsPage;
    // A saved page was fetched when it was written: "3 hours ago" counts back from then.
    const QDateTime fetchedAt = QFileInfo(parsed.file).lastModified().toUTC();
    QJsonObject report = results
        ? ScrapeReport::resultsPage(parsed.url, rules,
                                    ResultsPage::scrape(document, parsed.url, rules, {}, fetchedAt))
        : ScrapeReport::listingPage(
            parsed.url, rules, ListingPage::scrape(document, parsed.url, rules, {}, {}, fetchedAt));
    QStringList problems;
    if (parsed.check) {
        const RuleHealth health = RuleHealth::check(
            document, parsed.url,
            results ? RuleHealth::PageKind::Results : RuleHealth::PageKind::Listing, rules);
        ScrapeReport::addRuleHealth(report, health);
        problems = ScrapeReport::unmetNeedLines(health, parsed.url);
    }
    out << printed(parsed, QJsonDocument(report));
    out.flush();
    for (const QString &line : std::as_const(problems))
        err << programName << ": " << line << '\n';
    err.flush();
    return problems.isEmpty() ? Success : RuleProblem;
}
