#include "common/testregistry.h"
#include "ui/recordingscreen.h"

#include "ui/navigationcontroller.h"
#include "ui/popover.h"
#include "ui/popoverdelegate.h"
#include "ui/popoveroverlay.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

class CountingDelegate : public QObject, public PopoverDelegate
{
public:
    void popoverControllerDidDismissPopover(Popover *popover) override
    {
        told.append(popover);
        visibleWhenTold = popover->isPopoverVisible();
    }

    QList<Popover *> told;
    bool visibleWhenTold = true;
};

struct Host
{
    Host()
        : screen(new ViewController)
        , navigation(screen)
    {
        navigation.resize(800, 600);
        navigation.show();
    }

    ViewController *screen;
    NavigationController navigation;
};

} // namespace

class TestPopover : public QObject
{
    Q_OBJECT

private slots:
    void dismissal_tellsTheDelegateOnlyWhenTheUserDismisses_data();
    void dismissal_tellsTheDelegateOnlyWhenTheUserDismisses();
    void content_getsItsLifecycleOnEveryPresentation();
    void placement_pointsAtTheAnchorFromInsideTheWindow_data();
    void placement_pointsAtTheAnchorFromInsideTheWindow();
};

void TestPopover::dismissal_tellsTheDelegateOnlyWhenTheUserDismisses_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("dismissed");
    QTest::addColumn<bool>("told");

    QTest::newRow("click outside") << u"outside"_s << true << true;
    QTest::newRow("click on the bar outside") << u"bar"_s << true << true;
    QTest::newRow("Escape") << u"escape"_s << true << true;
    QTest::newRow("click inside") << u"inside"_s << false << false;
    QTest::newRow("dismissed by code") << u"code"_s << true << false;
}

void TestPopover::dismissal_tellsTheDelegateOnlyWhenTheUserDismisses()
{
    QFETCH(QString, action);
    QFETCH(bool, dismissed);
    QFETCH(bool, told);

    Host host;
    QVERIFY(QTest::qWaitForWindowExposed(&host.navigation));
    QStringList log;
    Popover popover(new RecordingScreen(u"content"_s, &log));
    CountingDelegate delegate;
    popover.setDelegate(&delegate);
    popover.setContentSize(QSize(300, 200));
    popover.presentFromRect(QRect(100, 20, 80, 30), host.screen);
    QVERIFY(popover.isPopoverVisible());
    log.clear();

    QWindow *window = host.navigation.windowHandle();
    const QRect panel = popover.overlay()->panelRect();
    if (action == u"outside")
        QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(700, 550));
    else if (action == u"bar")
        QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(700, 20));
    else if (action == u"inside")
        QTest::mouseClick(window, Qt::LeftButton, {}, panel.center());
    else if (action == u"escape")
        QTest::keyClick(host.navigation.focusWidget(), Qt::Key_Escape);
    else
        popover.dismissPopoverAnimated(true);
    if (dismissed)
        popover.dismissPopoverAnimated(true); // a second dismissal changes nothing

    QCOMPARE(popover.isPopoverVisible(), !dismissed);
    QCOMPARE(popover.overlay()->isVisible(), !dismissed);
    QCOMPARE(delegate.told, told ? QList<Popover *>{ &popover } : QList<Popover *>{});
    QVERIFY(!told || !delegate.visibleWhenTold);
    const QStringList disappeared{ u"content:viewWillDisappear"_s, u"content:viewDidDisappear"_s };
    QCOMPARE(log, dismissed ? disappeared : QStringList());
}

void TestPopover::content_getsItsLifecycleOnEveryPresentation()
{
    Host host;
    QStringList log;
    Popover popover(new RecordingScreen(u"content"_s, &log));
    popover.presentFromRect(QRect(100, 20, 80, 30), host.screen);
    popover.presentFromRect(QRect(120, 20, 80, 30), host.screen);
    popover.dismissPopoverAnimated(false);
    popover.presentFromRect(QRect(100, 20, 80, 30), host.screen);

    QCOMPARE(log,
             QStringList({ u"content:viewDidLoad"_s, u"content:viewWillAppear"_s,
                           u"content:viewDidAppear"_s, u"content:viewWillDisappear"_s,
                           u"content:viewDidDisappear"_s, u"content:viewWillAppear"_s,
                           u"content:viewDidAppear"_s }));
    QVERIFY(popover.contentViewController()->isVisible());
}

void TestPopover::placement_pointsAtTheAnchorFromInsideTheWindow_data()
{
    QTest::addColumn<QRect>("anchor");
    QTest::addColumn<QSize>("contentSize");
    QTest::addColumn<PopoverOverlay::ArrowDirection>("direction");

    using Arrow = PopoverOverlay::ArrowDirection;
    QTest::newRow("below an anchor near the top")
        << QRect(100, 10, 80, 30) << QSize(300, 200) << Arrow::Up;
    QTest::newRow("above an anchor near the bottom")
        << QRect(600, 500, 80, 30) << QSize(300, 200) << Arrow::Down;
    QTest::newRow("beside an anchor with no room above or below")
        << QRect(10, 200, 40, 40) << QSize(300, 500) << Arrow::Left;
    QTest::newRow("left of an anchor at the right edge")
        << QRect(740, 200, 40, 40) << QSize(300, 500) << Arrow::Right;
    QTest::newRow("centred when it fits nowhere")
        << QRect(300, 200, 200, 200) << QSize(700, 500) << Arrow::None;
}

void TestPopover::placement_pointsAtTheAnchorFromInsideTheWindow()
{
    QFETCH(QRect, anchor);
    QFETCH(QSize, contentSize);
    QFETCH(PopoverOverlay::ArrowDirection, direction);

    Host host;
    Popover popover(new ViewController);
    popover.setContentSize(contentSize);
    popover.presentFromRect(anchor, host.screen);

    const PopoverOverlay *overlay = popover.overlay();
    const QRect panel = overlay->panelRect();
    const QRect anchorInWindow(host.screen->mapTo(&host.navigation, anchor.topLeft()),
                               anchor.size());
    QCOMPARE(overlay->arrowDirection(), direction);
    QVERIFY(host.navigation.rect().contains(panel));
    QCOMPARE(popover.contentViewController()->size(), contentSize);
    switch (direction) {
    case PopoverOverlay::ArrowDirection::Up:
        QVERIFY(panel.top() > anchorInWindow.bottom());
        break;
    case PopoverOverlay::ArrowDirection::Down:
        QVERIFY(panel.bottom() < anchorInWindow.top());
        break;
    case PopoverOverlay::ArrowDirection::Left:
        QVERIFY(panel.left() > anchorInWindow.right());
        break;
    case PopoverOverlay::ArrowDirection::Right:
        QVERIFY(panel.right() < anchorInWindow.left());
        break;
    case PopoverOverlay::ArrowDirection::None:
        break;
    }
}

LISTORO_TEST(TestPopover)
#include "tst_popover.moc"
