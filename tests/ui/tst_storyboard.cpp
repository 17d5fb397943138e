#include "common/testregistry.h"
#include "ui/recordingscreen.h"

#include "ui/navigationcontroller.h"
#include "ui/popover.h"
#include "ui/storyboard.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestStoryboard : public QObject
{
    Q_OBJECT

private slots:
    void pushSegue_preparesANewDestinationBeforeItIsShown();
    void popoverSegue_presentsTheNewContentOverTheSource();
    void segue_isIgnored_data();
    void segue_isIgnored();
};

void TestStoryboard::pushSegue_preparesANewDestinationBeforeItIsShown()
{
    QStringList log;
    Storyboard storyboard;
    int created = 0;
    storyboard.addPushSegue(u"Detailed View"_s, [&] {
        ++created;
        return new RecordingScreen(u"detail"_s, &log);
    });
    storyboard.setInitialViewController([&] { return new RecordingScreen(u"source"_s, &log); });
    auto source = static_cast<RecordingScreen *>(storyboard.instantiateInitialViewController());
    NavigationController navigation(source);
    navigation.show();
    log.clear();

    StoryboardSegue seen;
    QObject *seenSender = nullptr;
    bool loadedWhenPrepared = true;
    bool pushedWhenPrepared = true;
    source->onPrepare = [&](StoryboardSegue &segue, QObject *sender) {
        seen = segue;
        seenSender = sender;
        loadedWhenPrepared = segue.destination->isViewLoaded();
        pushedWhenPrepared = segue.destination->navigationController() != nullptr;
    };
    QObject tile;
    source->performSegue(u"Detailed View"_s, &tile);

    QCOMPARE(seen.identifier, u"Detailed View"_s);
    QCOMPARE(seen.source, source);
    QCOMPARE(seen.destination, navigation.topViewController());
    QCOMPARE(seen.popoverController, nullptr);
    QCOMPARE(seenSender, &tile);
    QVERIFY(!loadedWhenPrepared);
    QVERIFY(!pushedWhenPrepared);
    QCOMPARE(log.first(), u"source:prepareForSegue:Detailed View"_s);
    QCOMPARE(log.at(1), u"detail:viewDidLoad"_s);
    QVERIFY(log.endsWith(u"detail:viewDidAppear"_s));
    QCOMPARE(seen.destination->storyboard(), &storyboard);

    // Every segue makes a screen of its own.
    ViewController *first = seen.destination;
    navigation.popViewControllerAnimated(false);
    source->performSegue(u"Detailed View"_s, &tile);
    QCOMPARE(created, 2);
    QVERIFY(seen.destination != first);
    QCOMPARE(navigation.viewControllers(), (QList<ViewController *>{ source, seen.destination }));
}

void TestStoryboard::popoverSegue_presentsTheNewContentOverTheSource()
{
    Storyboard storyboard;
    ViewController *placedFor = nullptr;
    storyboard.addPopoverSegue(
        u"howtopopover"_s, [] { return new ViewController; },
        [&](ViewController *source) {
            placedFor = source;
            return Storyboard::PopoverPlacement{ QRect(300, 10, 100, 30), QSize(400, 300) };
        });
    auto source = new RecordingScreen(u"home"_s, nullptr);
    source->setStoryboard(&storyboard);
    NavigationController navigation(source);
    navigation.show();

    QPointer<Popover> popover;
    bool visibleWhenPrepared = true;
    source->onPrepare = [&](StoryboardSegue &segue, QObject *) {
        popover = segue.popoverController;
        QVERIFY(popover);
        QCOMPARE(popover->contentViewController(), segue.destination);
        QCOMPARE(popover->contentSize(), QSize(400, 300));
        visibleWhenPrepared = popover->isPopoverVisible();
    };
    source->performSegue(u"howtopopover"_s, source);

    QVERIFY(popover);
    QCOMPARE(placedFor, source);
    QVERIFY(!visibleWhenPrepared);
    QVERIFY(popover->isPopoverVisible());
    QCOMPARE(popover->contentViewController()->size(), QSize(400, 300));
    QCOMPARE(navigation.viewControllers().size(), 1);
}

void TestStoryboard::segue_isIgnored_data()
{
    QTest::addColumn<QString>("identifier");
    QTest::addColumn<bool>("onNavigation");

    QTest::newRow("unknown identifier") << u"Nowhere"_s << true;
    QTest::newRow("push from a screen on no navigation controller") << u"Surf"_s << false;
}

void TestStoryboard::segue_isIgnored()
{
    QFETCH(QString, identifier);
    QFETCH(bool, onNavigation);

    Storyboard storyboard;
    int created = 0;
    storyboard.addPushSegue(u"Surf"_s, [&] {
        ++created;
        return new ViewController;
    });
    auto source = new RecordingScreen(u"home"_s, nullptr);
    source->setStoryboard(&storyboard);
    bool prepared = false;
    source->onPrepare = [&](StoryboardSegue &, QObject *) {
        prepared = true;
    };
    NavigationController navigation;
    std::unique_ptr<ViewController> offStack;
    if (onNavigation)
        navigation.pushViewController(source, false);
    else
        offStack.reset(source);

    source->performSegue(identifier, source);
    QCOMPARE(created, 0);
    QVERIFY(!prepared);
    QCOMPARE(navigation.viewControllers().size(), onNavigation ? 1 : 0);
}

LISTORO_TEST(TestStoryboard)
#include "tst_storyboard.moc"
