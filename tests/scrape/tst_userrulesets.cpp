#include "common/testregistry.h"

#include "platform/userdefaults.h"
#include "scrape/userrulesets.h"

#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(ZestoScrapeSetting)
Q_DECLARE_METATYPE(UserRuleSets::Clash)

// The user's own rule sets: checked before they are stored, tried before the downloaded ones,
// never replaced by them, exported and imported as a settings document.

namespace {

ZestoScrapeSetting linkRules(const QString &name, const QString &regex,
                             const QString &link = u"//a[@class='hit']"_s,
                             const QString &extract = u"href"_s)
{
    ZestoScrapeSetting rules;
    rules.setName(name);
    rules.setRegex(regex);
    rules.setLink(link);
    rules.setLink_extract(extract);
    return rules;
}

} // namespace

class TestUserRuleSets final : public QObject
{
    Q_OBJECT

private slots:
    void init() { UserDefaults::setMemoryStore(true); }
    void cleanup() { UserDefaults::setMemoryStore(false); }

    void problemWith_data()
    {
        QTest::addColumn<ZestoScrapeSetting>("rules");
        QTest::addColumn<QString>("problem"); // part of the message; null: none

        QTest::newRow("usable") << linkRules(u"site"_s, u"^https?://site\\.example/"_s)
                                << QString();
        QTest::newRow("no name") << linkRules(u" "_s, u"site"_s) << u"no name"_s;
        QTest::newRow("pattern does not compile")
            << linkRules(u"site"_s, u"(site"_s) << u"not a valid regular expression"_s;
        QTest::newRow("query does not compile")
            << linkRules(u"site"_s, u"site"_s, u"//a[@class="_s) << u"not a valid XPath"_s;
        QTest::newRow("query gives a number")
            << linkRules(u"site"_s, u"site"_s, u"count(//a)"_s) << u"gives no elements"_s;
        QTest::newRow("unknown function")
            << linkRules(u"site"_s, u"site"_s, u"//a[nosuch(@href)]"_s) << u"not a valid XPath"_s;
        QTest::newRow("extraction neither content nor attribute")
            << linkRules(u"site"_s, u"site"_s, u"//a"_s, u"@href x"_s) << u"neither"_s;
        ZestoScrapeSetting empty;
        empty.setName(u"site"_s);
        empty.setRegex(u"site"_s);
        QTest::newRow("no rules") << empty << u"no listing-link, title or photo rule"_s;
    }

    void problemWith()
    {
        QFETCH(ZestoScrapeSetting, rules);
        QFETCH(QString, problem);
        const QString found = UserRuleSets::problemWith(rules);
        QCOMPARE(found.isNull(), problem.isNull());
        QVERIFY2(found.contains(problem), qPrintable(found));
        // A broken rule set is never stored.
        QCOMPARE(UserRuleSets::save(rules), found);
        QCOMPARE(UserRuleSets::all().size(), problem.isNull() ? 1 : 0);
    }

    void ownRules_comeFirstAndOutliveARefresh()
    {
        ZestoScrapeSetting::updateSettings(ZestoScrapeSetting::writeSettings(
            { linkRules(u"downloaded"_s, u"site\\.example"_s) }, 5));
        QCOMPARE(ZestoScrapeSetting::settingsForUrl(u"https://site.example/s"_s)->name(),
                 u"downloaded"_s);
        QVERIFY(UserRuleSets::save(linkRules(u"mine"_s, u"site\\.example/s"_s)).isNull());
        QCOMPARE(ZestoScrapeSetting::settingsForUrl(u"https://site.example/s"_s)->name(),
                 u"mine"_s);
        // Elsewhere on the site the downloaded rules still hold.
        QCOMPARE(ZestoScrapeSetting::settingsForUrl(u"https://site.example/other"_s)->name(),
                 u"downloaded"_s);
        ZestoScrapeSetting::updateSettings(ZestoScrapeSetting::writeSettings({}, 9));
        QCOMPARE(ZestoScrapeSetting::settingsForUrl(u"https://site.example/s"_s)->name(),
                 u"mine"_s);
    }

    void saveRenameRemove_keepNamesUnique()
    {
        QVERIFY(UserRuleSets::save(linkRules(u"a"_s, u"a\\.example"_s)).isNull());
        QVERIFY(UserRuleSets::save(linkRules(u"b"_s, u"b\\.example"_s)).isNull());
        // The same name again replaces it.
        QVERIFY(UserRuleSets::save(linkRules(u"a"_s, u"a2\\.example"_s)).isNull());
        QCOMPARE(UserRuleSets::all().size(), 2);
        QCOMPARE(UserRuleSets::all().first().regex(), u"a2\\.example"_s);
        QVERIFY(!UserRuleSets::rename(u"a"_s, u"b"_s));
        QVERIFY(!UserRuleSets::rename(u"a"_s, u"  "_s));
        QVERIFY(UserRuleSets::rename(u"a"_s, u"c"_s));
        QVERIFY(UserRuleSets::remove(u"b"_s));
        QVERIFY(!UserRuleSets::remove(u"b"_s));
        QCOMPARE(UserRuleSets::all().size(), 1);
        QCOMPARE(UserRuleSets::all().first().name(), u"c"_s);
    }

    void exportImport_roundTrip()
    {
        ZestoScrapeSetting listing = linkRules(u"listing"_s, u"site\\.example/item/"_s);
        listing.setLink({});
        listing.setLink_extract({});
        listing.setTitle(u"//h1/text()"_s);
        listing.setTitle_extract(u"@content"_s);
        listing.setInnerImgsWithSrc(u"//img[@class='photo']"_s);
        listing.setInnerImgsWithSrc_extract(u"src"_s);
        QVERIFY(UserRuleSets::save(linkRules(u"results"_s, u"site\\.example/search"_s)).isNull());
        QVERIFY(UserRuleSets::save(listing).isNull());
        const QList<ZestoScrapeSetting> before = UserRuleSets::all();
        const QString document = UserRuleSets::exportDocument();
        // The document reads back as the same rule sets, in the shipped format.
        QCOMPARE(ZestoScrapeSetting::readSettings(document), before);

        UserDefaults::setMemoryStore(true); // an empty store, as on another machine
        const UserRuleSets::Import imported = UserRuleSets::importDocument(document);
        QVERIFY2(imported.error.isNull(), qPrintable(imported.error));
        QCOMPARE(imported.added, 2);
        QCOMPARE(UserRuleSets::all(), before);
    }

    void import_refusesBrokenDocumentsWhole_data()
    {
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("error");
        QTest::newRow("not JSON") << u"settings"_s << u"not a settings document"_s;
        QTest::newRow("no rule sets") << u"{\"settings\": []}"_s << u"no rule sets"_s;
        QTest::newRow("one broken among good") << ZestoScrapeSetting::writeSettings(
            { linkRules(u"good"_s, u"good\\.example"_s),
              linkRules(u"bad"_s, u"bad\\.example"_s, u"//a["_s) },
            1) << u"“bad”: The link rule is not a valid XPath query"_s;
        QTest::newRow("one for every site among good") << ZestoScrapeSetting::writeSettings(
            { linkRules(u"good"_s, u"good\\.example"_s), linkRules(u"all"_s, u"."_s) }, 1)
                                                       << u"does not name the site"_s;
        QTest::newRow("version beyond a float") << ZestoScrapeSetting::writeSettings(
            { linkRules(u"good"_s, u"good\\.example"_s) }, 1e39)
                                                << u"version"_s;
    }

    void import_refusesBrokenDocumentsWhole()
    {
        QFETCH(QString, document);
        QFETCH(QString, error);
        QVERIFY(UserRuleSets::save(linkRules(u"kept"_s, u"kept"_s)).isNull());
        const UserRuleSets::Import imported = UserRuleSets::importDocument(document);
        QVERIFY2(imported.error.contains(error), qPrintable(imported.error));
        QCOMPARE(imported.added, 0);
        QCOMPARE(UserRuleSets::all().size(), 1);
    }

    void import_asksBeforeReplacingARuleSetOfTheSameName_data()
    {
        QTest::addColumn<UserRuleSets::Clash>("answer");
        QTest::addColumn<QString>("aPattern"); // the stored "a" afterwards
        QTest::addColumn<int>("added");
        QTest::newRow("asked") << UserRuleSets::Clash::Ask << u"mine\\.example"_s << 0;
        QTest::newRow("replace") << UserRuleSets::Clash::Replace << u"theirs\\.example"_s << 2;
        QTest::newRow("keep mine") << UserRuleSets::Clash::Keep << u"mine\\.example"_s << 1;
    }
    void import_asksBeforeReplacingARuleSetOfTheSameName()
    {
        QFETCH(UserRuleSets::Clash, answer);
        QFETCH(QString, aPattern);
        QFETCH(int, added);
        QVERIFY(UserRuleSets::save(linkRules(u"a"_s, u"mine\\.example"_s)).isNull());
        const UserRuleSets::Import imported = UserRuleSets::importDocument(
            ZestoScrapeSetting::writeSettings(
                { linkRules(u"a"_s, u"theirs\\.example"_s), linkRules(u"b"_s, u"b\\.example"_s) },
                1),
            answer);
        QVERIFY(imported.error.isNull());
        QCOMPARE(imported.clashes, QStringList{ u"a"_s });
        QCOMPARE(imported.added, added);
        const QList<ZestoScrapeSetting> stored = UserRuleSets::all();
        QCOMPARE(stored.size(), answer == UserRuleSets::Clash::Ask ? 1 : 2);
        QCOMPARE(stored.first().name(), u"a"_s); // names stay unique
        QCOMPARE(stored.first().regex(), aPattern);
    }
};

LISTORO_TEST(TestUserRuleSets)
#include "tst_userrulesets.moc"
