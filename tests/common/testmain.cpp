#include "common/testregistry.h"

#include <QStandardPaths>
#include <QTest>

#if LISTORO_TEST_APP == 3
#include <QApplication>
using TestApplication = QApplication;
#elif LISTORO_TEST_APP == 2
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

#include <map>
#include <string>

namespace ListoroTest {

namespace {

std::map<std::string, Factory> &registry()
{
    static std::map<std::string, Factory> tests;
    return tests;
}

} // namespace

int registerTest(const char *name, Factory factory)
{
    registry().emplace(name, std::move(factory));
    return int(registry().size());
}

QString dataDir()
{
    return QStringLiteral(LISTORO_TEST_DATA_DIR);
}

QString fixturesDir()
{
    return QStringLiteral(LISTORO_FIXTURES_DIR);
}

} // namespace ListoroTest

int main(int argc, char **argv)
{
    QStandardPaths::setTestModeEnabled(true);
#if LISTORO_TEST_APP == 3
    // The embedded browser needs shared GL contexts, and its sandbox cannot run as root.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
#endif
    TestApplication app(argc, argv);
    app.setOrganizationName(QStringLiteral("Listoro"));
    app.setApplicationName(QStringLiteral("Listoro"));

    QStringList arguments = app.arguments();
    QString only;
    if (arguments.size() > 1 && !arguments.at(1).startsWith(u'-')) {
        only = arguments.takeAt(1);
        if (!ListoroTest::registry().count(only.toStdString())) {
            qCritical("no test class named %s", qPrintable(only));
            return 2;
        }
    }

    int failures = 0;
    for (const auto &[name, factory] : ListoroTest::registry()) {
        if (!only.isEmpty() && only.toStdString() != name)
            continue;
        std::unique_ptr<QObject> test = factory();
        failures += QTest::qExec(test.get(), arguments);
    }
    return failures == 0 ? 0 : 1;
}
