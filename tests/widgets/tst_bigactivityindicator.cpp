#include "common/testregistry.h"
#include "ui/activityindicatorview.h"
#include "widgets/bigactivityindicator.h"
#include "widgets/roundedrectview.h"

#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QTest>

class TestBigActivityIndicator : public QObject
{
    Q_OBJECT

private slots:
    void frameConstructor_buildsLoadingBox();
    void defaultConstructor_hasNoBox();
    void indicatorSetBeforeInit_isTheSpinner();
};

void TestBigActivityIndicator::frameConstructor_buildsLoadingBox()
{
    BigActivityIndicator view(QRect(10, 20, 200, 160));
    QCOMPARE(view.geometry(), QRect(10, 20, 200, 160));

    const auto boxes = view.findChildren<RoundedRectView *>(QString(), Qt::FindDirectChildrenOnly);
    QCOMPARE(boxes.size(), 1);
    RoundedRectView *box = boxes.constFirst();
    QCOMPARE(box->geometry(), QRect(0, 0, 120, 120));
    QCOMPARE(box->cornerRadius(), 15.0);
    QCOMPARE(box->fillColor().rgb(), QColor(Qt::black).rgb());
    QCOMPARE(box->fillColor().alpha(), 153);

    // The label first, then the spinner.
    const QObjectList children = box->children();
    QCOMPARE(children.size(), 2);
    auto *label = qobject_cast<QLabel *>(children.at(0));
    QVERIFY(label);
    QCOMPARE(label->text(), QStringLiteral("Loading"));
    QCOMPARE(label->geometry(), QRect(20, 25, 81, 22));
    QVERIFY(label->font().bold());
    QCOMPARE(QFontInfo(label->font()).pixelSize(), 18);
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(Qt::white));

    ActivityIndicatorView *spinner = view.indicator();
    QCOMPARE(children.at(1), spinner);
    QCOMPARE(spinner->geometry(), QRect(42, 54, 37, 37));
    QCOMPARE(spinner->activityIndicatorViewStyle(), ActivityIndicatorView::Style::WhiteLarge);
    QVERIFY(spinner->isAnimating());

    view.show();
    QVERIFY(spinner->isVisible());
    QVERIFY(label->isVisible());
    // The view's own background is black outside the box; "Loading" shows white inside it.
    const QImage shot = view.grab().toImage();
    QCOMPARE(shot.pixelColor(180, 140), QColor(Qt::black));
    int white = 0;
    for (int y = 25; y < 47; ++y) {
        for (int x = 20; x < 101; ++x)
            white += shot.pixelColor(x, y).lightness() > 200 ? 1 : 0;
    }
    QVERIFY2(white > 40, qPrintable(QString::number(white)));
}

void TestBigActivityIndicator::defaultConstructor_hasNoBox()
{
    BigActivityIndicator view;
    QVERIFY(!view.indicator());
    QVERIFY(view.children().isEmpty());
}

void TestBigActivityIndicator::indicatorSetBeforeInit_isTheSpinner()
{
    BigActivityIndicator view;
    auto *spinner = new ActivityIndicatorView(ActivityIndicatorView::Style::Gray);
    view.setIndicator(spinner);
    QCOMPARE(spinner->parent(), &view);
    view.initCode();
    QCOMPARE(view.indicator(), spinner);
    QCOMPARE(spinner->parentWidget()->parentWidget(), &view);
    QCOMPARE(spinner->geometry(), QRect(42, 54, 37, 37));
    QVERIFY(spinner->isAnimating());
    QCOMPARE(view.findChildren<ActivityIndicatorView *>().size(), 1);
}

LISTORO_TEST(TestBigActivityIndicator)
#include "tst_bigactivityindicator.moc"
