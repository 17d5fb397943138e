#include "common/testregistry.h"

#include "demo/demosite.h"
#include "rawhttp.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <csignal>

using namespace Qt::StringLiterals;

// listoro-demo-site as scripts and benchmarks run it.
class TestDemoProgram final : public QObject
{
    Q_OBJECT

private slots:
    void program_servesTheSameSiteAsInProcessAndEndsOnSignal_data();
    void program_servesTheSameSiteAsInProcessAndEndsOnSignal();
    void program_rejectsBadUsageWithOneLine_data();
    void program_rejectsBadUsageWithOneLine();

private:
    const QString program = QStringLiteral(LISTORO_DEMO_SITE_PROGRAM);
};

void TestDemoProgram::program_servesTheSameSiteAsInProcessAndEndsOnSignal_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

void TestDemoProgram::program_servesTheSameSiteAsInProcessAndEndsOnSignal()
{
    QFETCH(int, signal);

    QProcess process;
    process.start(program, { u"--listings"_s, u"4"_s, u"--pages=2"_s, u"--fail-rate"_s, u"0.5"_s });
    QVERIFY(process.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(process.canReadLine(), 20000);
    const QString base = QString::fromUtf8(process.readLine()).trimmed();
    QVERIFY2(QRegularExpression(u"^http://127\\.0\\.0\\.1:\\d+$"_s).match(base).hasMatch(),
             qPrintable(base));

    // Another process has the same listings and fails the same paths.
    DemoSite::Options options;
    options.listingsPerPage = 4;
    options.pages = 2;
    options.failRate = 0.5;
    DemoSite here(options);
    QVERIFY(here.start());
    QList<QUrl> urls{ here.searchUrl(1), here.searchUrl(2), here.searchUrl(3) };
    for (int index = 0; index < here.listingCount(); ++index)
        urls.append(here.listingUrl(index));
    for (const QUrl &url : urls) {
        const RawHttpResponse expected = RawHttpResponse::get(url);
        const RawHttpResponse served = RawHttpResponse::get(
            QUrl(base + url.toString(QUrl::RemoveScheme | QUrl::RemoveAuthority)));
        QCOMPARE(served.status, expected.status);
        QCOMPARE(served.closedEarly, expected.closedEarly);
        if (url.path().endsWith(u"search"))
            QCOMPARE(served.body, expected.body);
    }

    QCOMPARE(::kill(pid_t(process.processId()), signal), 0);
    QVERIFY(process.waitForFinished(10000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
}

void TestDemoProgram::program_rejectsBadUsageWithOneLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");

    QTest::newRow("help") << QStringList{ u"--help"_s } << 0;
    QTest::newRow("unknown option") << QStringList{ u"--colour"_s } << 2;
    QTest::newRow("stray argument") << QStringList{ u"serve"_s } << 2;
    QTest::newRow("missing value") << QStringList{ u"--pages"_s } << 2;
    QTest::newRow("no listings") << QStringList{ u"--listings"_s, u"0"_s } << 2;
    QTest::newRow("port too high") << QStringList{ u"--port=65536"_s } << 2;
    QTest::newRow("negative delay") << QStringList{ u"--delay-ms=-5"_s } << 2;
    QTest::newRow("fail rate above one") << QStringList{ u"--fail-rate"_s, u"1.5"_s } << 2;
    QTest::newRow("fail rate not a number") << QStringList{ u"--fail-rate=nan"_s } << 2;
}

void TestDemoProgram::program_rejectsBadUsageWithOneLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);

    QProcess process;
    process.start(program, arguments);
    QVERIFY(process.waitForFinished(20000));
    QCOMPARE(process.exitCode(), status);
    const QByteArray output = process.readAllStandardOutput();
    const QByteArray error = process.readAllStandardError();
    if (status == 0) {
        QVERIFY(output.contains("--fail-rate <F>") && output.contains("--delay-ms <N>"));
        QVERIFY(error.isEmpty());
    } else {
        QVERIFY(output.isEmpty());
        QCOMPARE(error.count('\n'), 1);
        QVERIFY(error.endsWith('\n'));
    }
}

LISTORO_TEST(TestDemoProgram)
#include "tst_demoprogram.moc"
