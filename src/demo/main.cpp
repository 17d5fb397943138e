// listoro-demo-site: serves the demo classifieds site on 127.0.0.1 until it is interrupted.

#include "demo/demosite.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalSockets[2] = { -1, -1 };

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalSockets[0], &byte, 1);
}

int usageError(const QString &message)
{
    std::fprintf(stderr, "listoro-demo-site: %s (see --help)\n", qUtf8Printable(message));
    return 2;
}

// Reads a whole number option into value; false, with error set, when it is malformed.
bool readNumber(const QCommandLineParser &parser, const QString &name, int min, int max, int &value,
                QString &error)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    const int number = parser.value(name).toInt(&ok);
    if (!ok || number < min || number > max) {
        error = QStringLiteral("--%1 takes a whole number from %2 to %3, not \"%4\"")
                    .arg(name)
                    .arg(min)
                    .arg(max)
                    .arg(parser.value(name));
        return false;
    }
    value = number;
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    // Usage is checked before the application exists, so a usage error prints nothing else.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Serves the Listoro demo classifieds site on 127.0.0.1 and prints its base "
                       "address on the first line of standard output."));
    parser.addHelpOption();
    parser.addOptions({
        { QStringLiteral("port"), QStringLiteral("Port to listen on (0: any free port)."),
          QStringLiteral("N"), QStringLiteral("0") },
        { QStringLiteral("listings"), QStringLiteral("Listings per results page (1 to 10000)."),
          QStringLiteral("N"), QStringLiteral("20") },
        { QStringLiteral("pages"), QStringLiteral("Results pages (1 to 1000)."),
          QStringLiteral("N"), QStringLiteral("5") },
        { QStringLiteral("photos"), QStringLiteral("Most photos of one listing (0 to 100)."),
          QStringLiteral("N"), QStringLiteral("8") },
        { QStringLiteral("delay-ms"), QStringLiteral("Delay of every response in milliseconds."),
          QStringLiteral("N"), QStringLiteral("0") },
        { QStringLiteral("fail-rate"),
          QStringLiteral("Share of listing pages and photos that fail, from 0 to 1."),
          QStringLiteral("F"), QStringLiteral("0") },
    });
    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
        QString help = parser.helpText();
        help.replace(QStringLiteral("<executable_name>"), QStringLiteral("listoro-demo-site"));
        std::fputs(qUtf8Printable(help), stdout);
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        return usageError(
            QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first()));
    }

    DemoSite::Options options;
    int port = 0;
    QString error;
    if (!readNumber(parser, QStringLiteral("port"), 0, 65535, port, error)
        || !readNumber(parser, QStringLiteral("listings"), 1, 10000, options.listingsPerPage, error)
        || !readNumber(parser, QStringLiteral("pages"), 1, 1000, options.pages, error)
        || !readNumber(parser, QStringLiteral("photos"), 0, 100, options.maxPhotos, error)
        || !readNumber(parser, QStringLiteral("delay-ms"), 0, 600000, options.delayMs, error)) {
        return usageError(error);
    }
    options.port = quint16(port);
    if (options.listingsPerPage * options.pages > 100000)
        return usageError(QStringLiteral("--listings times --pages must not exceed 100000"));
    if (parser.isSet(QStringLiteral("fail-rate"))) {
        bool ok = false;
        options.failRate = parser.value(QStringLiteral("fail-rate")).toDouble(&ok);
        if (!ok || !(options.failRate >= 0.0 && options.failRate <= 1.0)) {
            return usageError(QStringLiteral("--fail-rate takes a number from 0 to 1, not \"%1\"")
                                  .arg(parser.value(QStringLiteral("fail-rate"))));
        }
    }

    // The site draws its photos with the GUI module but shows no window.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("listoro-demo-site"));

    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalSockets) != 0) {
        std::perror("listoro-demo-site: socketpair");
        return 1;
    }
    QSocketNotifier notifier(signalSockets[1], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [&notifier] {
        notifier.setEnabled(false);
        char byte;
        [[maybe_unused]] const ssize_t got = ::read(signalSockets[1], &byte, 1);
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    DemoSite site(options);
    if (!site.start()) {
        std::fprintf(stderr, "listoro-demo-site: cannot listen on 127.0.0.1 port %d\n", port);
        return 1;
    }
    std::printf("%s\n", qUtf8Printable(site.baseUrl().toString()));
    std::fflush(stdout);
    return app.exec();
}
