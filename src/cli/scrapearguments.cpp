#include "cli/scrapearguments.h"

#include "platform/cachelimit.h"
#include "platform/url.h"

#include <QCommandLineParser>

#include <memory>

namespace {

const QString pageOption = QStringLiteral("page");
const QString listingOption = QStringLiteral("listing");
const QString settingsOption = QStringLiteral("settings");
const QString pagesOption = QStringLiteral("pages");
const QString cacheDirOption = QStringLiteral("cache-dir");
const QString timeoutOption = QStringLiteral("timeout");
const QString cacheLimitOption = QStringLiteral("cache-limit");
const QString checkOption = QStringLiteral("check");
const QString formatOption = QStringLiteral("format");
const QString teachOption = QStringLiteral("teach");
const QString exampleOption = QStringLiteral("example");
const QString excludeOption = QStringLiteral("exclude");
const QString newSinceOption = QStringLiteral("new-since");

const char description[]
    = R"(Scrapes a saved results page or listing page with Listoro's scrape rules
and prints what it yields as one JSON document on standard output.

Modes:
  URL                 Fetches the results page at URL, every listing page and photo behind it
                      (through the disk cache), waits until every listing has settled and prints
                      {"url": URL, "next": NEXT, "progress": PERCENT,
                       "listings": [{"idInList": 0, "title": TITLE, "url": LINK, "done": BOOL,
                                     "refused": BOOL, "failed": BOOL, "failure": WHY,
                                     "price": PRICE, "date": DATE,
                                     "photos": [PHOTO, ...], "photoSizes": [[W, H], ...]},
                                    ...]}
                      "failed" marks a listing whose page could not be had: a failed fetch or
                      a status outside 2xx; WHY says which ("HTTP 404", "timed out"), null
                      otherwise. Such a listing keeps the title of the results page.
                      "refused" marks one the site refused (HTTP 403, 429 or 503, also when
                      asked again after the wait it named). Standard error says how many
                      listings were either. With --pages N > 1 it follows the next link and prints a
                      JSON array of such documents, one per results page. Progress goes to
                      standard error when that is a terminal. With --new-since STATE only the
                      listings whose address is not in STATE are fetched and printed; STATE (a
                      JSON file {"seen": [ADDRESS, ...]}, created when missing) then holds them
                      too, written atomically, the newest 50,000 kept.
  --page FILE URL     FILE is the results page found at URL. Prints
                      {"url": URL, "ruleSet": REGEX, "next": NEXT,
                       "listings": [{"idInList": 0, "title": TITLE, "url": LINK,
                                     "price": PRICE, "date": DATE}, ...]}
  --listing FILE URL  FILE is the listing page found at URL. Prints
                      {"url": URL, "ruleSet": REGEX, "title": TITLE, "photos": [PHOTO, ...],
                       "price": PRICE, "date": DATE}

URL chooses the rule set (the first whose pattern matches it) and is the base every link
is resolved against. REGEX is the chosen rule set's pattern; an absent rule set, next link,
title or listing URL prints as null. PRICE is {"text": TEXT, "amount": N, "currency": CODE}
(amount and currency null where the text does not state them) or null; DATE is the posted
time as "YYYY-MM-DDTHH:MM:SSZ" or null. A results row's price and date come first, the
listing page's where the row has none; relative dates count from the fetch (for FILE, from
its modification time).

With --format csv the listings are printed instead as CSV (RFC 4180, UTF-8), one row a listing
under the header title,price,amount,currency,date,url,photos (the photos one per line within
their field); a listing page is one row. --format json is the default.

With --check, every page's document also holds
  "ruleSetName": NAME, "rules": {RULE: {"query": QUERY, "extract": EXTRACT, "matched": N,
                                        "values": N, "refused": N, "verdict": VERDICT,
                                        "needed": BOOL}, ...},
  "refusedAddresses": [{"address": LINK, "reason": WHY}, ...]
one entry per rule of the chosen rule set (link, next, title, innerImgsWithHref,
innerImgsWithSrc, date, price), and a needed rule the set lacks, with "query": null. "matched"
counts the nodes the query selected, "values" those that gave a usable value (a link or photo
must form a URL that may be fetched), "refused" the links and photos left out because they are
not http or https, or lead from a page on the internet to this computer or a local network
(loopback, private, link-local, unique-local addresses, or names that resolve only to them);
those are never fetched and "refusedAddresses" names them. VERDICT is "ok", "ok, none on this
page" (a next rule on a page without a next link, a photo rule on a listing without photos),
"no match", "matched, but no value", "only refused addresses", "over budget", "malformed
query", "not a node set", "page did not parse" or "no rule". Online, each listing
whose page is in the cache carries its own "rules". Stored rule sets skipped because their
address pattern does not compile are named in "skippedRuleSets". A results page needs its link
rule, a listing page its title rule and a photo rule; standard error names each that gave
nothing.

With --teach --example TEXT (with --page or --listing), no rule set is applied: one is derived
from the page and printed, with what it finds there. On a results page, more --example options
name more listing links of the same list and --exclude TEXT names a link the rule must leave out
(a box of featured ads, say); both may be repeated.
  {"settings": DOCUMENT, "listings": [LINK, ...]}         from the listing link saying TEXT
  {"settings": DOCUMENT, "title": TITLE, "photos": [...]} from the title saying TEXT
DOCUMENT is a settings document holding the derived rule set, ready for --settings. When no
rule can be derived, one line on standard error says why and the exit status is 3.

Rule sets come from the stored scrape settings (the shipped document is stored first when
none are), or from --settings FILE for this run only; the store is then left untouched.

Exit status: 0 on success, 1 when a file cannot be read, a results page cannot be fetched or
holds no listing links, or the run times out (what settled is printed), 2 on a usage error,
3 with --check when a rule the page needs gave nothing (online: the link rule of a results
page, or the title or photo rules on every listing page checked), and with --teach when no rule
could be derived, 4 with --new-since when there is no new listing.)";

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
        { pagesOption, QStringLiteral("Online: follow the next link for up to N results pages."),
          QStringLiteral("N"), QStringLiteral("1") },
        { cacheDirOption, QStringLiteral("Online: keep cached pages and photos in DIR."),
          QStringLiteral("DIR") },
        { timeoutOption, QStringLiteral("Online: give up after SECONDS for the whole run."),
          QStringLiteral("SECONDS") },
        { newSinceOption,
          QStringLiteral("Online: report only listings not in the state file STATE, then add "
                         "them to it."),
          QStringLiteral("STATE") },
        { cacheLimitOption,
          QStringLiteral("Online: trim the cache to SIZE (bytes, or with K, M or G) after the "
                         "run, least recently used first; the application's limit otherwise."),
          QStringLiteral("SIZE") },
        { checkOption, QStringLiteral("Also report how each rule of the rule set fared.") },
        { formatOption, QStringLiteral("json (the default) or csv: one row a listing."),
          QStringLiteral("FORMAT"), QStringLiteral("json") },
        { teachOption, QStringLiteral("Derive a rule set from the page (with --example).") },
        { exampleOption,
          QStringLiteral("With --teach: the text of a listing link, or of the listing's title."),
          QStringLiteral("TEXT") },
        { excludeOption,
          QStringLiteral("With --teach on a results page: the text of a link to leave out."),
          QStringLiteral("TEXT") },
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
    if (parser->values(pageOption).size() > 1 || parser->values(listingOption).size() > 1
        || parser->values(settingsOption).size() > 1 || parser->values(pagesOption).size() > 1
        || parser->values(cacheDirOption).size() > 1 || parser->values(timeoutOption).size() > 1
        || parser->values(newSinceOption).size() > 1 || parser->values(cacheLimitOption).size() > 1)
        return usageError(QStringLiteral("each option may be given once"));
    const bool online = !page && !listing;
    if (!online
        && (parser->isSet(pagesOption) || parser->isSet(cacheDirOption)
            || parser->isSet(timeoutOption) || parser->isSet(newSinceOption)
            || parser->isSet(cacheLimitOption))) {
        return usageError(QStringLiteral("--pages, --cache-dir, --cache-limit, --timeout and "
                                         "--new-since belong to the online mode (a URL without "
                                         "--page or "
                                         "--listing)"));
    }

    const QStringList positional = parser->positionalArguments();
    if (positional.size() != 1)
        return usageError(
            QStringLiteral("expected one URL after the options, got %1").arg(positional.size()));

    ScrapeArguments result;
    result.url = positional.constFirst();
    if (online) {
        result.mode = Mode::Online;
        bool ok = false;
        result.pages = parser->value(pagesOption).toInt(&ok);
        if (!ok || result.pages < 1)
            return usageError(QStringLiteral("--pages takes a whole number of at least 1"));
        if (parser->isSet(timeoutOption)) {
            result.timeoutSeconds = parser->value(timeoutOption).toInt(&ok);
            if (!ok || result.timeoutSeconds < 1)
                return usageError(QStringLiteral("--timeout takes a whole number of seconds"));
        }
        if (parser->isSet(cacheDirOption))
            result.cacheDir = parser->value(cacheDirOption);
        if (parser->isSet(newSinceOption)) {
            result.newSinceFile = parser->value(newSinceOption);
            if (result.newSinceFile.isEmpty())
                return usageError(QStringLiteral("--new-since takes the path of a state file"));
        }
        if (parser->isSet(cacheLimitOption)) {
            result.cacheLimit = CacheLimit::parse(parser->value(cacheLimitOption));
            if (!result.cacheLimit)
                return usageError(QStringLiteral("--cache-limit takes a size such as 500M or 2G"));
        }
    } else {
        result.mode = page ? Mode::ResultsPage : Mode::ListingPage;
        result.file = parser->value(page ? pageOption : listingOption);
    }
    result.check = parser->isSet(checkOption);
    result.format = parser->value(formatOption);
    if (result.format != u"json" && result.format != u"csv")
        return usageError(QStringLiteral("--format takes json or csv"));
    result.teach = parser->isSet(teachOption);
    result.examples = parser->values(exampleOption);
    result.exclusions = parser->values(excludeOption);
    if (result.teach && (online || result.check))
        return usageError(QStringLiteral("--teach goes with --page or --listing, not with --check "
                                         "or the online mode"));
    if (result.teach != parser->isSet(exampleOption) || result.examples.contains(QString())
        || (!result.teach && !result.exclusions.isEmpty()))
        return usageError(QStringLiteral("--teach and --example TEXT go together"));
    if (!result.exclusions.isEmpty() && !page)
        return usageError(QStringLiteral("--exclude goes with --teach --page"));
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
