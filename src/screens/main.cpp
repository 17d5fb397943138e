// listoro: the application. `listoro --demo` runs it on the built-in demo site; `listoro URL`
// opens a page in the browser, `listoro --grid URL` as a grid.

#include "platform/cachelimit.h"
#include "platform/instancechannel.h"
#include "scrape/cachetrim.h"
#include "screens/appdelegate.h"
#include "screens/demosession.h"
#include "screens/homeviewcontroller.h"
#include "screens/launchoptions.h"
#include "screens/listorostoryboard.h"
#include "screens/watchcentre.h"
#include "ui/navigationcontroller.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QIcon>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QShortcut>
#include <QStandardPaths>

#include <cstdio>
#include <memory>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcMain, "listoro.main")

namespace {

// The icon theme's icon when the application is installed, else the copies in the resources.
QIcon applicationIcon()
{
    QIcon fallback;
    for (const int size : { 16, 22, 24, 32, 48, 64, 128, 256, 512 })
        fallback.addFile(QStringLiteral(":/icons/%1x%1/apps/com.listoro.Listoro.png").arg(size));
    return QIcon::fromTheme(QStringLiteral("com.listoro.Listoro"), fallback);
}

} // namespace

int main(int argc, char **argv)
{
    // Help needs no display: answer it before the application connects to one.
    QStringList rawArguments;
    for (int i = 0; i < argc; ++i)
        rawArguments.append(QString::fromLocal8Bit(argv[i]));
    const LaunchOptions early = LaunchOptions::parse(rawArguments);
    if (early.help) {
        std::fputs(qUtf8Printable(LaunchOptions::helpText()), stdout);
        return 0;
    }
    // So is a page that cannot be opened; other errors may be Qt's own options, which only the
    // application removes.
    if (!early.address.isNull() && !early.error.isNull()) {
        std::fprintf(stderr, "listoro: %s (see --help)\n", qUtf8Printable(early.error));
        return 2;
    }

    // The embedded browser's sandbox refuses to run as root.
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Listoro"));
    QApplication::setApplicationName(QStringLiteral("Listoro"));
    // The desktop entry and the icon theme know the application by this id.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.listoro.Listoro"));
    QApplication::setWindowIcon(applicationIcon());

    // Qt's own options (-platform, -style, ...) are gone from app.arguments().
    const LaunchOptions options = LaunchOptions::parse(QApplication::arguments());
    if (!options.error.isNull()) {
        std::fprintf(stderr, "listoro: %s (see --help)\n", qUtf8Printable(options.error));
        return 2;
    }
    if (options.resetDemo) {
        if (!DemoSession::resetProfile()) {
            std::fprintf(stderr, "listoro: could not remove the demo profile in %s\n",
                         qUtf8Printable(DemoSession::profileDirectory()));
            return 1;
        }
        if (!options.demo) {
            std::printf("listoro: the demo profile is forgotten\n");
            return 0;
        }
    }

    // A Listoro already running on this profile opens the page (or just comes forward).
    const QString profile = options.demo
        ? DemoSession::profileDirectory()
        : QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    InstanceChannel channel(
        QStringLiteral("listoro-")
        + QString::fromLatin1(
            QCryptographicHash::hash(profile.toUtf8(), QCryptographicHash::Sha1).toHex().left(16)));
    const QJsonObject request{ { QStringLiteral("address"), options.address },
                               { QStringLiteral("grid"), options.grid } };
    if (channel.handOver(QJsonDocument(request).toJson(QJsonDocument::Compact))) {
        std::printf("listoro: handed over to the Listoro already running\n");
        return 0;
    }
    if (!channel.listen())
        qCWarning(lcMain) << "a later start cannot hand its page over to this one";

    std::unique_ptr<DemoSession> demo;
    if (options.demo) {
        demo = std::make_unique<DemoSession>();
        if (!demo->start()) {
            std::fprintf(stderr, "listoro: the demo site could not start on 127.0.0.1\n");
            return 1;
        }
        std::printf("listoro: demo site at %s\n",
                    qUtf8Printable(demo->site()->baseUrl().toString()));
        std::fflush(stdout);
    }

    // Before the home screen, which offers watches when they exist.
    WatchCentre watches;
    auto *delegate = new AppDelegate(&app);
    Storyboard *storyboard = ListoroStoryboard::create(delegate);
    NavigationController *window = ListoroStoryboard::instantiateInitialWindow(storyboard);
    // The demo says so in every window title.
    window->setApplicationTitle(options.demo ? QStringLiteral("Listoro (demo)")
                                             : QStringLiteral("Listoro"));
    window->setWindowIcon(QApplication::windowIcon());
    delegate->setWindow(window);
    watches.setWindow(window);
    QObject::connect(
        &watches, &WatchCentre::openRequested, window, [window](const QString &address) {
            if (auto *home = qobject_cast<HomeViewController *>(window->viewControllers().value(0)))
                home->openPage(address, true);
        });
    // Ctrl+Q quits from any screen, and with an alert open.
    auto *quit = new QShortcut(QKeySequence::Quit, window);
    quit->setContext(Qt::ApplicationShortcut);
    QObject::connect(quit, &QShortcut::activated, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    const QString startAddress = options.startAddress(demo ? demo->site()->baseUrl() : QUrl());
    if (auto *home = qobject_cast<HomeViewController *>(window->topViewController());
        home && !startAddress.isNull())
        home->setLaunchPage(startAddress, options.grid);
    QObject::connect(&channel, &InstanceChannel::received, window, [&](const QByteArray &bytes) {
        window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        window->raise();
        window->activateWindow();
        // What is handed over is checked as a command line of this instance would be.
        const QJsonObject handed = QJsonDocument::fromJson(bytes).object();
        const QString page = handed.value(QStringLiteral("address")).toString();
        if (page.isEmpty())
            return;
        QStringList line{ QStringLiteral("listoro") };
        if (options.demo)
            line << QStringLiteral("--demo");
        if (handed.value(QStringLiteral("grid")).toBool())
            line << QStringLiteral("--grid");
        const LaunchOptions asked = LaunchOptions::parse(line << page);
        const QString address = asked.startAddress(demo ? demo->site()->baseUrl() : QUrl());
        auto *home = qobject_cast<HomeViewController *>(window->viewControllers().value(0));
        if (asked.error.isNull() && !address.isNull() && home)
            home->openPage(address, asked.grid);
    });
    window->show();
    delegate->applicationDidFinishLaunchingWithOptions();

    const int result = QApplication::exec();
    // Trimmed on the way out, so that neither the start nor the grid waits for it.
    CacheTrim::trimKeepingFavorites(CacheLimit::stored());
    // The window and its screens go before the demo site they may still be talking to.
    delete delegate;
    demo.reset();
    qCDebug(lcMain) << "quit with" << result;
    return result;
}
