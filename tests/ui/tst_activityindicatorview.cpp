#include "common/testregistry.h"
#include "ui/activityindicatorview.h"

#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

using Style = ActivityIndicatorView::Style;

class TestActivityIndicatorView : public QObject
{
    Q_OBJECT

private slots:
    void newIndicator_isStoppedAndHidden();
    void start_spinsAndShows();
    void stop_hidesAndStopsTimer();
    void stop_withoutHiding_staysVisible();
    void hiddenParent_doesNotSpinUntilShown();
    void startedBeforeParenting_showsInParent();
    void style_drawsSpokesInItsSizeAndColour_data();
    void style_drawsSpokesInItsSizeAndColour();
};

void TestActivityIndicatorView::newIndicator_isStoppedAndHidden()
{
    QWidget parent;
    auto *indicator = new ActivityIndicatorView(Style::Gray, &parent);
    parent.show();
    QVERIFY(!indicator->isAnimating());
    QVERIFY(indicator->isHidden());
    QVERIFY(!indicator->isSpinning());
}

void TestActivityIndicatorView::start_spinsAndShows()
{
    QWidget parent;
    auto *indicator = new ActivityIndicatorView(Style::WhiteLarge, &parent);
    parent.show();
    indicator->startAnimating();
    QVERIFY(indicator->isAnimating());
    QVERIFY(indicator->isVisible());
    QVERIFY(indicator->isSpinning());
    const int first = indicator->currentStep();
    QTRY_VERIFY(indicator->currentStep() != first);
}

void TestActivityIndicatorView::stop_hidesAndStopsTimer()
{
    QWidget parent;
    auto *indicator = new ActivityIndicatorView(Style::WhiteLarge, &parent);
    parent.show();
    indicator->startAnimating();
    indicator->stopAnimating();
    QVERIFY(!indicator->isAnimating());
    QVERIFY(indicator->isHidden());
    QVERIFY(!indicator->isSpinning());
}

void TestActivityIndicatorView::stop_withoutHiding_staysVisible()
{
    QWidget parent;
    auto *indicator = new ActivityIndicatorView(Style::Gray, &parent);
    indicator->setHidesWhenStopped(false);
    parent.show();
    indicator->show();
    indicator->startAnimating();
    indicator->stopAnimating();
    QVERIFY(indicator->isVisible());
    QVERIFY(!indicator->isSpinning());
}

void TestActivityIndicatorView::hiddenParent_doesNotSpinUntilShown()
{
    QWidget parent;
    auto *indicator = new ActivityIndicatorView(Style::WhiteLarge, &parent);
    indicator->startAnimating();
    QVERIFY(indicator->isAnimating());
    QVERIFY(!indicator->isSpinning());

    parent.show();
    QVERIFY(indicator->isSpinning());
    parent.hide();
    QVERIFY(!indicator->isSpinning());
    QVERIFY(indicator->isAnimating());
}

void TestActivityIndicatorView::startedBeforeParenting_showsInParent()
{
    QWidget parent;
    parent.show();
    auto *indicator = new ActivityIndicatorView(Style::WhiteLarge);
    indicator->startAnimating();
    QVERIFY(!indicator->isVisible()); // not a window of its own
    indicator->setParent(&parent);
    QVERIFY(indicator->isVisible());
    QVERIFY(indicator->isSpinning());
}

void TestActivityIndicatorView::style_drawsSpokesInItsSizeAndColour_data()
{
    QTest::addColumn<Style>("style");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("grey");
    QTest::newRow("white large") << Style::WhiteLarge << QSize(37, 37) << 255;
    QTest::newRow("gray") << Style::Gray << QSize(20, 20) << 128;
}

void TestActivityIndicatorView::style_drawsSpokesInItsSizeAndColour()
{
    QFETCH(Style, style);
    QFETCH(QSize, size);
    QFETCH(int, grey);

    QWidget parent;
    auto *indicator = new ActivityIndicatorView(style, &parent);
    indicator->startAnimating();
    QCOMPARE(indicator->size(), size);

    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    indicator->render(&image, {}, {}, QWidget::DrawChildren);

    // The leading spoke points straight up from the centre, opaque; the centre and the corners
    // stay empty.
    const QColor lead = image.pixelColor(size.width() / 2, size.height() / 5);
    QVERIFY2(lead.alpha() > 230, qPrintable(lead.name(QColor::HexArgb)));
    QVERIFY(qAbs(lead.red() - grey) <= 2);
    QVERIFY(qAbs(lead.blue() - grey) <= 2);
    QCOMPARE(image.pixelColor(size.width() / 2, size.height() / 2).alpha(), 0);
    QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
    // The spoke opposite the leading one is drawn, but fainter.
    const QColor opposite = image.pixelColor(size.width() / 2, size.height() * 4 / 5);
    QVERIFY(opposite.alpha() > 0);
    QVERIFY(opposite.alpha() < 200);
}

LISTORO_TEST(TestActivityIndicatorView)
#include "tst_activityindicatorview.moc"
