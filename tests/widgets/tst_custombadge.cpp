#include "common/testregistry.h"
#include "widgets/custombadge.h"
#include "widgets/systemfont.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <cmath>
#include <memory>

namespace {

QImage renderBadge(CustomBadge &badge)
{
    QImage image(badge.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    badge.render(&image, {}, {}, QWidget::DrawChildren);
    return image;
}

double coverage(const QImage &image)
{
    double sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            sum += image.pixelColor(x, y).alphaF();
    }
    return sum;
}

bool isWhite(QColor c)
{
    return c.red() > 240 && c.green() > 240 && c.blue() > 240 && c.alpha() > 240;
}

} // namespace

class TestCustomBadge : public QObject
{
    Q_OBJECT

private slots:
    void size_followsText_data();
    void size_followsText();
    void autoSize_keepsPositionAndText();
    void rimWidth_followsScale_data();
    void rimWidth_followsScale();
    void drawingOptions_paintTheirLayers_data();
    void drawingOptions_paintTheirLayers();
    void shadow_fallsDownAndRight();
    void text_isCentredAndOnlyWhenPresent_data();
    void text_isCentredAndOnlyWhenPresent();
};

void TestCustomBadge::size_followsText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("scale");
    QTest::addColumn<bool>("measured");
    QTest::addColumn<QSize>("fixedSize");

    QTest::newRow("one character") << QStringLiteral("5") << 1.0f << false << QSize(25, 25);
    QTest::newRow("one character, scale 2")
        << QStringLiteral("5") << 2.0f << false << QSize(50, 50);
    QTest::newRow("empty") << QStringLiteral("") << 1.0f << false << QSize(25, 25);
    QTest::newRow("absent") << QString() << 1.5f << false << QSize(38, 38);
    QTest::newRow("two characters") << QStringLiteral("12") << 1.0f << true << QSize();
    QTest::newRow("three characters, scale 2") << QStringLiteral("128") << 2.0f << true << QSize();
}

void TestCustomBadge::size_followsText()
{
    QFETCH(QString, text);
    QFETCH(float, scale);
    QFETCH(bool, measured);
    QFETCH(QSize, fixedSize);

    CustomBadge badge(text, scale, true);
    QCOMPARE(badge.badgeText(), text);
    if (!measured) {
        QCOMPARE(badge.size(), fixedSize);
        return;
    }
    // Text width at bold 12, plus one point per character, plus 25; all times the scale.
    const QFontMetricsF metrics(SystemFont::boldSystemFontOfSize(12, &badge), &badge);
    const qreal textWidth = std::ceil(metrics.horizontalAdvance(text));
    QVERIFY(textWidth > 10);
    QCOMPARE(badge.width(), qCeil((textWidth + text.size() + 25) * scale));
    QCOMPARE(badge.height(), qCeil(25 * scale));
}

void TestCustomBadge::autoSize_keepsPositionAndText()
{
    std::unique_ptr<CustomBadge> badge(CustomBadge::customBadgeWithString(QStringLiteral("1")));
    QCOMPARE(badge->geometry(), QRect(0, 0, 25, 25));
    badge->move(40, 30);
    badge->autoBadgeSizeWithString(QStringLiteral("1234"));
    QCOMPARE(badge->pos(), QPoint(40, 30));
    QVERIFY(badge->width() > 50);
    QCOMPARE(badge->badgeText(), QStringLiteral("1234"));
}

void TestCustomBadge::rimWidth_followsScale_data()
{
    QTest::addColumn<float>("scale");
    QTest::addColumn<qreal>("lineWidth");
    QTest::newRow("scale 1") << 1.0f << 2.0;
    QTest::newRow("scale 1.5") << 1.5f << 2.375;
    QTest::newRow("scale 0.5") << 0.5f << 2.0;
}

void TestCustomBadge::rimWidth_followsScale()
{
    QFETCH(float, scale);
    QFETCH(qreal, lineWidth);

    CustomBadge badge(QStringLiteral("7"), scale, false);
    QImage rim(badge.size(), QImage::Format_ARGB32);
    rim.fill(Qt::transparent);
    QPainter painter(&rim);
    painter.setRenderHint(QPainter::Antialiasing);
    badge.drawFrameWithContext(painter, QRectF(badge.rect()));
    painter.end();

    // A one-character badge is a circle of radius 0.4 x height about its centre: the rim must
    // cover what that circle stroked at the expected width covers.
    QImage reference(badge.size(), QImage::Format_ARGB32);
    reference.fill(Qt::transparent);
    painter.begin(&reference);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, lineWidth));
    const qreal radius = badge.height() * 0.4;
    painter.drawEllipse(QRectF(badge.rect()).center(), radius, radius);
    painter.end();

    const double covered = coverage(rim);
    const double expected = coverage(reference);
    QVERIFY2(std::abs(covered - expected) < expected * 0.02,
             qPrintable(QStringLiteral("rim covers %1, expected %2").arg(covered).arg(expected)));
}

void TestCustomBadge::drawingOptions_paintTheirLayers_data()
{
    QTest::addColumn<bool>("frame");
    QTest::addColumn<bool>("shining");

    QTest::newRow("capsule only") << false << false;
    QTest::newRow("rim") << true << false;
    QTest::newRow("gloss") << false << true;
    QTest::newRow("rim and gloss") << true << true;
}

void TestCustomBadge::drawingOptions_paintTheirLayers()
{
    QFETCH(bool, frame);
    QFETCH(bool, shining);

    std::unique_ptr<CustomBadge> badge(CustomBadge::customBadgeWithString(
        QString(), Qt::white, Qt::red, frame, Qt::white, 1.0f, shining));
    const QImage image = renderBadge(*badge);

    // The 25 by 25 badge is a circle of radius 10 about (12.5, 12.5).
    const QColor centre = image.pixelColor(12, 12);
    const QColor upper = image.pixelColor(12, 5);
    const QColor rim = image.pixelColor(12, 2);

    if (shining) {
        // Gloss: light grey fading from opaque at the top to 0.4 below 40% of the height.
        QVERIFY2(upper.green() > 110 && upper.green() < 170, qPrintable(upper.name()));
        QVERIFY2(centre.green() > 70 && centre.green() < 100, qPrintable(centre.name()));
        QVERIFY(centre.red() > 220);
    } else {
        QCOMPARE(centre, QColor(Qt::red));
        QCOMPARE(upper, QColor(Qt::red));
    }
    if (frame) {
        QVERIFY2(isWhite(rim), qPrintable(rim.name(QColor::HexArgb)));
    } else {
        QVERIFY(!isWhite(rim));
        QVERIFY(rim.red() > 100);
    }
    QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
}

void TestCustomBadge::shadow_fallsDownAndRight()
{
    CustomBadge badge(QString(), Qt::white, Qt::red, false, Qt::white, 1.0f, false);
    const QImage image = renderBadge(badge);
    // Just outside the circle, diagonally: the shadow is offset by (1, 1).
    const QColor belowRight = image.pixelColor(20, 20);
    const QColor aboveLeft = image.pixelColor(4, 4);
    QVERIFY2(belowRight.alpha() > aboveLeft.alpha() + 60,
             qPrintable(belowRight.name(QColor::HexArgb) + u' ' + aboveLeft.name(QColor::HexArgb)));
    QCOMPARE(belowRight.red(), 0);
}

void TestCustomBadge::text_isCentredAndOnlyWhenPresent_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("drawn");
    QTest::newRow("one character") << QStringLiteral("8") << true;
    QTest::newRow("two characters") << QStringLiteral("88") << true;
    QTest::newRow("empty") << QStringLiteral("") << false;
}

void TestCustomBadge::text_isCentredAndOnlyWhenPresent()
{
    QFETCH(QString, text);
    QFETCH(bool, drawn);

    CustomBadge badge(text, Qt::white, Qt::red, false, Qt::white, 1.0f, false);
    const QImage image = renderBadge(badge);

    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y).green() > 128)
                ink |= QRect(x, y, 1, 1);
        }
    }
    QCOMPARE(!ink.isEmpty(), drawn);
    if (!drawn)
        return;
    // Glyphs sit within their line box, so only the horizontal centring is exact.
    QVERIFY2(std::abs(ink.center().x() + 0.5 - image.width() / 2.0) <= 1.5,
             qPrintable(QStringLiteral("ink %1,%2 %3x%4")
                            .arg(ink.x())
                            .arg(ink.y())
                            .arg(ink.width())
                            .arg(ink.height())));
    QVERIFY(std::abs(ink.center().y() + 0.5 - image.height() / 2.0) <= 3);
    // One character is drawn at 13.5 x 1.2 = 16.2 points: its digits are about 12 high.
    QVERIFY(ink.height() >= 10);
}

LISTORO_TEST(TestCustomBadge)
#include "tst_custombadge.moc"
