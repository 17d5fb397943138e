#include "common/testregistry.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// listoro-scrape as a user runs it: a separate process, with its own (empty) settings store.

namespace {

const QString demoResultsUrl = u"http://127.0.0.1:41234/listoro-demo/search?page=2"_s;
const QString demoListingUrl = u"http://127.0.0.1:41234/listoro-demo/item/7000022.html"_s;

QString demoPage(const QString &name)
{
    return ListoroTest::dataDir() + u"/rules/"_s + name;
}

struct Run
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

} // namespace

class TestListoroScrape final : public QObject
{
    Q_OBJECT

    // Stands in for the user's configuration directory, where the rule sets are stored.
    std::unique_ptr<QTemporaryDir> config;

    QString storeFile() const { return config->filePath(u"Listoro/Listoro.ini"_s); }

    Run run(const QStringList &arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"XDG_CONFIG_HOME"_s, config->path());
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(LISTORO_SCRAPE_PROGRAM), arguments);
        Run result;
        if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
            return result;
        result.status = process.exitCode();
        result.out = process.readAllStandardOutput();
        result.err = process.readAllStandardError();
        return result;
    }

    static QJsonObject json(const Run &run)
    {
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(run.out, &error);
        if (error.error != QJsonParseError::NoError)
            qWarning() << "not JSON:" << error.errorString() << run.out.left(200);
        return document.object();
    }

private slots:
    void init()
    {
        config = std::make_unique<QTemporaryDir>();
        QVERIFY(config->isValid());
    }

    void resultsPage_printsListingsAndNextWithShippedRules()
    {
        const Run result = run({ u"--page"_s, demoPage(u"demo-results.html"_s), demoResultsUrl });
        QCOMPARE(result.status, 0);
        QVERIFY(result.err.isEmpty());
        // Indented, and UTF-8 rather than escapes.
        QVERIFY(result.out.contains("\n    \""));
        QVERIFY(result.out.contains("Vélo de ville"));

        const QJsonObject report = json(result);
        QCOMPARE(report.value(u"url").toString(), demoResultsUrl);
        QCOMPARE(report.value(u"ruleSet").toString(),
                 u"^https?://(?:127\\.0\\.0\\.1|localhost|\\[::1\\])(?::[0-9]+)?/listoro-demo/"_s);
        QCOMPARE(report.value(u"next").toString(),
                 u"http://127.0.0.1:41234/listoro-demo/search?page=3"_s);
        const QJsonArray listings = report.value(u"listings").toArray();
        QCOMPARE(listings.size(), 4);
        for (int i = 0; i < listings.size(); ++i)
            QCOMPARE(listings.at(i).toObject().value(u"idInList").toInt(-1), i);
        const QJsonObject third = listings.at(2).toObject();
        QCOMPARE(third.value(u"title").toString(),
                 u"Yamaha upright piano – tuned in März, €1 200 or best offer"_s);
        QCOMPARE(third.value(u"url").toString(),
                 u"http://127.0.0.1:41234/listoro-demo/item/7000022.html"_s);
        const QJsonObject price{ { u"text"_s, u"$1300"_s },
                                 { u"amount"_s, 1300 },
                                 { u"currency"_s, QJsonValue::Null } };
        QCOMPARE(third.value(u"price").toObject(), price);
        QCOMPARE(third.value(u"date").toString(), u"2026-06-02T00:00:00Z"_s);
        // The empty store was seeded with the shipped document.
        QVERIFY(QFile::exists(storeFile()));
    }

    void listingPage_printsTitleAndPhotos()
    {
        const Run result
            = run({ u"--listing"_s, demoPage(u"demo-listing.html"_s), demoListingUrl });
        QCOMPARE(result.status, 0);
        const QJsonObject report = json(result);
        QCOMPARE(report.value(u"url").toString(), demoListingUrl);
        QCOMPARE(
            report.value(u"ruleSet").toString(),
            u"^https?://(?:127\\.0\\.0\\.1|localhost|\\[::1\\])(?::[0-9]+)?/listoro-demo/item/[0-9]+\\.html"_s);
        QCOMPARE(report.value(u"title").toString(),
                 u"Yamaha upright piano – tuned in März, €1 200 or best offer"_s);
        const QJsonArray photos = report.value(u"photos").toArray();
        QCOMPARE(photos.size(), 3);
        QCOMPARE(photos.at(0).toString(),
                 u"http://127.0.0.1:41234/listoro-demo/photos/7000022-0.jpg"_s);
        QCOMPARE(photos.at(2).toString(),
                 u"http://127.0.0.1:41234/listoro-demo/photos/7000022-2.jpg"_s);
        QCOMPARE(report.value(u"price").toObject().value(u"amount").toDouble(), 1300.0);
        QCOMPARE(report.value(u"date").toString(), u"2026-06-02T00:00:00Z"_s);
    }

    void savedRealPage_isScraped()
    {
        const QString page
            = ListoroTest::fixturesDir() + u"/kijiji/kj-2017-montreal-charlevoix-results.html"_s;
        if (!QFile::exists(page))
            QSKIP("no saved pages of the real sites");
        const Run result
            = run({ u"--page"_s, page,
                    u"http://www.kijiji.ca/b-ville-de-montreal/charlevoix/k0l1700281"_s });
        QCOMPARE(result.status, 0);
        const QJsonObject report = json(result);
        QCOMPARE(report.value(u"listings").toArray().size(), 20);
        QCOMPARE(report.value(u"next").toString(),
                 u"http://www.kijiji.ca/b-ville-de-montreal/charlevoix/page-2/k0l1700281"_s);
    }

    void settingsOption_usesTheDocumentAndLeavesTheStoreAlone()
    {
        // Photo links instead of title links: only rows with a photo count.
        const QByteArray document = R"({"version": 9, "settings": [{"regex": "listoro-demo",
            "settings": {"link": {"select": "//a[@class='result-image']", "extract": "href"}}}]})";
        const QString settings = config->filePath(u"custom.txt"_s);
        QFile file(settings);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(document);
        file.close();

        const Run result = run({ u"--settings"_s, settings, u"--page"_s,
                                 demoPage(u"demo-results.html"_s), demoResultsUrl });
        QCOMPARE(result.status, 0);
        const QJsonObject report = json(result);
        QCOMPARE(report.value(u"ruleSet").toString(), u"listoro-demo"_s);
        QCOMPARE(report.value(u"listings").toArray().size(), 3);
        QVERIFY(report.value(u"next").isNull());
        QVERIFY(!QFile::exists(storeFile()));
    }

    void noRuleSet_printsNulls_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("file");
        QTest::newRow("results page") << u"--page"_s << u"demo-results.html"_s;
        QTest::newRow("listing page") << u"--listing"_s << u"demo-listing.html"_s;
    }

    void noRuleSet_printsNulls()
    {
        QFETCH(QString, mode);
        QFETCH(QString, file);
        const Run result = run({ mode, demoPage(file), u"https://www.example.com/page.html"_s });
        QCOMPARE(result.status, 0);
        const QJsonObject report = json(result);
        QVERIFY(report.contains(u"ruleSet"));
        QVERIFY(report.value(u"ruleSet").isNull());
        if (mode == u"--page") {
            QVERIFY(report.value(u"next").isNull());
            QCOMPARE(report.value(u"listings").toArray().size(), 0);
        } else {
            QVERIFY(report.value(u"title").isNull());
            QCOMPARE(report.value(u"photos").toArray().size(), 0);
        }
    }

    void check_reportsEveryRuleAndNamesTheOneThatFailed_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QByteArray>("rules"); // a rule set's "settings"; empty: the shipped ones
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QString>("verdict");
        QTest::addColumn<int>("values");
        QTest::addColumn<QString>("err"); // part of the one line on stderr; null: none

        QTest::newRow("results page")
            << u"--page"_s << u"demo-results.html"_s << demoResultsUrl << QByteArray() << 0
            << u"link"_s << u"ok"_s << 4 << QString();
        QTest::newRow("listing page")
            << u"--listing"_s << u"demo-listing.html"_s << demoListingUrl << QByteArray() << 0
            << u"innerImgsWithHref"_s << u"ok"_s << 3 << QString();
        QTest::newRow("link rule broken on purpose")
            << u"--page"_s << u"demo-results.html"_s << demoResultsUrl
            << QByteArray(
                   "{\"link\": {\"select\": \"//li[@class='gone']/a\", \"extract\": \"href\"}}")
            << 3 << u"link"_s << u"no match"_s << 0
            << u"rule set \"test rules\" found no link: link (no match: //li[@class='gone']/a)"_s;
        QTest::newRow("attribute gone")
            << u"--page"_s << u"demo-results.html"_s << demoResultsUrl
            << QByteArray("{\"link\": {\"select\": \"//a\", \"extract\": \"data-href\"}}") << 3
            << u"link"_s << u"matched, but no value"_s << 0 << u"found no link"_s;
        QTest::newRow("listing rules without photo rules")
            << u"--listing"_s << u"demo-listing.html"_s << demoListingUrl
            << QByteArray("{\"title\": {\"select\": \"//h1//text()\", \"extract\": \"@content\"}}")
            << 3 << u"innerImgsWithHref"_s << u"no rule"_s << 0
            << u"found no photos: innerImgsWithHref (no rule); innerImgsWithSrc (no rule)"_s;
        // The photos are on 127.0.0.1: a page on the internet may not lead there.
        QTest::newRow("listing page on the internet, photos on loopback")
            << u"--listing"_s << u"demo-listing.html"_s
            << u"https://shop.example/listoro-demo/item/7000022.html"_s
            << QByteArray(
                   "{\"title\": {\"select\": \"//*[@id='titletext']/text()\", "
                   "\"extract\": \"@content\"}, \"innerImgsWithHref\": {\"select\": "
                   "\"//div[contains(@class, 'thumbs')]//a[@href]\", \"extract\": \"href\"}}")
            << 3 << u"innerImgsWithHref"_s << u"only refused addresses"_s << 0
            << u"found no photos: innerImgsWithHref (only refused addresses"_s;
        QTest::newRow("no rule set")
            << u"--page"_s << u"demo-results.html"_s << u"https://www.example.com/"_s
            << QByteArray() << 3 << QString() << QString() << 0
            << u"no rule set matches https://www.example.com/"_s;
    }

    void check_reportsEveryRuleAndNamesTheOneThatFailed()
    {
        QFETCH(QString, mode);
        QFETCH(QString, file);
        QFETCH(QString, url);
        QFETCH(QByteArray, rules);
        QFETCH(int, status);
        QFETCH(QString, rule);
        QFETCH(QString, verdict);
        QFETCH(int, values);
        QFETCH(QString, err);

        QStringList arguments{ u"--check"_s, mode, demoPage(file), url };
        if (!rules.isEmpty()) {
            QFile settings(config->filePath(u"rules.txt"_s));
            QVERIFY(settings.open(QIODevice::WriteOnly));
            settings.write(
                "{\"version\": 1, \"settings\": [{\"name\": \"test rules\", \"regex\": \"demo\", "
                "\"settings\": "
                + rules + "}]}");
            settings.close();
            arguments.prepend(settings.fileName());
            arguments.prepend(u"--settings"_s);
        }
        const Run result = run(arguments);
        QCOMPARE(result.status, status);
        const QJsonObject report = json(result);
        const QJsonObject checks = report.value(u"rules").toObject();
        if (rule.isNull()) {
            QVERIFY(report.value(u"ruleSetName").isNull());
            QVERIFY(checks.isEmpty());
        } else {
            const QJsonObject check = checks.value(rule).toObject();
            QCOMPARE(check.value(u"verdict").toString(), verdict);
            QCOMPARE(check.value(u"values").toInt(-1), values);
            QVERIFY(check.value(u"needed").toBool());
            // Refused addresses are no photos and are named, each once.
            const int refused = check.value(u"refused").toInt();
            QCOMPARE(refused > 0, verdict == u"only refused addresses");
            if (refused > 0) {
                QCOMPARE(report.value(u"photos").toArray().size(), 0);
                QCOMPARE(report.value(u"refusedAddresses").toArray().size(), 3);
            }
        }
        const QString printed = QString::fromUtf8(result.err);
        if (err.isNull()) {
            QCOMPARE(printed, QString());
        } else {
            QVERIFY2(printed.startsWith(u"listoro-scrape: "_s) && printed.contains(err),
                     qPrintable(printed));
            QCOMPARE(printed.count(u'\n'), 1);
        }
    }

    void teach_printsARuleSetThatSettingsReadsBack()
    {
        const QString page = demoPage(u"demo-results.html"_s);
        const Run taught = run({ u"--teach"_s, u"--example"_s, u"Solid oak dining table"_s,
                                 u"--page"_s, page, demoResultsUrl });
        QCOMPARE(taught.status, 0);
        const QJsonObject report = json(taught);
        QCOMPARE(report.value(u"listings").toArray().size(), 4);
        QVERIFY(!QFile::exists(storeFile()));

        QFile settings(config->filePath(u"taught.json"_s));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write(QJsonDocument(report.value(u"settings").toObject()).toJson());
        settings.close();
        const QJsonObject scraped = json(
            run({ u"--settings"_s, settings.fileName(), u"--page"_s, page, demoResultsUrl }));
        QStringList urls;
        for (const auto &listing : scraped.value(u"listings").toArray())
            urls << listing.toObject().value(u"url").toString();
        QCOMPARE(QJsonArray::fromStringList(urls), report.value(u"listings").toArray());
        QCOMPARE(scraped.value(u"next").toString(),
                 u"http://127.0.0.1:41234/listoro-demo/search?page=3"_s);

        const Run listing
            = run({ u"--teach"_s, u"--example"_s, u"Yamaha upright piano"_s, u"--listing"_s,
                    demoPage(u"demo-listing.html"_s), demoListingUrl });
        QCOMPARE(listing.status, 0);
        QCOMPARE(json(listing).value(u"photos").toArray().size(), 3);
    }

    void formatCsv_printsOneRowAListing()
    {
        const Run result = run({ u"--page"_s, demoPage(u"demo-results.html"_s), demoResultsUrl,
                                 u"--format"_s, u"csv"_s });
        QCOMPARE(result.status, 0);
        const QList<QByteArray> lines = result.out.split('\n');
        QCOMPARE(lines.value(0), QByteArray("title,price,amount,currency,date,url,photos\r"));
        // Four listings, each one line here: no title of this page has a comma, quote or line end.
        QCOMPARE(lines.size(), 6);
        QVERIFY(result.out.contains("Yamaha upright piano – tuned in März, €1 200 or best offer"));
        QVERIFY(result.out.contains(",$1300,1300,,2026-06-02T00:00:00Z,"));
    }

    void help_documentsEveryOption()
    {
        const Run result = run({ u"--help"_s });
        QCOMPARE(result.status, 0);
        for (const char *option : { "--page", "--listing", "--settings", "--check", "--teach",
                                    "--example", "--exclude", "--format", "URL", "Exit status" })
            QVERIFY2(result.out.contains(option), option);
    }

    void failures_exitWithStatusAndOneLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");

        const QString page = demoPage(u"demo-results.html"_s);
        QTest::newRow("nothing") << QStringList() << 2 << u"expected one URL"_s;
        QTest::newRow("no URL") << QStringList{ u"--page"_s, page } << 2 << u"expected one URL"_s;
        QTest::newRow("two URLs") << QStringList{ u"--page"_s, page, demoResultsUrl,
                                                  demoResultsUrl }
                                  << 2 << u"expected one URL"_s;
        QTest::newRow("both modes")
            << QStringList{ u"--page"_s, page, u"--listing"_s, page, demoResultsUrl } << 2
            << u"cannot be used together"_s;
        QTest::newRow("unknown format")
            << QStringList{ u"--page"_s, page, demoResultsUrl, u"--format"_s, u"xml"_s } << 2
            << u"--format takes json or csv"_s;
        QTest::newRow("unknown option")
            << QStringList{ u"--pagez"_s, page, demoResultsUrl } << 2 << u"Unknown option"_s;
        QTest::newRow("relative URL") << QStringList{ u"--page"_s, page, u"search?page=2"_s } << 2
                                      << u"not an absolute URL"_s;
        QTest::newRow("missing page")
            << QStringList{ u"--page"_s, u"/nonexistent/page.html"_s, demoResultsUrl } << 1
            << u"cannot read /nonexistent/page.html: "_s;
        QTest::newRow("page is a directory")
            << QStringList{ u"--listing"_s, ListoroTest::dataDir(), demoListingUrl } << 1
            << u"cannot read "_s + ListoroTest::dataDir();
        QTest::newRow("missing settings")
            << QStringList{ u"--settings"_s, u"/nonexistent/settings.txt"_s, u"--page"_s, page,
                            demoResultsUrl }
            << 1 << u"cannot read /nonexistent/settings.txt: "_s;
        QTest::newRow("teach without example")
            << QStringList{ u"--teach"_s, u"--page"_s, page, demoResultsUrl } << 2
            << u"go together"_s;
        QTest::newRow("teach and check")
            << QStringList{ u"--teach"_s, u"--example"_s, u"x"_s,        u"--check"_s,
                            u"--page"_s,  page,           demoResultsUrl }
            << 2 << u"--teach goes with"_s;
        QTest::newRow("exclude on a listing")
            << QStringList{ u"--teach"_s, u"--example"_s, u"x"_s, u"--exclude"_s,
                            u"y"_s,       u"--listing"_s, page,   demoResultsUrl }
            << 2 << u"--exclude goes with"_s;
        QTest::newRow("example is no link")
            << QStringList{ u"--teach"_s, u"--example"_s, u"no such words"_s,
                            u"--page"_s,  page,           demoResultsUrl }
            << 3 << u"No link on the page says"_s;
        QTest::newRow("settings not JSON")
            << QStringList{ u"--settings"_s, page, u"--page"_s, page, demoResultsUrl } << 1
            << u"not a scrape settings document"_s;
        static QTemporaryDir documents;
        const QString infinite = documents.filePath(u"infinite.txt"_s);
        QFile file(infinite);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(R"({"version": 1e39, "settings": [{"regex": "demo"}]})");
        file.close();
        QTest::newRow("settings version beyond a float")
            << QStringList{ u"--settings"_s, infinite, u"--page"_s, page, demoResultsUrl } << 1
            << u"cannot use "_s + infinite + u": Its version"_s;
    }

    void failures_exitWithStatusAndOneLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, message);

        const Run result = run(arguments);
        QCOMPARE(result.status, status);
        QVERIFY(result.out.isEmpty());
        const QString err = QString::fromUtf8(result.err);
        QVERIFY2(err.startsWith(u"listoro-scrape: "_s), qPrintable(err));
        QVERIFY2(err.contains(message), qPrintable(err));
        QCOMPARE(err.count(u'\n'), 1);
        QVERIFY(err.endsWith(u'\n'));
        QVERIFY(!QFile::exists(storeFile()));
    }
};

LISTORO_TEST(TestListoroScrape)
#include "tst_listoroscrape.moc"
