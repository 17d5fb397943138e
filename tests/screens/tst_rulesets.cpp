#include "common/testregistry.h"
#include "homefixture.h"

#include "demo/demosite.h"
#include "platform/storeproblems.h"
#include "scrape/userrulesets.h"
#include "screens/rulesetform.h"
#include "screens/rulesetsviewcontroller.h"
#include "ui/barbuttonitem.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

// The "Rule sets" screen, reached from the home screen: the user's own rule sets listed,
// edited (a broken edit is refused and nothing is stored), tested on a page, deleted,
// exported and imported.

namespace {

ZestoScrapeSetting demoResults(const QString &name)
{
    ZestoScrapeSetting rules;
    rules.setName(name);
    rules.setRegex(u"127\\.0\\.0\\.1(?::[0-9]+)?/listoro-demo/search"_s);
    rules.setLink(u"//a[contains(concat(' ', normalize-space(@class), ' '), ' result-title ')]"_s);
    rules.setLink_extract(u"href"_s);
    return rules;
}

void press(AlertView *alert, int index)
{
    alert->buttonAtIndex(index)->click();
}

} // namespace

class TestRuleSets final : public QObject
{
    Q_OBJECT

    std::unique_ptr<TemporaryProfile> profile;
    std::unique_ptr<HomeWindow> home;

    RuleSetsViewController *open()
    {
        home->home()->btnRuleSets()->trigger();
        auto *screen = qobject_cast<RuleSetsViewController *>(home->window->topViewController());
        return screen;
    }

private slots:
    void init()
    {
        profile = std::make_unique<TemporaryProfile>();
        confirmHowto();
        QVERIFY(UserRuleSets::save(demoResults(u"demo results"_s)).isNull());
        home = std::make_unique<HomeWindow>();
        home->window->show();
    }
    void cleanup()
    {
        home.reset();
        profile.reset();
    }

    void listsTheUsersRuleSets()
    {
        RuleSetsViewController *screen = open();
        QVERIFY(screen);
        QCOMPARE(screen->list()->count(), 1);
        QVERIFY(screen->list()->item(0)->text().startsWith(u"demo results\n127\\.0\\.0\\.1"_s));
        QVERIFY(screen->details()->toPlainText().contains(u"result-title"_s));
        QVERIFY(home->window->windowTitle().startsWith(u"Rule sets"_s));
    }

    void edit_refusesABrokenRuleAndStoresAGoodOne()
    {
        RuleSetsViewController *screen = open();
        screen->button(u"ruleSetEdit"_s)->click();
        RuleSetForm *form = screen->form();
        QVERIFY(form->isVisible());
        form->selectField(u"link"_s)->setText(u"//a[@class="_s);
        form->findChild<QPushButton *>(u"ruleSetSave"_s)->click();
        QVERIFY(form->problemLabel()->text().contains(u"not a valid XPath query"_s));
        QCOMPARE(UserRuleSets::all().first(), demoResults(u"demo results"_s));

        form->nameField()->setText(u"renamed"_s);
        form->selectField(u"link"_s)->setText(u"//li//a"_s);
        form->findChild<QPushButton *>(u"ruleSetSave"_s)->click();
        QCOMPARE(UserRuleSets::all().size(), 1);
        QCOMPARE(UserRuleSets::all().first().name(), u"renamed"_s);
        QCOMPARE(UserRuleSets::all().first().link(), u"//li//a"_s);
        QVERIFY(screen->status()->text().contains(u"saved"_s));
    }

    void delete_asksFirst()
    {
        RuleSetsViewController *screen = open();
        screen->button(u"ruleSetDelete"_s)->click();
        AlertView *confirm = AlertView::visibleAlerts().value(0);
        QVERIFY(confirm);
        press(confirm, 1);
        QCOMPARE(UserRuleSets::all().size(), 1);
        screen->button(u"ruleSetDelete"_s)->click();
        press(AlertView::visibleAlerts().value(0), 0);
        QVERIFY(UserRuleSets::all().isEmpty());
        QCOMPARE(screen->list()->count(), 0);
        QVERIFY(!screen->button(u"ruleSetEdit"_s)->isEnabled());
    }

    void exportThenImport_bringsTheRuleSetsBack()
    {
        RuleSetsViewController *screen = open();
        const QString path = profile->dir.filePath(u"rules.txt"_s);
        QVERIFY(screen->exportTo(path));
        UserRuleSets::remove(u"demo results"_s);
        QVERIFY(screen->importFrom(path));
        QCOMPARE(UserRuleSets::all(), QList<ZestoScrapeSetting>{ demoResults(u"demo results"_s) });
        // A broken document changes nothing and says why.
        QFile broken(path);
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("{\"settings\": [{\"name\": \"x\", \"regex\": \"(\", \"settings\": {}}]}");
        broken.close();
        QVERIFY(!screen->importFrom(path));
        QVERIFY(screen->status()->text().startsWith(u"Nothing was imported."_s));
        QCOMPARE(UserRuleSets::all().size(), 1);
    }

    void import_asksBeforeReplacingARuleSetOfTheSameName()
    {
        RuleSetsViewController *screen = open();
        const QString path = profile->dir.filePath(u"rules.txt"_s);
        QVERIFY(screen->exportTo(path));
        ZestoScrapeSetting edited = demoResults(u"demo results"_s);
        edited.setLink(u"//li//a"_s);
        QVERIFY(UserRuleSets::save(edited).isNull());
        for (const int answer : { 1, 0 }) { // No, then Yes
            QVERIFY(screen->importFrom(path));
            AlertView *question = AlertView::visibleAlerts().value(0);
            QVERIFY(question);
            QVERIFY(question->title().contains(u"“demo results”"_s));
            press(question, answer);
            QCOMPARE(
                UserRuleSets::all(),
                QList<ZestoScrapeSetting>{ answer == 0 ? demoResults(u"demo results"_s) : edited });
        }
    }

    void unwritableSettings_saveIsNotReportedAndTheUserIsTold()
    {
        RuleSetsViewController *screen = open();
        QFile blocker(profile->dir.filePath(u"blocker"_s));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        screen->button(u"ruleSetEdit"_s)->click();
        StoreProblems::instance().reset();
        UserDefaults::setStoreFile(profile->dir.filePath(u"blocker/store.ini"_s));
        screen->form()->findChild<QPushButton *>(u"ruleSetSave"_s)->click();
        QVERIFY2(screen->status()->text().contains(u"kept only until Listoro quits"_s),
                 qPrintable(screen->status()->text()));
        QTRY_VERIFY(!AlertView::visibleAlerts().isEmpty());
        QVERIFY(AlertView::visibleAlerts().constFirst()->message().contains(
            u"cannot write its settings in "_s + profile->dir.filePath(u"blocker/store.ini"_s)));
        StoreProblems::instance().reset();
    }

    void refusedDownload_isShownWithItsReason()
    {
        QVERIFY(!SettingsRefresh::adoptIfNewer(
            u"{\"version\": 99, \"settings\": [{\"regex\": \".*\"}]}"_s));
        RuleSetsViewController *screen = open();
        QVERIFY(screen->status()->text().contains(u"refused"_s));
        QVERIFY(screen->status()->text().contains(u"“.*”"_s));
        SettingsRefresh::clearLastRefusal();
    }

    void test_saysWhatEachRuleFindsOnThePage()
    {
        DemoSite site;
        QVERIFY(site.start());
        RuleSetsViewController *screen = open();
        screen->testSelected(site.searchUrl(1).toString());
        // Each rule by the form's name for it, not by its key.
        QTRY_VERIFY_WITH_TIMEOUT(screen->details()->toPlainText().contains(u"Listing links: ok"_s),
                                 10000);
        QVERIFY(!screen->details()->toPlainText().contains(u"link:"_s));
        QVERIFY(screen->status()->text().contains(u"found something"_s));
        screen->testSelected(u"not an address"_s);
        QVERIFY(screen->status()->text().contains(u"is not the address of a web page"_s));
    }
};

LISTORO_TEST(TestRuleSets)
#include "tst_rulesets.moc"
