#include "common/testregistry.h"

#include "scrape/rulesdocumentcheck.h"
#include "scrape/settingsrefresh.h"

#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(RulesDocumentCheck::Origin)

// Which address patterns name the site they are for, and which documents may be adopted from
// where. Versions are checked in the refresh's own table.
class TestRulesDocumentCheck final : public QObject
{
    Q_OBJECT

private slots:
    void namesHost_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("named");
        QTest::newRow("any character") << u"."_s << false;
        QTest::newRow("anything") << u".*"_s << false;
        QTest::newRow("any web address") << u"https?://"_s << false;
        QTest::newRow("any host, a path") << u"^https?://[^/?#]+/listoro-demo/"_s << false;
        QTest::newRow("a path only") << u"/listoro-demo/search"_s << false;
        QTest::newRow("any .com") << u"^https?://[^/]+\\.com/"_s << false;
        QTest::newRow("optional www only") << u"^https?://(?:www\\.)?[a-z]+\\.com/"_s << false;
        QTest::newRow("a host or anything") << u"^https?://(?:kijiji\\.ca|.+)/"_s << false;
        QTest::newRow("the host optional") << u"^https?://(?:kijiji\\.ca)?"_s << false;
        QTest::newRow("escaped host") << u"^https?://(?:[a-z0-9-]+\\.)*kijiji\\.ca/"_s << true;
        QTest::newRow("host, any top-level domain")
            << u"^https?://(?:[a-z0-9-]+\\.)*craigslist\\.[a-z]{2,3}(?:\\.[a-z]{2})?/"_s << true;
        QTest::newRow("unescaped dot") << u"kijiji.ca"_s << true;
        QTest::newRow("derived, loopback and port")
            << u"^https?://127\\.0\\.0\\.1:41234/listoro-demo/search(?:[?#]|$)"_s << true;
        QTest::newRow("demo") << u"^https?://(?:127\\.0\\.0\\.1|localhost)(?::[0-9]+)?/"_s << true;
        QTest::newRow("ipv6 literal") << u"^https?://\\[::1\\]:8080/"_s << true;
        QTest::newRow("one-label host") << u"^http://intranet/"_s << true;
        QTest::newRow("does not compile") << u"(kijiji"_s << true;
    }
    void namesHost()
    {
        QFETCH(QString, pattern);
        QFETCH(bool, named);
        QCOMPARE(RulesDocumentCheck::namesHost(pattern), named);
    }

    void check_data()
    {
        using Origin = RulesDocumentCheck::Origin;
        QTest::addColumn<QString>("document");
        QTest::addColumn<Origin>("origin");
        QTest::addColumn<QString>("refusal"); // part of it; null: accepted
        const QString hostless = uR"({"version": 3, "settings": [{"regex": "demo"}]})"_s;
        QTest::newRow("shipped, as downloaded")
            << SettingsRefresh::shippedDocument() << Origin::Remote << QString();
        QTest::newRow("host-less, downloaded") << hostless << Origin::Remote << u"“demo”"_s;
        QTest::newRow("host-less, imported") << hostless << Origin::Import << u"every site"_s;
        QTest::newRow("host-less, for one scrape run")
            << hostless << Origin::CommandLine << QString();
        QTest::newRow("no version") << uR"({"settings": []})"_s << Origin::Remote << QString();
        QTest::newRow("version beyond a float")
            << uR"({"version": 1e39})"_s << Origin::CommandLine << u"from 0 to"_s;
        QTest::newRow("not JSON") << u"version: 1"_s << Origin::CommandLine
                                  << u"not a settings document"_s;
    }
    void check()
    {
        QFETCH(QString, document);
        QFETCH(RulesDocumentCheck::Origin, origin);
        QFETCH(QString, refusal);
        const RulesDocumentCheck::Verdict verdict = RulesDocumentCheck::check(document, origin);
        QCOMPARE(verdict.accepted(), refusal.isNull());
        QVERIFY2(verdict.refusal.contains(refusal), qPrintable(verdict.refusal));
    }
};

LISTORO_TEST(TestRulesDocumentCheck)
#include "tst_rulesdocumentcheck.moc"
