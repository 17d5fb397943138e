#include "screens/launchoptions.h"

#include <QCommandLineParser>

namespace {

bool isDemoPath(const QString &address)
{
    return address.startsWith(QLatin1Char('/')) && !address.startsWith(QLatin1String("//"));
}

// Why address cannot be opened at start; null when it can. Only web pages are opened: a file or
// another scheme named on the command line is refused rather than handed to the browser.
QString problemWith(const QString &address, bool demo)
{
    const QUrl url(address, QUrl::StrictMode);
    if (demo && isDemoPath(address) && url.isValid())
        return {};
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != u"http" && scheme != u"https") || url.host().isEmpty())
        return QStringLiteral("\"%1\" is not an http or https address").arg(address);
    return {};
}

} // namespace

LaunchOptions LaunchOptions::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption demoOption(QStringLiteral("demo"));
    const QCommandLineOption resetOption(QStringLiteral("reset-demo"));
    const QCommandLineOption helpOption(
        QStringList{ QStringLiteral("h"), QStringLiteral("help"), QStringLiteral("?") });
    const QCommandLineOption gridOption(QStringLiteral("grid"), QString(), QStringLiteral("URL"));
    parser.addOptions({ demoOption, resetOption, helpOption, gridOption });

    LaunchOptions options;
    const bool parsed = parser.parse(arguments);
    options.help = parser.isSet(helpOption);
    options.demo = parser.isSet(demoOption);
    options.resetDemo = parser.isSet(resetOption);
    if (!parsed) {
        options.error = parser.errorText();
        return options;
    }
    options.grid = parser.isSet(gridOption);
    const QStringList addresses = parser.values(gridOption) + parser.positionalArguments();
    if (addresses.size() > 1) {
        options.error
            = QStringLiteral("unexpected argument \"%1\": one page at a time").arg(addresses.at(1));
    } else if (!addresses.isEmpty()) {
        options.address = addresses.constFirst();
        options.error = problemWith(options.address, options.demo);
    }
    return options;
}

QString LaunchOptions::helpText()
{
    return QStringLiteral(
        "Usage: listoro [--demo] [--reset-demo] [URL | --grid URL]\n"
        "Browse classified-ad sites and turn a page of search results into a grid of listing\n"
        "tiles with their photos.\n"
        "\n"
        "Options:\n"
        "  --demo        Start on the built-in demo site, served on 127.0.0.1, with a settings\n"
        "                profile and a cache of its own: your own favorites, bookmarks and\n"
        "                rule sets are not touched.\n"
        "  --reset-demo  Forget the demo profile (its favorites, bookmarks, rule sets and\n"
        "                cache). With --demo the demo then starts afresh.\n"
        "  --grid URL    Open the results page URL as a grid of its listings, as a bookmark\n"
        "                does.\n"
        "  URL           Open the page URL in the browser screen.\n"
        "                URL is an http or https address; with --demo it may also be a path\n"
        "                on the demo site, such as /listoro-demo/search.\n"
        "  -h, --help    Show this help.\n");
}

QString LaunchOptions::startAddress(const QUrl &demoBase) const
{
    if (address.isNull())
        return {};
    if (demo && isDemoPath(address))
        return demoBase.resolved(QUrl(address, QUrl::StrictMode)).toString(QUrl::FullyEncoded);
    return address;
}
