#include "screens/launchoptions.h"

#include <QCommandLineParser>

LaunchOptions LaunchOptions::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption demoOption(QStringLiteral("demo"));
    const QCommandLineOption resetOption(QStringLiteral("reset-demo"));
    const QCommandLineOption helpOption(
        QStringList{ QStringLiteral("h"), QStringLiteral("help"), QStringLiteral("?") });
    parser.addOptions({ demoOption, resetOption, helpOption });

    LaunchOptions options;
    const bool parsed = parser.parse(arguments);
    options.help = parser.isSet(helpOption);
    options.demo = parser.isSet(demoOption);
    options.resetDemo = parser.isSet(resetOption);
    if (!parsed)
        options.error = parser.errorText();
    else if (!parser.positionalArguments().isEmpty())
        options.error = QStringLiteral("unexpected argument \"%1\"")
                            .arg(parser.positionalArguments().constFirst());
    return options;
}

QString LaunchOptions::helpText()
{
    return QStringLiteral(
        "Usage: listoro [--demo] [--reset-demo]\n"
        "Browse classified-ad sites and turn a page of search results into a grid of listing\n"
        "tiles with their photos.\n"
        "\n"
        "Options:\n"
        "  --demo        Start on the built-in demo site, served on 127.0.0.1, with a settings\n"
        "                profile and a cache of its own: your own favorites, bookmarks and\n"
        "                rule sets are not touched.\n"
        "  --reset-demo  Forget the demo profile (its favorites, bookmarks, rule sets and\n"
        "                cache). With --demo the demo then starts afresh.\n"
        "  -h, --help    Show this help.\n");
}
