#include "common/testregistry.h"

#include "grid/displayparsedlink.h"
#include "grid/favoritebutton.h"
#include "grid/listingage.h"
#include "platform/cachedirectory.h"
#include "platform/mainqueue.h"
#include "platform/userdefaults.h"
#include "scrape/parsedlink.h"
#include "ui/activityindicatorview.h"

#include <QEnterEvent>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Sizes = QList<QSize>;

void configure(DisplayParsedLink &tile, int width = 768)
{
    tile.setTileWidth(width);
    tile.setPhotosPerLine(2);
    tile.setMaxPhotoHeight(400);
    tile.setHeaderHeight(52);
    tile.setHorizontalMargin(30);
    tile.setVerticalMargin(30);
}

QImage grabbed(QWidget &widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

// How a listing tile looks: photos drawn at their own pixel size, a card with clear corners, a
// title that stays clear of the loading indicator, a favorite button that answers the pointer.
class TestTileLook : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    int serial = 0;

    // A record whose photos of these sizes are cached and completed; done unless loading.
    ParsedLink::Ptr record(const Sizes &sizes, const QString &title = "Walnut sideboard",
                           bool loading = false)
    {
        auto record = std::make_shared<ParsedLink>();
        record->setTitle(title);
        record->setUrl(QStringLiteral("http://demo/look/%1.html").arg(++serial));
        QStringList urls;
        for (qsizetype i = 0; i < sizes.size(); ++i) {
            urls << QStringLiteral("http://127.0.0.1:1/look/%1-%2.jpg").arg(serial).arg(i);
            QImage image(sizes.at(i), QImage::Format_RGB32);
            image.fill(QColor(40, 90, 160));
            image.save(ParsedLink::getImagePathFromStringURL(urls.last()), "JPEG");
        }
        record->setImagesUrls(urls);
        if (!loading) {
            record->downloadImages();
            [&] {
                QTRY_VERIFY(record->settled());
            }();
        }
        return record;
    }

private slots:
    void initTestCase()
    {
        CacheDirectory::setPath(dir.filePath("cache"));
        UserDefaults::setStoreFile(dir.filePath("defaults.ini"));
    }
    void cleanupTestCase()
    {
        MainQueue::waitForBackgroundTasks();
        CacheDirectory::setPath({});
        UserDefaults::setStoreFile({});
    }

    void photos_areDrawnAtTheirOwnPixelSize_data()
    {
        QTest::addColumn<QSize>("photo");
        QTest::addColumn<QSize>("shown");
        QTest::newRow("fits unchanged") << QSize(200, 100) << QSize(200, 100);
        QTest::newRow("fractional height") << QSize(1000, 300) << QSize(339, 101);
        QTest::newRow("height limits") << QSize(600, 1600) << QSize(150, 400);
        QTest::newRow("one point high") << QSize(3000, 12) << QSize(339, 1);
    }
    void photos_areDrawnAtTheirOwnPixelSize()
    {
        QFETCH(QSize, photo);
        QFETCH(QSize, shown);
        DisplayParsedLink tile;
        configure(tile);
        const auto listing = record({ photo });
        tile.setParsedLink(listing);
        tile.render();
        QTRY_COMPARE(tile.findChildren<QLabel *>("tilePhoto").size(), 1);
        const QLabel *view = tile.findChild<QLabel *>("tilePhoto");
        QCOMPARE(view->size(), shown);
        // Scaling while painting would blur the photo and cost the GUI thread a resample.
        QVERIFY(!view->hasScaledContents());
        const QPixmap pixmap = view->pixmap();
        QCOMPARE(pixmap.deviceIndependentSize(), QSizeF(shown));
        QCOMPARE(pixmap.size(), shown * pixmap.devicePixelRatio());
    }

    void card_coversTheTileButItsCorners_data()
    {
        QTest::addColumn<Sizes>("photos");
        QTest::addColumn<int>("height");
        QTest::newRow("header only") << Sizes{} << 52;
        QTest::newRow("two rows") << Sizes{ { 300, 200 }, { 200, 300 }, { 500, 100 } } << 375;
    }
    void card_coversTheTileButItsCorners()
    {
        QFETCH(Sizes, photos);
        QFETCH(int, height);
        DisplayParsedLink tile;
        configure(tile, 400);
        const auto listing = record(photos);
        tile.setParsedLink(listing);
        tile.render();
        QCOMPARE(tile.size(), QSize(400, height));
        QTRY_COMPARE(tile.findChildren<QLabel *>("tilePhoto").size(), photos.size());
        // As the grid paints it: the tile's own background is not filled in.
        QImage image(tile.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        static_cast<QWidget &>(tile).render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        const int right = image.width() - 1;
        const int bottom = image.height() - 1;
        // The grid's background shows through the rounded corners...
        for (const QPoint corner :
             { QPoint(0, 0), QPoint(right, 0), QPoint(0, bottom), QPoint(right, bottom) })
            QCOMPARE(qAlpha(image.pixel(corner)), 0);
        // ...and nowhere else: not along the edges, not below the last row of photos.
        for (int y = 0; y <= bottom; y += 3) {
            const int inset = y < 8 || y > bottom - 8 ? 8 : 0;
            for (int x : { inset, image.width() / 2, right - inset })
                QVERIFY2(qAlpha(image.pixel(x, y)) == 255,
                         qPrintable(QStringLiteral("at %1,%2").arg(x).arg(y)));
        }
    }

    void title_staysClearOfTheLoadingIndicator_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("shown");
        QTest::newRow("short") << "Oak table - $60"
                               << "Oak table - $60";
        QTest::newRow("white space folded") << "Oak\ttable\n - $60 "
                                            << "Oak table - $60";
        QTest::newRow("long")
            << QString("Huge garage sale this weekend, everything must go ").repeated(6)
            << QString();
    }
    void title_staysClearOfTheLoadingIndicator()
    {
        QFETCH(QString, title);
        QFETCH(QString, shown);
        DisplayParsedLink tile;
        configure(tile);
        const auto listing = record({ { 200, 100 } }, title, true);
        tile.setParsedLink(listing);
        tile.render();
        const QLabel *label = tile.findChild<QLabel *>("tileTitle");
        QVERIFY(tile.loading() && tile.loading()->isAnimating());
        if (!shown.isNull())
            QCOMPARE(label->text(), shown);
        else
            QVERIFY(label->text().endsWith(QChar(0x2026)));
        const int textRight = label->x() + label->fontMetrics().horizontalAdvance(label->text());
        QVERIFY(textRight < tile.loading()->x());
        QCOMPARE(label->alignment() & Qt::AlignVertical_Mask, Qt::AlignVCenter);
        QCOMPARE(label->height(), tile.headerHeight());
    }

    void facts_priceAndAgeRightOfTheTitle_data()
    {
        QTest::addColumn<QString>("price");
        QTest::addColumn<qint64>("secondsAgo");
        QTest::addColumn<QString>("age");
        QTest::newRow("seconds") << "$1,880" << qint64(30) << "now";
        QTest::newRow("minutes") << "1 880 \u20AC" << qint64(5 * 60 + 20) << "5 min";
        QTest::newRow("hours") << "Free" << qint64(2 * 3600 + 100) << "2 h";
        QTest::newRow("days") << "Please contact" << qint64(3 * 86400 + 5) << "3 d";
        QTest::newRow("site clock ahead") << "$5" << qint64(-600) << "now";
        QTest::newRow("no date") << "$5" << qint64(-1) << "";
        QTest::newRow("no price") << "" << qint64(60) << "1 min";
    }
    void facts_priceAndAgeRightOfTheTitle()
    {
        QFETCH(QString, price);
        QFETCH(qint64, secondsAgo);
        QFETCH(QString, age);
        DisplayParsedLink tile;
        configure(tile);
        const auto listing = record({ { 200, 100 } }, QString("Sofa ").repeated(40), true);
        listing->setPrice(ListingPrice::parse(price));
        if (secondsAgo != -1)
            listing->setPosted(QDateTime::currentDateTimeUtc().addSecs(-secondsAgo));
        tile.setParsedLink(listing);
        tile.render();
        const QLabel *title = tile.findChild<QLabel *>("tileTitle");
        const QLabel *priceLabel = tile.findChild<QLabel *>("tilePrice");
        const QLabel *ageLabel = tile.findChild<QLabel *>("tileAge");
        QCOMPARE(priceLabel ? priceLabel->text() : QString(), price);
        QCOMPARE(ageLabel ? ageLabel->text() : QString(), age);
        // Left to right: the title (elided short of them), the price, the age, the indicator.
        const int titleRight = title->x() + title->fontMetrics().horizontalAdvance(title->text());
        int left = titleRight;
        for (const QLabel *label : { priceLabel, ageLabel }) {
            if (!label)
                continue;
            QVERIFY(label->x() >= left);
            left = label->geometry().right();
        }
        QVERIFY(left < tile.loading()->x());
    }

    void age_daysAndYearsAsDates_data()
    {
        QTest::addColumn<QDateTime>("posted");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("age");
        QTest::addColumn<QString>("reposted"); // a repost first posted then
        const QDateTime now(QDate(2026, 3, 26), QTime(12, 0), Qt::UTC);
        QTest::newRow("six days") << now.addDays(-6) << now << "6 d"
                                  << "Reposted, first 6 d ago";
        QTest::newRow("ten days, this year") << now.addDays(-10) << now << "Mar 16"
                                             << "Reposted, first Mar 16";
        QTest::newRow("last year") << now.addDays(-100) << now << "Dec 16, 2025"
                                   << "Reposted, first Dec 16, 2025";
        QTest::newRow("invalid") << QDateTime() << now << ""
                                 << "Reposted";
    }
    void age_daysAndYearsAsDates()
    {
        QFETCH(QDateTime, posted);
        QFETCH(QDateTime, now);
        QFETCH(QString, age);
        QFETCH(QString, reposted);
        QCOMPARE(ListingAge::shortText(posted, now, QLocale(QLocale::English)), age);
        QCOMPARE(ListingAge::repostedText(posted, now, QLocale(QLocale::English)), reposted);
    }

    void favoriteButton_answersThePointer_data()
    {
        QTest::addColumn<QString>("state");
        QTest::newRow("hovered") << "hovered";
        QTest::newRow("pressed") << "pressed";
        QTest::newRow("disabled") << "disabled";
    }
    void favoriteButton_answersThePointer()
    {
        QFETCH(QString, state);
        DisplayParsedLink tile;
        configure(tile);
        const auto listing = record({});
        tile.setParsedLink(listing);
        tile.render();
        auto *button = qobject_cast<FavoriteButton *>(tile.addRemoveFavorite());
        QVERIFY(button);
        const QImage normal = grabbed(*button);
        QEnterEvent enter(QPointF(16, 16), QPointF(16, 16), QPointF(16, 16));
        if (state == "hovered")
            QCoreApplication::sendEvent(button, &enter);
        else if (state == "pressed")
            button->setDown(true);
        else
            button->setEnabled(false);
        const QImage changed = grabbed(*button);
        QVERIFY(changed != normal);
        // Only the round button changes: its transparent surroundings stay transparent.
        for (int i = 0; i < normal.width(); ++i) {
            for (const QPoint p : { QPoint(i, 0), QPoint(0, i) })
                QCOMPARE(qAlpha(changed.pixel(p)) == 0, qAlpha(normal.pixel(p)) == 0);
        }
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(button, &leave);
        button->setDown(false);
        button->setEnabled(true);
        QCOMPARE(grabbed(*button), normal);
    }

    void newPass_dropsThePhotosOfTheLastOne()
    {
        const auto listing = record({ { 300, 200 }, { 200, 300 }, { 400, 400 } });
        DisplayParsedLink tile;
        configure(tile);
        tile.setParsedLink(listing);
        tile.render();
        tile.render();
        QTRY_COMPARE(tile.placedPhotos(), 3);
        MainQueue::waitForBackgroundTasks();
        QCoreApplication::processEvents();
        QCOMPARE(tile.findChildren<QLabel *>("tilePhoto").size(), 3);
        QVERIFY(!tile.loading()->isAnimating());
    }

    void tileGoneWhilePhotosLoad_isHarmless()
    {
        const auto listing = record({ { 1200, 900 }, { 900, 1200 } });
        QPointer<DisplayParsedLink> tile = new DisplayParsedLink;
        configure(*tile);
        tile->setParsedLink(listing);
        tile->render();
        delete tile;
        MainQueue::waitForBackgroundTasks();
        QCoreApplication::processEvents();
        QVERIFY(!tile);
        QCOMPARE(listing->size(), (FloatSize{ 768, 482 }));
    }
};

LISTORO_TEST(TestTileLook)
#include "tst_tilelook.moc"
