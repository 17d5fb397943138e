#include "common/testregistry.h"
#include "ui/recordingscreen.h"

#include "platform/userdefaults.h"
#include "ui/barbuttonitem.h"
#include "ui/navigationbar.h"
#include "ui/navigationcontroller.h"
#include "ui/navigationitem.h"

#include <QAbstractButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestNavigationController : public QObject
{
    Q_OBJECT

private slots:
    void lifecycle_followsPushAndPop_data();
    void lifecycle_followsPushAndPop();
    void lifecycle_waitsForTheWindowToShow();
    void backButton_popsTheTopScreenWhichIsDeletedLater();
    void backButton_takesTitleFromPreviousScreen_data();
    void backButton_takesTitleFromPreviousScreen();
    void rightItems_firstStandsAtTheRightEdgeAndTriggers();
    void rightItems_droppedItemsAreDeletedAfterTheEvent();
    void orientationChanged_firesOnlyWhenTheShapeFlips_data();
    void orientationChanged_firesOnlyWhenTheShapeFlips();
    void windowGeometry_isRestoredOnTheNextStart();
};

void TestNavigationController::lifecycle_followsPushAndPop_data()
{
    QTest::addColumn<QStringList>("operations");
    QTest::addColumn<QStringList>("expected");

    const QStringList pushB{ u"B:viewDidLoad"_s, u"A:viewWillDisappear"_s, u"B:viewWillAppear"_s,
                             u"A:viewDidDisappear"_s, u"B:viewDidAppear"_s };
    const QStringList popB{ u"B:viewWillDisappear"_s, u"A:viewWillAppear"_s,
                            u"B:viewDidDisappear"_s, u"A:viewDidAppear"_s };
    QTest::newRow("push") << QStringList{ u"push B"_s } << pushB;
    QTest::newRow("push then pop") << QStringList{ u"push B"_s, u"pop"_s } << pushB + popB;
    QTest::newRow("pop at the root does nothing") << QStringList{ u"pop"_s } << QStringList{};
    QTest::newRow("pop to root skips the middle screen")
        << QStringList{ u"push B"_s, u"push C"_s, u"popToRoot"_s }
        << pushB + QStringList{ u"C:viewDidLoad"_s,    u"B:viewWillDisappear"_s,
                                u"C:viewWillAppear"_s, u"B:viewDidDisappear"_s,
                                u"C:viewDidAppear"_s,  u"C:viewWillDisappear"_s,
                                u"A:viewWillAppear"_s, u"C:viewDidDisappear"_s,
                                u"A:viewDidAppear"_s };
}

void TestNavigationController::lifecycle_followsPushAndPop()
{
    QFETCH(QStringList, operations);
    QFETCH(QStringList, expected);

    QStringList log;
    NavigationController navigation(new RecordingScreen(QStringLiteral("A"), &log));
    navigation.show();
    QCOMPARE(log, QStringList({ u"A:viewDidLoad"_s, u"A:viewWillAppear"_s, u"A:viewDidAppear"_s }));
    log.clear();

    for (const QString &operation : operations) {
        if (operation.startsWith(u"push "))
            navigation.pushViewController(new RecordingScreen(operation.mid(5), &log), true);
        else if (operation == u"pop")
            navigation.popViewControllerAnimated(true);
        else
            navigation.popToRootViewController(true);
    }
    QCOMPARE(log, expected);
    QVERIFY(navigation.topViewController()->isVisible());
    QCOMPARE(navigation.topViewController()->navigationController(), &navigation);
}

void TestNavigationController::lifecycle_waitsForTheWindowToShow()
{
    QStringList log;
    NavigationController navigation(new RecordingScreen(QStringLiteral("A"), &log));
    navigation.pushViewController(new RecordingScreen(QStringLiteral("B"), &log), false);
    QCOMPARE(log, QStringList({ u"A:viewDidLoad"_s, u"B:viewDidLoad"_s }));

    log.clear();
    navigation.show();
    QCOMPARE(log, QStringList({ u"B:viewWillAppear"_s, u"B:viewDidAppear"_s }));

    log.clear();
    navigation.close();
    QCOMPARE(log, QStringList({ u"B:viewWillDisappear"_s, u"B:viewDidDisappear"_s }));
}

void TestNavigationController::backButton_popsTheTopScreenWhichIsDeletedLater()
{
    auto root = new ViewController;
    NavigationController navigation(root);
    navigation.show();
    QAbstractButton *back = navigation.navigationBar()->backButton();
    QVERIFY(!back->isVisible());

    QPointer<ViewController> pushed = new ViewController;
    navigation.pushViewController(pushed, true);
    QVERIFY(back->isVisible());
    QTest::mouseClick(back, Qt::LeftButton);
    QCOMPARE(navigation.viewControllers(), QList<ViewController *>{ root });
    QVERIFY(!back->isVisible());
    QVERIFY(pushed);
    QCOMPARE(pushed->navigationController(), nullptr);
    QTRY_VERIFY(pushed.isNull());
}

void TestNavigationController::backButton_takesTitleFromPreviousScreen_data()
{
    QTest::addColumn<QString>("backItemTitle");
    QTest::addColumn<QString>("previousTitle");
    QTest::addColumn<QString>("expected");

    QTest::newRow("back item wins") << u"Home"_s << u"Listoro"_s << u"Home"_s;
    QTest::newRow("no back item: title") << QString() << u"Listoro"_s << u"Listoro"_s;
    QTest::newRow("empty back item: title") << QString(u""_s) << u"Listoro"_s << u"Listoro"_s;
    QTest::newRow("nothing: Back") << QString() << QString() << u"Back"_s;
}

void TestNavigationController::backButton_takesTitleFromPreviousScreen()
{
    QFETCH(QString, backItemTitle);
    QFETCH(QString, previousTitle);
    QFETCH(QString, expected);

    auto root = new ViewController;
    NavigationController navigation(root);
    auto top = new ViewController;
    top->navigationItem()->setTitle(QStringLiteral("Top"));
    navigation.pushViewController(top, false);
    navigation.show();

    // Set after the push: the bar follows the previous screen's items as they change.
    root->navigationItem()->setTitle(previousTitle);
    if (!backItemTitle.isNull()) {
        root->navigationItem()->setBackBarButtonItem(
            new BarButtonItem(backItemTitle, BarButtonItem::Style::Bordered));
    }
    QCOMPARE(navigation.navigationBar()->backButton()->text(), expected);
    QCOMPARE(navigation.navigationBar()->title(), QStringLiteral("Top"));
}

void TestNavigationController::rightItems_firstStandsAtTheRightEdgeAndTriggers()
{
    auto screen = new ViewController;
    NavigationController navigation(screen);
    navigation.show();
    NavigationBar *bar = navigation.navigationBar();

    auto kijiji = new BarButtonItem(QStringLiteral("Kijiji"), BarButtonItem::Style::Bordered);
    auto backpage = new BarButtonItem(QStringLiteral("Backpage ®"), BarButtonItem::Style::Bordered);
    auto craigslist
        = new BarButtonItem(QStringLiteral("Craigslist ®"), BarButtonItem::Style::Bordered);
    screen->navigationItem()->setRightBarButtonItems({ kijiji, backpage, craigslist });
    QCOMPARE(screen->navigationItem()->rightBarButtonItem(), kijiji);

    const QRect k = bar->buttonForItem(kijiji)->geometry();
    const QRect b = bar->buttonForItem(backpage)->geometry();
    const QRect c = bar->buttonForItem(craigslist)->geometry();
    QVERIFY(c.right() < b.left());
    QVERIFY(b.right() < k.left());
    QVERIFY(k.right() < bar->width() && k.right() > bar->width() - 20);

    // A click triggers the item; the button follows the item's changes.
    QSignalSpy triggered(kijiji, &BarButtonItem::triggered);
    QAbstractButton *button = bar->buttonForItem(kijiji);
    QTest::mouseClick(button, Qt::LeftButton);
    kijiji->setEnabled(false);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(triggered.count(), 1);
    kijiji->setTitle(u"Kijiji.ca"_s);
    QCOMPARE(bar->buttonForItem(kijiji), button);
    QCOMPARE(button->text(), u"Kijiji.ca"_s);
    QVERIFY(!button->isEnabled());

    screen->navigationItem()->setRightBarButtonItem(nullptr);
    QVERIFY(screen->navigationItem()->rightBarButtonItems().isEmpty());
    QCOMPARE(bar->buttonForItem(kijiji), nullptr);
}

void TestNavigationController::rightItems_droppedItemsAreDeletedAfterTheEvent()
{
    NavigationItem item;
    QPointer<BarButtonItem> kept = new BarButtonItem;
    QPointer<BarButtonItem> dropped = new BarButtonItem;
    item.setRightBarButtonItems({ kept, dropped });
    QCOMPARE(kept->parent(), &item);

    // Taken out and put back within one event: the item stays.
    item.setRightBarButtonItems({});
    item.setRightBarButtonItems({ kept });
    QVERIFY(dropped);
    QTRY_VERIFY(dropped.isNull());
    QVERIFY(kept);

    delete kept.data();
    QVERIFY(item.rightBarButtonItems().isEmpty());
}

void TestNavigationController::orientationChanged_firesOnlyWhenTheShapeFlips_data()
{
    QTest::addColumn<QList<QSize>>("sizes");
    QTest::addColumn<QStringList>("rotations");

    QTest::newRow("landscape to portrait")
        << QList<QSize>{ { 500, 700 } } << QStringList{ u"top:didRotate:fromLandscape"_s };
    QTest::newRow("same shape") << QList<QSize>{ { 640, 400 }, { 720, 500 } } << QStringList{};
    QTest::newRow("a square is portrait")
        << QList<QSize>{ { 500, 500 } } << QStringList{ u"top:didRotate:fromLandscape"_s };
    QTest::newRow("there and back")
        << QList<QSize>{ { 400, 600 }, { 420, 640 }, { 700, 500 } }
        << QStringList{ u"top:didRotate:fromLandscape"_s, u"top:didRotate:fromPortrait"_s };
}

void TestNavigationController::orientationChanged_firesOnlyWhenTheShapeFlips()
{
    QFETCH(QList<QSize>, sizes);
    QFETCH(QStringList, rotations);

    QStringList log;
    NavigationController navigation(new ViewController);
    navigation.pushViewController(new RecordingScreen(QStringLiteral("top"), &log), false);
    navigation.resize(700, 500);
    navigation.show();
    QVERIFY(QTest::qWaitForWindowExposed(&navigation));
    QSignalSpy orientation(&navigation, &NavigationController::orientationChanged);
    QSignalSpy resized(&navigation, &NavigationController::resized);
    log.clear();

    for (const QSize &size : sizes) {
        const qsizetype before = resized.count();
        navigation.resize(size);
        QTRY_COMPARE(resized.count(), before + 1);
        QCOMPARE(navigation.topViewController()->isLandscape(), size.width() > size.height());
    }
    QCOMPARE(log, rotations);
    QCOMPARE(orientation.count(), rotations.size());
}

void TestNavigationController::windowGeometry_isRestoredOnTheNextStart()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    UserDefaults::setStoreFile(dir.filePath(QStringLiteral("defaults.ini")));
    const auto restoreStore = qScopeGuard([] { UserDefaults::setStoreFile(QString()); });

    const QRect placed(40, 50, 620, 410);
    {
        NavigationController first(new ViewController);
        first.restoreWindowGeometry();
        QCOMPARE(first.size(), QSize(1024, 768));
        first.setGeometry(placed);
        first.show();
        QVERIFY(QTest::qWaitForWindowExposed(&first));
        QTRY_COMPARE(first.geometry(), placed);
        first.close();
    }

    NavigationController next(new ViewController);
    next.restoreWindowGeometry();
    next.show();
    QVERIFY(QTest::qWaitForWindowExposed(&next));
    QTRY_COMPARE(next.geometry(), placed);
}

LISTORO_TEST(TestNavigationController)
#include "tst_navigationcontroller.moc"
