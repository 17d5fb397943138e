#include "common/testregistry.h"

#include "platform/mainqueue.h"
#include "ui/alertview.h"
#include "ui/alertviewdelegate.h"
#include "ui/navigationcontroller.h"
#include "ui/popover.h"
#include "ui/viewcontroller.h"
#include "ui/viewtag.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

class RecordingDelegate : public QObject, public AlertViewDelegate
{
public:
    void alertViewClickedButtonAtIndex(AlertView *alertView, int buttonIndex) override
    {
        pressed.append(buttonIndex);
        if (onPress)
            onPress(alertView, buttonIndex);
    }

    QList<int> pressed;
    std::function<void(AlertView *, int)> onPress;
};

// A shown window with one screen holding one button, for alerts to cover.
struct Host
{
    Host()
        : screen(new ViewController)
        , button(new QPushButton(u"Under the alert"_s, screen))
        , navigation(screen)
    {
        button->setGeometry(40, 40, 160, 32);
        navigation.resize(800, 600);
        navigation.show();
    }

    ViewController *screen;
    QPushButton *button;
    NavigationController navigation;
};

AlertView *makeAlert(const QString &cancel, const QStringList &others, bool textField,
                     AlertViewDelegate *delegate)
{
    auto alert = new AlertView(u"Title"_s, u"Message"_s, delegate, cancel, others);
    if (textField)
        alert->setAlertViewStyle(AlertView::AlertViewStyle::PlainTextInput);
    return alert;
}

} // namespace

class TestAlertView : public QObject
{
    Q_OBJECT

private slots:
    void buttonPress_tellsDelegateOnceThenDismisses_data();
    void buttonPress_tellsDelegateOnceThenDismisses();
    void dismissWithClickedButtonIndex_tellsNobody();
    void plainTextInput_fieldIsReadableWhenTheDelegateIsTold();
    void viewWithTag_findsTheProgressBarUnderTheMessage();
    void keys_followTheEnterAndEscapeRules_data();
    void keys_followTheEnterAndEscapeRules();
    void eventLoop_keepsRunningWhileAnAlertIsUp();
    void dimmingLayer_stopsClicksToTheScreenUnderIt();
    void severalAlerts_newestOnTopAndDeletedOnesGone();
    void destroyedDelegate_isNotCalled();
    void withoutWindow_alertIsAWindowOfItsOwn();
    void closingTheWindow_takesAlertsAndPopoversWithIt();
};

void TestAlertView::buttonPress_tellsDelegateOnceThenDismisses_data()
{
    QTest::addColumn<QString>("cancel");
    QTest::addColumn<QStringList>("others");
    QTest::addColumn<int>("press");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<int>("cancelIndex");

    QTest::newRow("cancel only") << u"Cancel"_s << QStringList() << 0 << QStringList{ u"Cancel"_s }
                                 << 0;
    QTest::newRow("cancel first, then the others")
        << u"Cancel"_s << QStringList{ u"Ok"_s } << 1 << QStringList{ u"Cancel"_s, u"Ok"_s } << 0;
    QTest::newRow("no cancel") << QString() << QStringList{ u"Yes"_s, u"No"_s } << 1
                               << QStringList{ u"Yes"_s, u"No"_s } << -1;
    QTest::newRow("stacked, cancel pressed")
        << u"Cancel"_s << QStringList{ u"One"_s, u"Two"_s } << 0
        << QStringList{ u"Cancel"_s, u"One"_s, u"Two"_s } << 0;
}

void TestAlertView::buttonPress_tellsDelegateOnceThenDismisses()
{
    QFETCH(QString, cancel);
    QFETCH(QStringList, others);
    QFETCH(int, press);
    QFETCH(QStringList, titles);
    QFETCH(int, cancelIndex);

    Host host;
    RecordingDelegate delegate;
    QPointer<AlertView> alert = makeAlert(cancel, others, false, &delegate);
    bool upWhenTold = false;
    delegate.onPress = [&](AlertView *told, int) {
        upWhenTold = told == alert && AlertView::visibleAlerts().contains(told);
    };
    QSignalSpy clicked(alert.data(), &AlertView::clickedButtonAtIndex);
    alert->show();

    QStringList shown;
    for (int i = 0; i <= alert->numberOfButtons(); ++i)
        shown.append(alert->buttonTitleAtIndex(i));
    QCOMPARE(shown, titles + QStringList{ QString() });
    QCOMPARE(alert->cancelButtonIndex(), cancelIndex);

    QAbstractButton *button = alert->buttonAtIndex(press);
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(delegate.pressed, QList<int>{ press });
    QVERIFY(upWhenTold);
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.first().first().toInt(), press);
    QVERIFY(!AlertView::visibleAlerts().contains(alert));
    QVERIFY(!alert->isVisible());
    QTRY_VERIFY(alert.isNull());
}

void TestAlertView::dismissWithClickedButtonIndex_tellsNobody()
{
    Host host;
    RecordingDelegate delegate;
    QPointer<AlertView> alert = makeAlert(u"Cancel"_s, {}, false, &delegate);
    QSignalSpy clicked(alert.data(), &AlertView::clickedButtonAtIndex);
    alert->show();
    QCOMPARE(AlertView::visibleAlerts(), QList<AlertView *>{ alert });

    alert->dismissWithClickedButtonIndex(0, false);
    QVERIFY(AlertView::visibleAlerts().isEmpty());
    QTRY_VERIFY(alert.isNull());
    QVERIFY(delegate.pressed.isEmpty());
    QCOMPARE(clicked.count(), 0);
}

void TestAlertView::plainTextInput_fieldIsReadableWhenTheDelegateIsTold()
{
    Host host;
    RecordingDelegate delegate;
    auto alert = new AlertView;
    alert->setDelegate(&delegate);
    alert->setTitle(u"Name your bookmark"_s);
    alert->addButtonWithTitle(u"Save"_s);
    QCOMPARE(alert->textFieldAtIndex(0), nullptr);

    alert->setAlertViewStyle(AlertView::AlertViewStyle::PlainTextInput);
    QLineEdit *field = alert->textFieldAtIndex(0);
    QVERIFY(field);
    QCOMPARE(alert->textFieldAtIndex(1), nullptr);
    alert->show();
    QVERIFY(field->isVisible());
    QCOMPARE(host.navigation.focusWidget(), field);

    QString typed;
    delegate.onPress = [&](AlertView *told, int) {
        typed = told->textFieldAtIndex(0)->text();
    };
    QTest::keyClicks(field, u"antique tables"_s);
    QTest::mouseClick(alert->buttonAtIndex(0), Qt::LeftButton);
    QCOMPARE(typed, u"antique tables"_s);
}

void TestAlertView::viewWithTag_findsTheProgressBarUnderTheMessage()
{
    Host host;
    auto alert = new AlertView(u" "_s, u" "_s, nullptr, u"Cancel"_s, {});
    auto progress = new QProgressBar;
    progress->setGeometry(50, 50, 200, 30);
    setViewTag(progress, 10);
    alert->addSubview(progress);
    alert->setTitle(u"Loading... 0%"_s);
    alert->setTag(101);
    alert->show();

    QCOMPARE(alert->viewWithTag(10), progress);
    QCOMPARE(alert->viewWithTag(101), alert);
    QCOMPARE(alert->viewWithTag(7), nullptr);
    QVERIFY(progress->isVisible());
    QCOMPARE(progress->size(), QSize(200, 30));
    // Inside the card, between the title and the buttons.
    const QRect bar(progress->mapTo(alert, QPoint(0, 0)), progress->size());
    const QAbstractButton *cancel = alert->buttonAtIndex(0);
    const QRect button(cancel->mapTo(alert, QPoint(0, 0)), cancel->size());
    QVERIFY(bar.bottom() < button.top());
    QVERIFY(bar.left() > button.left() && bar.right() < button.right());

    // A longer title must not push the bar into the buttons.
    alert->setTitle(u"Loading... 45% of a listing page with a rather long title"_s);
    const QRect barAfter(progress->mapTo(alert, QPoint(0, 0)), progress->size());
    const QRect buttonAfter(cancel->mapTo(alert, QPoint(0, 0)), cancel->size());
    QVERIFY(barAfter.bottom() < buttonAfter.top());
}

void TestAlertView::keys_followTheEnterAndEscapeRules_data()
{
    QTest::addColumn<QString>("cancel");
    QTest::addColumn<QStringList>("others");
    QTest::addColumn<bool>("textField");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("expected");

    const QStringList yesNo{ u"Yes"_s, u"No"_s };
    const QStringList save{ u"Save"_s };
    QTest::newRow("Enter, only button")
        << QString() << QStringList{ u"Ok"_s } << false << int(Qt::Key_Return) << 0;
    QTest::newRow("Enter, only a cancel button")
        << u"Cancel"_s << QStringList() << false << int(Qt::Key_Enter) << 0;
    QTest::newRow("Enter, two buttons") << QString() << yesNo << false << int(Qt::Key_Return) << -1;
    QTest::newRow("Enter in a prompt") << QString() << save << true << int(Qt::Key_Return) << 0;
    QTest::newRow("Enter in a prompt with cancel")
        << u"Cancel"_s << save << true << int(Qt::Key_Return) << 1;
    QTest::newRow("Escape, cancel")
        << u"Cancel"_s << QStringList{ u"Ok"_s } << false << int(Qt::Key_Escape) << 0;
    QTest::newRow("Escape, no cancel") << QString() << yesNo << false << int(Qt::Key_Escape) << -1;
    QTest::newRow("Escape in a prompt without cancel")
        << QString() << save << true << int(Qt::Key_Escape) << -1;
}

void TestAlertView::keys_followTheEnterAndEscapeRules()
{
    QFETCH(QString, cancel);
    QFETCH(QStringList, others);
    QFETCH(bool, textField);
    QFETCH(int, key);
    QFETCH(int, expected);

    Host host;
    RecordingDelegate delegate;
    QPointer<AlertView> alert = makeAlert(cancel, others, textField, &delegate);
    alert->show();
    // The key goes where the keyboard focus is: the text field, else the alert.
    QWidget *target = host.navigation.focusWidget();
    QVERIFY(target == alert || alert->isAncestorOf(target));
    QTest::keyClick(target, Qt::Key(key));

    if (expected < 0) {
        QVERIFY(delegate.pressed.isEmpty());
        QVERIFY(AlertView::visibleAlerts().contains(alert));
        delete alert.data();
    } else {
        QCOMPARE(delegate.pressed, QList<int>{ expected });
        QVERIFY(AlertView::visibleAlerts().isEmpty());
    }
}

void TestAlertView::eventLoop_keepsRunningWhileAnAlertIsUp()
{
    Host host;
    auto alert = new AlertView(u"Loading... 0%"_s, QString(), nullptr, u"Cancel"_s, {});
    bool ran = false;
    MainQueue::post(&host.navigation, [&] { ran = true; });
    alert->show();
    QVERIFY(!ran);
    QTRY_VERIFY(ran);
    QCOMPARE(AlertView::visibleAlerts(), QList<AlertView *>{ alert });
}

void TestAlertView::dimmingLayer_stopsClicksToTheScreenUnderIt()
{
    Host host;
    QVERIFY(QTest::qWaitForWindowExposed(&host.navigation));
    QSignalSpy clicked(host.button, &QPushButton::clicked);
    const QPoint onButton = host.button->mapTo(&host.navigation, host.button->rect().center());

    QPointer<AlertView> alert = makeAlert(u"Cancel"_s, {}, false, nullptr);
    alert->show();
    QTest::mouseClick(host.navigation.windowHandle(), Qt::LeftButton, {}, onButton);
    QCOMPARE(clicked.count(), 0);
    QVERIFY(AlertView::visibleAlerts().contains(alert));

    alert->dismissWithClickedButtonIndex(0, false);
    QTest::mouseClick(host.navigation.windowHandle(), Qt::LeftButton, {}, onButton);
    QCOMPARE(clicked.count(), 1);
}

void TestAlertView::severalAlerts_newestOnTopAndDeletedOnesGone()
{
    Host host;
    auto older = makeAlert(u"Cancel"_s, {}, false, nullptr);
    auto newer = makeAlert(QString(), { u"Yes"_s, u"No"_s }, false, nullptr);
    older->show();
    newer->show();
    QCOMPARE(AlertView::visibleAlerts(), (QList<AlertView *>{ older, newer }));

    const QPoint centre = host.navigation.rect().center();
    QWidget *hit = host.navigation.childAt(centre);
    QVERIFY(hit == newer || newer->isAncestorOf(hit));
    QCOMPARE(host.navigation.focusWidget(), newer);

    newer->dismissWithClickedButtonIndex(0, false);
    QCOMPARE(AlertView::visibleAlerts(), QList<AlertView *>{ older });
    QCOMPARE(host.navigation.focusWidget(), older);

    // Deleting an alert that is up takes it away at once.
    delete older;
    QVERIFY(AlertView::visibleAlerts().isEmpty());
    hit = host.navigation.childAt(centre);
    QVERIFY(!qobject_cast<AlertView *>(hit) && !qobject_cast<AlertView *>(hit->window()));
}

void TestAlertView::destroyedDelegate_isNotCalled()
{
    Host host;
    auto delegate = std::make_unique<RecordingDelegate>();
    QPointer<AlertView> alert = makeAlert(u"Cancel"_s, {}, false, delegate.get());
    QSignalSpy clicked(alert.data(), &AlertView::clickedButtonAtIndex);
    alert->show();
    delegate.reset();

    QCOMPARE(alert->delegate(), nullptr);
    QTest::mouseClick(alert->buttonAtIndex(0), Qt::LeftButton);
    QCOMPARE(clicked.count(), 1);
    QVERIFY(AlertView::visibleAlerts().isEmpty());
}

void TestAlertView::withoutWindow_alertIsAWindowOfItsOwn()
{
    QCOMPARE(NavigationController::current(), nullptr);
    RecordingDelegate delegate;
    QPointer<AlertView> alert = makeAlert(u"Cancel"_s, { u"Ok"_s }, false, &delegate);
    alert->show();
    QVERIFY(alert->isWindow());
    QVERIFY(alert->isVisible());

    // Closing its window counts as the cancel button.
    alert->close();
    QCOMPARE(delegate.pressed, QList<int>{ 0 });
    QTRY_VERIFY(alert.isNull());
}

void TestAlertView::closingTheWindow_takesAlertsAndPopoversWithIt()
{
    auto navigation = new NavigationController(new ViewController);
    auto screen = new ViewController;
    navigation->pushViewController(screen, false);
    navigation->show();
    QPointer<Popover> popover = new Popover(new ViewController, screen);
    popover->presentFromRect(QRect(10, 10, 40, 40), screen);
    RecordingDelegate delegate;
    QPointer<AlertView> alert = makeAlert(u"Cancel"_s, {}, false, &delegate);
    alert->show();

    // The screen goes first, as when the user pops it from under its own alert.
    navigation->popViewControllerAnimated(false);
    QTRY_VERIFY(popover.isNull());
    QVERIFY(alert);
    delete navigation;
    QVERIFY(alert.isNull());
    QVERIFY(AlertView::visibleAlerts().isEmpty());
    QVERIFY(delegate.pressed.isEmpty());
}

LISTORO_TEST(TestAlertView)
#include "tst_alertview.moc"
