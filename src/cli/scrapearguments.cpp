#include "cli/scrapearguments.h"

#include "platform/url.h"

#include <QCommandLineParser>

#include <memory>

namespace {

const QString pageOption = QStringLiteral("page");
const QString listingOption = QStringLiteral("listing");
const QString settingsOption = QStringLiteral("settings");

const char description[]
    = R"(Scrapes a saved results page or listing page with Listoro's scrape rules
and prints what it yields as one JSON document on standard output.

Modes:
  --page FILE URL     FILE is the results page found at URL. Prints
                      {"url": URL, "ruleSet": REGEX, "next": NEXT,
                       "listings": [{"idInList": 0, "title": TITLE, "url": LINK}, ...]}
  --listing FILE URL  FILE is the listing page found at URL. Prints
                      {"url": URL, "ruleSet": REGEX, "title": TITLE, "photos": [PHOTO, ...]}

URL chooses the rule set (the first whose pattern matches it) and is the base every link
is resolved against. REGEX is the chosen rule set's pattern; an absent rule set, next link,
title or listing URL prints as null.

Rule sets come from the stored scrape settings (the shipped document is stored first when
none are), or from --settings FILE for this run only; the store is then left untouched.

Exit status: 0 on success, 1 when a file cannot be read, 2 on a usage error.)";

std::unique_ptr<QCommandLineParser> makeParser()
{
    auto parser = std::make_unique<QCommandLineParser>();
    parser->setApplicationDescription(QString::fromUtf8(description));
    parser->addHelpOption();
    parser->addOptions({
        { pageOption, QStringLiteral("Scrape FILE as a results page."), QStringLiteral("FILE") },
        { listingOption, QStringLiteral("Scrape FILE as a listing page."), QStringLiteral("FILE") },
        { settingsOption,
          QStringLiteral("Use the scrape settings document FILE instead of the stored rule sets."),
          QStringLiteral("FILE") },
    });
    parser->addPositionalArgument(QStringLiteral("URL"),
                                  QStringLiteral("The address the page was found at."));
    return parser;
}

ScrapeArguments usageError(const QString &error)
{
    ScrapeArguments arguments;
    arguments.error = error;
    return arguments;
}

} // namespace

ScrapeArguments ScrapeArguments::parse(const QStringList &arguments)
{
    const auto parser = makeParser();
    if (!parser->parse(arguments))
        return usageError(parser->errorText());
    if (parser->isSet(QStringLiteral("help")) || parser->isSet(QStringLiteral("help-all")))
        return {};

    const bool page = parser->isSet(pageOption);
    const bool listing = parser->isSet(listingOption);
    if (page && listing)
        return usageError(QStringLiteral("--page and --listing cannot be used together"));
    if (!page && !listing)
        return usageError(QStringLiteral("give --page FILE or --listing FILE, and the page's URL"));
    if (parser->values(pageOption).size() > 1 || parser->values(listingOption).size() > 1
        || parser->values(settingsOption).size() > 1)
        return usageError(QStringLiteral("each option may be given once"));

    const QStringList positional = parser->positionalArguments();
    if (positional.size() != 1)
        return usageError(
            QStringLiteral("expected one URL after the options, got %1").arg(positional.size()));

    ScrapeArguments result;
    result.mode = page ? Mode::ResultsPage : Mode::ListingPage;
    result.file = parser->value(page ? pageOption : listingOption);
    result.url = positional.constFirst();
    if (parser->isSet(settingsOption))
        result.settingsFile = parser->value(settingsOption);

    // Links are resolved against the URL: without a scheme and a host there is nothing to
    // resolve them against.
    const std::optional<Url> url = Url::fromString(result.url);
    if (!url || url->scheme().isEmpty() || !url->hasHost())
        return usageError(QStringLiteral("not an absolute URL: %1").arg(result.url));
    return result;
}

QString ScrapeArguments::helpText()
{
    return makeParser()->helpText();
}
