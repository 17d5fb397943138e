#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The command line of listoro-scrape, parsed and checked. Offline modes scrape a saved page
// as if it had been fetched from a URL; the URL chooses the rule set and resolves the links.
struct ScrapeArguments
{
    enum class Mode {
        Help,
        ResultsPage, // --page FILE URL
        ListingPage, // --listing FILE URL
        Online, // URL: fetch it and the whole road behind it
    };

    Mode mode = Mode::Help;
    QString file;
    QString url;
    // Null: use the stored rule sets.
    QString settingsFile;
    // Online mode: results pages to follow, the cache directory (null: the default one) and
    // the time the whole run may take (0: no limit).
    int pages = 1;
    QString cacheDir;
    int timeoutSeconds = 0;
    // Online mode, --new-since STATE: only the listings whose addresses are not in the state
    // file are reported, and the file is then updated; null: every listing.
    QString newSinceFile;
    // Online mode: the cache's size after the run (absent: the application's limit).
    std::optional<qint64> cacheLimit;
    // --check: also report how each rule fared on each page.
    bool check = false;
    // "json" or "csv".
    QString format = QStringLiteral("json");
    // --teach --example TEXT: derive a rule set from the page instead of applying one; more
    // examples refine a results rule, --exclude TEXT leaves links out of it.
    bool teach = false;
    QStringList examples;
    QStringList exclusions;
    // One line telling what is wrong with the command line; null when it is usable.
    QString error;

    bool isValid() const { return error.isNull(); }

    // arguments[0] is the program name, as QCoreApplication::arguments() gives it.
    static ScrapeArguments parse(const QStringList &arguments);
    static QString helpText();
};
