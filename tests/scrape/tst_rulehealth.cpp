#include "common/testregistry.h"

#include "scrape/rulehealth.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace Qt::StringLiterals;

// How each rule fared on a page, as the tool's --check and the browser's no-links message say.

Q_DECLARE_METATYPE(RuleHealth::Verdict)
Q_DECLARE_METATYPE(RuleHealth::PageKind)

namespace {

const QString pageUrl = u"http://site.example/search"_s;

struct Rule
{
    QString key;
    QString select;
    QString extract;
};

// A rule set's "settings" object.
QJsonObject rules(std::initializer_list<Rule> list)
{
    QJsonObject object;
    for (const Rule &rule : list)
        object.insert(rule.key,
                      QJsonObject{ { u"select"_s, rule.select }, { u"extract"_s, rule.extract } });
    return object;
}

// One rule set named "demo rules" with the given rules; an empty object: no rule set.
std::optional<ZestoScrapeSetting> ruleSet(const QJsonObject &rules)
{
    if (rules.isEmpty())
        return std::nullopt;
    const QJsonObject entry{ { u"name"_s, u"demo rules"_s },
                             { u"regex"_s, u"site"_s },
                             { u"settings"_s, rules } };
    const QJsonObject document{ { u"settings"_s, QJsonArray{ entry } } };
    return ZestoScrapeSetting::readSettings(QString::fromUtf8(QJsonDocument(document).toJson()))
        .value(0);
}

} // namespace

class TestRuleHealth final : public QObject
{
    Q_OBJECT

private slots:
    void check_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<RuleHealth::PageKind>("kind");
        QTest::addColumn<QJsonObject>("rules");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("matched");
        QTest::addColumn<int>("values");
        QTest::addColumn<RuleHealth::Verdict>("verdict");
        QTest::addColumn<QStringList>("unmet");
        QTest::addColumn<QString>("summary"); // part of linkSummary()

        using V = RuleHealth::Verdict;
        const auto results = RuleHealth::PageKind::Results;
        const auto listing = RuleHealth::PageKind::Listing;
        const QByteArray list = "<ul><li><a href='/a'>A</a></li><li><a href='/b'>B</a></li></ul>";
        const QJsonObject links = rules({ { u"link"_s, u"//li/a"_s, u"href"_s } });

        QTest::newRow("links found") << list << results << links << u"link"_s << 2 << 2 << V::Ok
                                     << QStringList() << u"found 2 links"_s;
        QTest::newRow("nothing matched")
            << list << results << rules({ { u"link"_s, u"//tr/a"_s, u"href"_s } }) << u"link"_s << 0
            << 0 << V::NoMatch << QStringList{ u"link"_s }
            << u"“demo rules”. Their listing-link rule matched nothing"_s;
        QTest::newRow("attribute missing")
            << list << results << rules({ { u"link"_s, u"//li/a"_s, u"data-id"_s } }) << u"link"_s
            << 2 << 0 << V::NoValue << QStringList{ u"link"_s }
            << u"matched 2 elements on this page, but none gave a link"_s;
        QTest::newRow("values that are no web address")
            << QByteArray("<li><a href='javascript:void(0)'>A</a></li>") << results << links
            << u"link"_s << 1 << 0 << V::NoValue << QStringList{ u"link"_s } << u"gave no link"_s;
        QTest::newRow("malformed query")
            << list << results << rules({ { u"link"_s, u"//li/a["_s, u"href"_s } }) << u"link"_s
            << 0 << 0 << V::Malformed << QStringList{ u"link"_s } << u"not a valid query"_s;
        QTest::newRow("a number, not nodes")
            << list << results << rules({ { u"link"_s, u"count(//a)"_s, u"href"_s } }) << u"link"_s
            << 0 << 0 << V::NotANodeSet << QStringList{ u"link"_s } << u"not a valid query"_s;
        QTest::newRow("too many nodes")
            << QByteArray("<p></p>").repeated(maxMatchedNodes + 1) << results
            << rules({ { u"link"_s, u"//p"_s, u"id"_s } }) << u"link"_s << maxMatchedNodes + 1 << 0
            << V::OverBudget << QStringList{ u"link"_s } << u"too much work"_s;
        QTest::newRow("empty page")
            << QByteArray() << results << links << u"link"_s << 0 << 0 << V::NoDocument
            << QStringList{ u"link"_s } << u"matched nothing"_s;
        QTest::newRow("no link rule")
            << list << results << rules({ { u"next"_s, u"//li/a"_s, u"href"_s } }) << u"link"_s << 0
            << 0 << V::NoRule << QStringList{ u"link"_s } << u"no listing-link rule"_s;
        QTest::newRow("no rule set")
            << list << results << QJsonObject() << QString() << 0 << 0 << V::NoRule
            << QStringList{ u"link"_s } << u"No rule set knows this address"_s;

        const QByteArray item = "<h1> Bike </h1><img src='/1.jpg'><img src='/2.jpg'>";
        QTest::newRow("listing with title and photos")
            << item << listing
            << rules({ { u"title"_s, u"//h1/text()"_s, u"@content"_s },
                       { u"innerImgsWithSrc"_s, u"//img"_s, u"src"_s } })
            << u"innerImgsWithSrc"_s << 2 << 2 << V::Ok << QStringList()
            << u"no listing-link rule"_s;
        QTest::newRow("listing whose photo rule finds nothing")
            << item << listing
            << rules({ { u"title"_s, u"//h1/text()"_s, u"@content"_s },
                       { u"innerImgsWithHref"_s, u"//a[@class='photo']"_s, u"href"_s } })
            << u"innerImgsWithHref"_s << 0 << 0 << V::NoMatch << QStringList{ u"photos"_s }
            << u"no listing-link rule"_s;
        // A rule that finds nothing where the page has nothing of the kind is no alarm.
        const auto withNext = [&](const char *next) {
            return rules({ { u"link"_s, u"//li/a"_s, u"href"_s },
                           { u"next"_s, QString::fromLatin1(next), u"href"_s } });
        };
        QTest::newRow("last page: no next link")
            << list << results << withNext("//a[@rel='next']") << u"next"_s << 0 << 0
            << V::NoneOnPage << QStringList() << u"found 2 links"_s;
        QTest::newRow("last page: next link disabled") << list
                + "<p class='pager'><span class='Disabled'><a href='?p=3'>Suivante "
                  "&#8250;</a></span></p>" << results << withNext("//a[@id='next']")
                                                       << u"next"_s << 0 << 0 << V::NoneOnPage
                                                       << QStringList() << u"found 2 links"_s;
        for (const char *next :
             { "<a class='pagination-next' href='?p=2'>2</a>", "<a rel='next' href='?p=2'>2</a>",
               "<a href='?p=2'>Nächste</a>", "<a href='?p=2'> &#187; </a>" }) {
            QTest::newRow(next) << list + next << results << withNext("//a[@id='next']")
                                << u"next"_s << 0 << 0 << V::NoMatch << QStringList()
                                << u"found 2 links"_s;
        }
        QTest::newRow("listing without photos")
            << QByteArray("<h1>Bike</h1><img src='/logo.png'>") << listing
            << rules({ { u"title"_s, u"//h1/text()"_s, u"@content"_s },
                       { u"innerImgsWithHref"_s, u"//a[@class='photo']"_s, u"href"_s } })
            << u"innerImgsWithHref"_s << 0 << 0 << V::NoneOnPage << QStringList()
            << u"no listing-link rule"_s;
        QTest::newRow("listing rules without photo rules")
            << item << listing << rules({ { u"title"_s, u"//h2/text()"_s, u"@content"_s } })
            << u"innerImgsWithSrc"_s << 0 << 0 << V::NoRule
            << QStringList{ u"title"_s, u"photos"_s } << u"no listing-link rule"_s;
    }

    void check()
    {
        QFETCH(QByteArray, page);
        QFETCH(RuleHealth::PageKind, kind);
        QFETCH(QJsonObject, rules);
        QFETCH(QString, key);
        QFETCH(int, matched);
        QFETCH(int, values);
        QFETCH(RuleHealth::Verdict, verdict);
        QFETCH(QStringList, unmet);
        QFETCH(QString, summary);

        const RuleHealth health = RuleHealth::check(page, pageUrl, kind, ruleSet(rules));
        QCOMPARE(health.unmetNeeds(), unmet);
        QVERIFY(!summary.isEmpty());
        QVERIFY2(health.linkSummary().contains(summary), qPrintable(health.linkSummary()));
        if (key.isNull()) {
            QVERIFY(!health.hasRuleSet());
            QVERIFY(health.checks().isEmpty());
            return;
        }
        QCOMPARE(health.ruleSetName(), u"demo rules"_s);
        const RuleHealth::Check *check = health.checkOf(key);
        QVERIFY(check);
        QCOMPARE(check->matched, matched);
        QCOMPARE(check->values, values);
        QCOMPARE(RuleHealth::verdictText(check->verdict), RuleHealth::verdictText(verdict));
        QCOMPARE(check->needed, key != u"next");
    }
};

LISTORO_TEST(TestRuleHealth)
#include "tst_rulehealth.moc"
