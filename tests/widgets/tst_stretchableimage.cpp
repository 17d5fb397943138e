#include "common/testregistry.h"
#include "widgets/stretchableimage.h"

#include <QImage>
#include <QPainter>
#include <QTest>

namespace {

// A strip whose every column (in points) has its own colour, so a drawn pixel tells which
// source column it came from.
QImage strip(int widthPoints, int heightPoints, qreal ratio)
{
    QImage image(QSize(widthPoints, heightPoints) * ratio, QImage::Format_ARGB32);
    for (int x = 0; x < image.width(); ++x) {
        const int column = int(x / ratio);
        for (int y = 0; y < image.height(); ++y)
            image.setPixelColor(x, y, QColor(column * 8, 255 - column * 8, 100));
    }
    image.setDevicePixelRatio(ratio);
    return image;
}

int sourceColumn(const QImage &drawn, int x, int y)
{
    return drawn.pixelColor(x, y).red() / 8;
}

} // namespace

class TestStretchableImage : public QObject
{
    Q_OBJECT

private slots:
    void draw_keepsCapsAndRepeatsMiddle_data();
    void draw_keepsCapsAndRepeatsMiddle();
    void draw_narrowerThanCaps_shrinksCaps();
};

void TestStretchableImage::draw_keepsCapsAndRepeatsMiddle_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<int>("targetWidth");
    QTest::addColumn<int>("targetHeight");

    QTest::newRow("wider") << 1.0 << 100 << 10;
    QTest::newRow("same size") << 1.0 << 30 << 10;
    QTest::newRow("wider and taller") << 1.0 << 64 << 25;
    QTest::newRow("wider, high-DPI image") << 2.0 << 100 << 10;
}

void TestStretchableImage::draw_keepsCapsAndRepeatsMiddle()
{
    QFETCH(qreal, ratio);
    QFETCH(int, targetWidth);
    QFETCH(int, targetHeight);

    // 30 points wide: left cap 12, middle column 12, right cap 17 (columns 13 to 29).
    const StretchableImage image(strip(30, 10, ratio), 12, 0);
    QCOMPARE(image.size(), QSizeF(30, 10));
    QImage target(targetWidth, targetHeight, QImage::Format_ARGB32);
    target.fill(Qt::black);
    QPainter painter(&target);
    image.draw(painter, QRectF(0, 0, targetWidth, targetHeight));
    painter.end();

    const int rightCapStart = targetWidth - 17;
    for (int y : { 0, targetHeight / 2, targetHeight - 1 }) {
        for (int x = 0; x < targetWidth; ++x) {
            const int expected = x < 12 ? x : x < rightCapStart ? 12 : 13 + (x - rightCapStart);
            QVERIFY2(sourceColumn(target, x, y) == expected,
                     qPrintable(QStringLiteral("pixel %1,%2 from column %3, expected %4")
                                    .arg(x)
                                    .arg(y)
                                    .arg(sourceColumn(target, x, y))
                                    .arg(expected)));
        }
    }
}

void TestStretchableImage::draw_narrowerThanCaps_shrinksCaps()
{
    const StretchableImage image(strip(30, 10, 1.0), 12, 0);
    QImage target(20, 10, QImage::Format_ARGB32);
    target.fill(Qt::black);
    QPainter painter(&target);
    image.draw(painter, QRectF(0, 0, 20, 10));
    painter.end();

    // Every pixel is painted, the ends still show the image's ends, and columns only advance.
    QVERIFY(sourceColumn(target, 0, 5) <= 1);
    QVERIFY(sourceColumn(target, 19, 5) >= 28);
    for (int x = 1; x < 20; ++x) {
        QVERIFY(target.pixelColor(x, 5).blue() == 100);
        QVERIFY(sourceColumn(target, x, 5) >= sourceColumn(target, x - 1, 5));
    }
}

LISTORO_TEST(TestStretchableImage)
#include "tst_stretchableimage.moc"
