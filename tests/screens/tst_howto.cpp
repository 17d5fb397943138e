#include "common/testregistry.h"
#include "screens/homefixture.h"

#include "screens/howtopopoverviewcontroller.h"
#include "ui/popover.h"
#include "ui/popoveroverlay.h"
#include "widgets/panelview.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

HowtoPopOverViewController *howtoOf(HomeViewController *home)
{
    return home->popover()
        ? qobject_cast<HowtoPopOverViewController *>(home->popover()->contentViewController())
        : nullptr;
}

bool howtoShown(HomeViewController *home)
{
    return home->popover() && home->popover()->isPopoverVisible();
}

bool howtoOkayed()
{
    return UserDefaults::standard().boolForKey(DefaultsKeys::howtoPopoverOkayed);
}

// A click through the window at a point of one of its widgets, as the user makes it.
void clickAt(NavigationController *window, QWidget *widget, QPoint point)
{
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, widget->mapTo(window, point));
}

void comeBackToHome(NavigationController *window)
{
    window->pushViewController(new ViewController, false);
    window->popViewControllerAnimated(false);
}

} // namespace

class TestHowto : public QObject
{
    Q_OBJECT

private slots:
    void gotIt_removesTheCoverAndTheHowtoForGood();
    void remindLater_keepsTheCoverUntilClickedAndComesBack();
    void clickOutside_closesTheHowtoAndKeepsTheCover();
    void rotation_presentsAPendingHowtoAnewOverHomeOnly_data();
    void rotation_presentsAPendingHowtoAnewOverHomeOnly();
    void keys_f1ShowsTheHowtoAndTheCoverGoesOnByKey_data();
    void keys_f1ShowsTheHowtoAndTheCoverGoesOnByKey();
};

void TestHowto::keys_f1ShowsTheHowtoAndTheCoverGoesOnByKey_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Escape") << int(Qt::Key_Escape);
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Space") << int(Qt::Key_Space);
}

// F1 brings the how-to back for a user who okayed it; the cover left after "Remind me later"
// goes on by a key as by a click.
void TestHowto::keys_f1ShowsTheHowtoAndTheCoverGoesOnByKey()
{
    QFETCH(int, key);
    TemporaryProfile profile;
    confirmHowto();
    HomeWindow w;
    w.window->show();
    w.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
    HomeViewController *home = w.home();
    QVERIFY(!howtoShown(home));
    QTest::keyClick(w.window.get(), Qt::Key_F1);
    QTRY_VERIFY(howtoShown(home));
    QTest::mouseClick(howtoOf(home)->btnRemindLater(), Qt::LeftButton);
    QVERIFY(home->coverView()->isVisible());
    QTest::keyClick(w.window.get(), Qt::Key(key));
    QTRY_VERIFY(home->coverView()->isHidden());
}

void TestHowto::gotIt_removesTheCoverAndTheHowtoForGood()
{
    TemporaryProfile profile;
    {
        HomeWindow w;
        w.window->show();
        HomeViewController *home = w.home();
        QVERIFY(howtoShown(home));
        QVERIFY(home->coverView()->isVisible());
        HowtoPopOverViewController *howto = howtoOf(home);
        QVERIFY(howto);
        QCOMPARE(howto->homeViewController(), home);
        QCOMPARE(howto->popover(), home->popover());
        // It points at the favorites panel from below.
        QCOMPARE(home->popover()->overlay()->arrowDirection(), PopoverOverlay::ArrowDirection::Up);

        QTest::mouseClick(howto->btnGotIt(), Qt::LeftButton);
        QVERIFY(!howtoShown(home));
        QVERIFY(home->coverView()->isHidden());
        QVERIFY(howtoOkayed());
    }
    // A new launch on the same profile.
    HomeWindow again;
    again.window->show();
    QVERIFY(!again.home()->popover());
    QVERIFY(again.home()->coverView()->isHidden());
}

void TestHowto::remindLater_keepsTheCoverUntilClickedAndComesBack()
{
    TemporaryProfile profile;
    HomeWindow w;
    w.window->show();
    HomeViewController *home = w.home();
    const QLabel *hint = home->coverView()->findChild<QLabel *>(u"coverHint"_s);
    QVERIFY(hint->isHidden());
    QTest::mouseClick(howtoOf(home)->btnRemindLater(), Qt::LeftButton);
    QVERIFY(!howtoShown(home));
    QVERIFY(home->coverView()->isVisible());
    QVERIFY(hint->isVisible());
    QVERIFY(!howtoOkayed());

    clickAt(w.window.get(), home->coverView(), home->coverView()->rect().center());
    QVERIFY(home->coverView()->isHidden());

    comeBackToHome(w.window.get());
    QVERIFY(howtoShown(home));
    QVERIFY(home->coverView()->isVisible());
}

void TestHowto::clickOutside_closesTheHowtoAndKeepsTheCover()
{
    TemporaryProfile profile;
    HomeWindow w;
    w.window->show();
    HomeViewController *home = w.home();
    QPointer<Popover> popover = home->popover();
    PopoverOverlay *overlay = popover->overlay();
    const QPoint outside(5, overlay->height() - 5);
    QVERIFY(!overlay->panelRect().contains(outside));

    clickAt(w.window.get(), overlay, outside);
    QVERIFY(!home->popover());
    QTRY_VERIFY(!popover);
    QVERIFY(home->coverView()->isVisible());
    QVERIFY(!howtoOkayed());
}

void TestHowto::rotation_presentsAPendingHowtoAnewOverHomeOnly_data()
{
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<bool>("screenAbove");
    QTest::addColumn<bool>("shownAfter");

    QTest::newRow("pending, over home") << false << false << true;
    QTest::newRow("confirmed") << true << false << false;
    QTest::newRow("pending, a screen above home") << false << true << false;
}

void TestHowto::rotation_presentsAPendingHowtoAnewOverHomeOnly()
{
    QFETCH(bool, confirmed);
    QFETCH(bool, screenAbove);
    QFETCH(bool, shownAfter);

    TemporaryProfile profile;
    confirmHowto(confirmed);
    HomeWindow w;
    w.window->show();
    HomeViewController *home = w.home();
    QCOMPARE(howtoShown(home), !confirmed);
    const Popover *before = home->popover();
    if (screenAbove) {
        QTest::mouseClick(howtoOf(home)->btnRemindLater(), Qt::LeftButton);
        w.window->pushViewController(new ViewController, false);
    }

    w.window->resize(768, 1024);
    QTRY_COMPARE(home->screen_width(), 768);
    QCOMPARE(home->vwFavoritesView()->frame().width(), 728);
    QCOMPARE(howtoShown(home), shownAfter);
    if (shownAfter) {
        QVERIFY(home->popover() != before);
        QCOMPARE(home->coverView()->frame(), QRect(0, 0, 768, 1024));
    }
    if (screenAbove) {
        w.window->popViewControllerAnimated(false);
        QVERIFY(howtoShown(home));
    }
}

LISTORO_TEST(TestHowto)
#include "tst_howto.moc"
