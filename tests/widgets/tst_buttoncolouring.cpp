#include "common/testregistry.h"
#include "widgets/buttonbackground.h"
#include "widgets/uibuttonutils.h"

#include <QImage>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include <memory>

namespace {

struct ButtonRow
{
    ButtonRow()
    {
        const QSize sizes[] = { { 90, 32 }, { 140, 32 }, { 60, 44 } };
        const QString titles[]
            = { QStringLiteral("Save"), QStringLiteral("Cancel"), QStringLiteral("More") };
        for (int i = 0; i < 3; ++i) {
            auto *button = new QPushButton(titles[i], &window);
            button->setGeometry(QRect(QPoint(10 + 150 * i, 10), sizes[i]));
            buttons.append(button);
        }
        window.resize(480, 80);
    }
    QWidget window;
    QList<QAbstractButton *> buttons;
};

QImage solid(QSize size, QColor color)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(color);
    return image;
}

} // namespace

class TestButtonColouring : public QObject
{
    Q_OBJECT

private slots:
    void emptyList_changesNothing();
    void everyButton_getsFirstButtonsPicture();
    void picture_isPressedFirstButtonInTint_data();
    void picture_isPressedFirstButtonInTint();
    void picture_leavesOutTitle();
    void nullButtons_areSkipped();
    void background_paintsUnderTitle_data();
    void background_paintsUnderTitle();
};

void TestButtonColouring::emptyList_changesNothing()
{
    ButtonRow row;
    const QColor before = row.buttons[0]->palette().color(QPalette::Button);
    UIButtonUtils::setColorOfButtons({}, 255, 0, 0, 1);
    for (QAbstractButton *button : std::as_const(row.buttons))
        QVERIFY(ButtonBackground::backgroundImage(button).isNull());
    QCOMPARE(row.buttons[0]->palette().color(QPalette::Button), before);
}

void TestButtonColouring::everyButton_getsFirstButtonsPicture()
{
    ButtonRow row;
    row.window.show();
    UIButtonUtils::setColorOfButtons(row.buttons, 255, 0, 0, 1);

    const StretchableImage picture = ButtonBackground::backgroundImage(row.buttons[0]);
    QVERIFY(!picture.isNull());
    QCOMPARE(picture.size(), QSizeF(90, 32));
    QCOMPARE(picture.leftCapWidth(), 12);
    QCOMPARE(picture.topCapHeight(), 0);
    for (QAbstractButton *button : std::as_const(row.buttons))
        QVERIFY(ButtonBackground::backgroundImage(button) == picture);
    QCOMPARE(row.buttons[0]->text(), QStringLiteral("Save"));
    QCOMPARE(row.buttons[1]->text(), QStringLiteral("Cancel"));
    QVERIFY(!row.buttons[0]->isDown());
}

void TestButtonColouring::picture_isPressedFirstButtonInTint_data()
{
    QTest::addColumn<QColor>("tint");
    QTest::newRow("red") << QColor(255, 0, 0);
    QTest::newRow("green") << QColor(0, 200, 0);
    QTest::newRow("blue") << QColor(0, 0, 220);
}

void TestButtonColouring::picture_isPressedFirstButtonInTint()
{
    QFETCH(QColor, tint);
    ButtonRow row;
    // An earlier background must not end up in the new picture.
    ButtonBackground::setBackgroundImage(row.buttons[0],
                                         StretchableImage(solid({ 10, 10 }, Qt::yellow), 0, 0));
    UIButtonUtils::setColorOfButtons(row.buttons, tint.red(), tint.green(), tint.blue(), 1);

    const QImage picture = ButtonBackground::backgroundImage(row.buttons[0]).image();
    const QColor centre = picture.pixelColor(picture.width() / 2, picture.height() / 2);
    const int components[] = { centre.red(), centre.green(), centre.blue() };
    const int wanted[] = { tint.red(), tint.green(), tint.blue() };
    const int strongest
        = int(std::max_element(std::begin(wanted), std::end(wanted)) - std::begin(wanted));
    for (int c = 0; c < 3; ++c) {
        if (c != strongest)
            QVERIFY2(components[strongest] > components[c] + 40, qPrintable(centre.name()));
    }
}

void TestButtonColouring::picture_leavesOutTitle()
{
    QPushButton titled(QStringLiteral("WWWWWWWW"));
    QPushButton untitled;
    titled.resize(120, 32);
    untitled.resize(120, 32);
    UIButtonUtils::setColorOfButtons({ &titled }, 0, 0, 255, 1);
    UIButtonUtils::setColorOfButtons({ &untitled }, 0, 0, 255, 1);
    QCOMPARE(ButtonBackground::backgroundImage(&titled).image(),
             ButtonBackground::backgroundImage(&untitled).image());
    QCOMPARE(titled.text(), QStringLiteral("WWWWWWWW"));
}

void TestButtonColouring::nullButtons_areSkipped()
{
    ButtonRow row;
    QTest::ignoreMessage(QtWarningMsg, "ignoring 2 null buttons");
    UIButtonUtils::setColorOfButtons({ nullptr, row.buttons[1], nullptr }, 0, 128, 0, 1);
    QVERIFY(!ButtonBackground::backgroundImage(row.buttons[1]).isNull());
    QCOMPARE(ButtonBackground::backgroundImage(row.buttons[1]).size(), QSizeF(140, 32));
}

void TestButtonColouring::background_paintsUnderTitle_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("down");
    QTest::newRow("plain") << QString() << false;
    QTest::newRow("titled") << QStringLiteral("Go") << false;
    QTest::newRow("held down") << QString() << true;
}

void TestButtonColouring::background_paintsUnderTitle()
{
    QFETCH(QString, title);
    QFETCH(bool, down);

    QPushButton button(title);
    button.resize(100, 30);
    const QColor fill(30, 140, 200);
    ButtonBackground::setBackgroundImage(&button, StretchableImage(solid({ 40, 30 }, fill), 12, 0));
    button.setDown(down);
    const QImage shot = button.grab().toImage();

    int differing = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x)
            differing += shot.pixelColor(x, y) != fill ? 1 : 0;
    }
    if (down) {
        // Darkened all over, still the same hue.
        const QColor pressed = shot.pixelColor(50, 15);
        QCOMPARE(differing, shot.width() * shot.height());
        QVERIFY(pressed.value() < fill.value() - 20);
        QVERIFY(qAbs(pressed.hue() - fill.hue()) < 5);
    } else if (title.isEmpty()) {
        QCOMPARE(differing, 0);
    } else {
        QVERIFY(differing > 20);
    }
    ButtonBackground::clearBackgroundImage(&button);
    QVERIFY(ButtonBackground::backgroundImage(&button).isNull());
}

LISTORO_TEST(TestButtonColouring)
#include "tst_buttoncolouring.moc"
