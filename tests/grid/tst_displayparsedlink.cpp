#include "common/testregistry.h"

#include "grid/displayparsedlink.h"
#include "grid/zestolistingprotocol.h"
#include "platform/cachedirectory.h"
#include "platform/keptphotos.h"
#include "platform/storeproblems.h"
#include "platform/userdefaults.h"
#include "saved/zestofavorite.h"
#include "scrape/parsedlink.h"
#include "ui/activityindicatorview.h"
#include "ui/viewtag.h"

#include <QAbstractButton>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

class RecordingDelegate : public ZestoListingProtocol
{
public:
    void showDetailedListing(DisplayParsedLink *, const IndexPath &indexPath) override
    {
        opened.append(indexPath);
    }
    void addRemoveFavorite(QAbstractButton *button,
                           const std::shared_ptr<ParsedLink> &link) override
    {
        favoriteButtons.append(button);
        favoriteLinks.append(link);
    }
    QList<IndexPath> opened;
    QList<QAbstractButton *> favoriteButtons;
    QList<std::shared_ptr<ParsedLink>> favoriteLinks;
};

using Sizes = QList<QSize>;

void configure(DisplayParsedLink &tile, int width = 768, int perLine = 2)
{
    tile.setTileWidth(width);
    tile.setPhotosPerLine(perLine);
    tile.setMaxPhotoHeight(400);
    tile.setHeaderHeight(52);
    tile.setHorizontalMargin(30);
    tile.setVerticalMargin(30);
}

} // namespace

class TestDisplayParsedLink : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    int serial = 0;

    // A record whose photos of these sizes are in the cache and completed (0x0: a file that is
    // not an image; -1x-1: a photo that cannot be fetched).
    ParsedLink::Ptr recordWithPhotos(const Sizes &sizes, bool complete = true)
    {
        auto record = std::make_shared<ParsedLink>();
        record->setTitle("Oak dining table");
        record->setUrl(QStringLiteral("http://demo/item/%1.html").arg(++serial));
        record->setIdInList(7);
        QStringList urls;
        for (qsizetype i = 0; i < sizes.size(); ++i) {
            const QString url
                = QStringLiteral("http://127.0.0.1:1/photo/%1-%2.jpg").arg(serial).arg(i);
            urls << url;
            const QString path = ParsedLink::getImagePathFromStringURL(url);
            if (!sizes.at(i).isEmpty()) {
                QImage image(sizes.at(i), QImage::Format_RGB32);
                image.fill(Qt::darkRed);
                image.save(path, "JPEG");
            } else if (sizes.at(i).width() == 0) {
                QFile junk(path);
                junk.open(QIODevice::WriteOnly);
                junk.write("not a photo");
            }
        }
        record->setImagesUrls(urls);
        if (complete) {
            record->downloadImages();
            [&] {
                QTRY_VERIFY(record->settled());
            }();
        }
        return record;
    }

private Q_SLOTS:
    void initTestCase()
    {
        CacheDirectory::setPath(dir.filePath("cache"));
        UserDefaults::setStoreFile(dir.filePath("defaults.ini"));
    }
    void cleanupTestCase()
    {
        CacheDirectory::setPath({});
        UserDefaults::setStoreFile({});
    }

    void columns_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("perLine");
        QTest::addColumn<int>("columnWidth");
        QTest::addColumn<QList<int>>("xs");
        QTest::newRow("portrait") << 768 << 2 << 339 << QList<int>{ 30, 399, 30 };
        QTest::newRow("landscape") << 1024 << 2 << 467 << QList<int>{ 30, 527, 30 };
        QTest::newRow("three") << 768 << 3 << 216 << QList<int>{ 30, 276, 522 };
        QTest::newRow("zero per line") << 768 << 0 << 768 << QList<int>{ 30, 30, 30 };
    }
    void columns()
    {
        QFETCH(int, width);
        QFETCH(int, perLine);
        QFETCH(int, columnWidth);
        QFETCH(QList<int>, xs);
        DisplayParsedLink tile;
        configure(tile, width, perLine);
        QCOMPARE(tile.computeImageWidth(), columnWidth);
        tile.setComputedImageWidth(tile.computeImageWidth());
        for (int i = 0; i < xs.size(); ++i)
            QCOMPARE(tile.getImageXPos(i), xs.at(i));
    }

    void layout_data()
    {
        QTest::addColumn<Sizes>("photos");
        QTest::addColumn<int>("perLine");
        QTest::addColumn<QList<QRectF>>("frames");
        QTest::addColumn<int>("height");
        QTest::newRow("worked example") << Sizes{ { 1200, 800 }, { 600, 1600 }, { 800, 600 } } << 2
                                        << QList<QRectF>{ { 30, 52, 339, 226 },
                                                          { 399, 52, 150, 400 },
                                                          { 30, 482, 339, 254.25 } }
                                        << 766;
        QTest::newRow("no photo") << Sizes{} << 2 << QList<QRectF>{} << 52;
        QTest::newRow("one small photo")
            << Sizes{ { 200, 100 } } << 2 << QList<QRectF>{ { 30, 52, 200, 100 } } << 182;
        QTest::newRow("third starts a row and closes it")
            << Sizes{ { 200, 100 }, { 200, 150 }, { 300, 300 } } << 2
            << QList<QRectF>{ { 30, 52, 200, 100 }, { 399, 52, 200, 150 }, { 30, 232, 300, 300 } }
            << 562;
        QTest::newRow("zero per line is one")
            << Sizes{ { 200, 100 }, { 200, 100 } } << 0
            << QList<QRectF>{ { 30, 52, 200, 100 }, { 30, 182, 200, 100 } } << 312;
        QTest::newRow("skipped closer still closes its row")
            << Sizes{ { 200, 100 }, { 0, 0 }, { 300, 300 } } << 2
            << QList<QRectF>{ { 30, 52, 200, 100 }, { 30, 182, 300, 300 } } << 512;
        // A photo that failed holds a placeholder half a column high.
        QTest::newRow("dead photo does not hide the next")
            << Sizes{ { 200, 100 }, { -1, -1 }, { 300, 300 } } << 2
            << QList<QRectF>{ { 30, 52, 200, 100 }, { 399, 52, 339, 169 }, { 30, 251, 300, 300 } }
            << 581;
        QTest::newRow("row of skipped photos takes no room")
            << Sizes{ { 0, 0 }, { 0, 0 }, { 300, 300 } } << 2
            << QList<QRectF>{ { 30, 52, 300, 300 } } << 382;
    }
    void layout()
    {
        QFETCH(Sizes, photos);
        QFETCH(int, perLine);
        QFETCH(QList<QRectF>, frames);
        QFETCH(int, height);
        const auto record = recordWithPhotos(photos);
        DisplayParsedLink tile;
        configure(tile, 768, perLine);
        tile.setParsedLink(record);
        QCOMPARE(tile.tileHeight(), height);
        QCOMPARE(record->size(), (FloatSize{ 768, float(height) }));
        tile.render();
        QCOMPARE(tile.photoFrames().values(), frames);
        QCOMPARE(tile.tileHeight(), height);
        QCOMPARE(tile.size(), QSize(768, height));
        QTRY_COMPARE(tile.findChildren<QLabel *>("tilePhoto").size()
                         + tile.findChildren<QLabel *>("tilePhotoFailed").size(),
                     frames.size());
    }

    void loadingIndicator_data()
    {
        QTest::addColumn<bool>("done");
        QTest::addColumn<bool>("shown");
        QTest::newRow("done without photos") << true << false;
        QTest::newRow("waiting for photos") << false << true;
    }
    void loadingIndicator()
    {
        QFETCH(bool, done);
        QFETCH(bool, shown);
        const auto record = recordWithPhotos({}, done);
        DisplayParsedLink tile;
        configure(tile);
        tile.setParsedLink(record);
        tile.render();
        QCOMPARE(tile.tileHeight(), 52);
        QCOMPARE(tile.loading() != nullptr && tile.loading()->isAnimating(), shown);
    }

    void indicatorEnds_whenEveryPhotoIsPlacedOrUnreadable()
    {
        const auto record = recordWithPhotos({ { 400, 300 }, { 300, 400 } });
        // The second photo's size is known, but its file is corrupt by the time the tile draws.
        const QString second = record->imagesUrls()->at(1);
        QFile file(ParsedLink::getImagePathFromStringURL(second));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(record->cacheImageOnDisk(file.readAll(), second));
        file.close();
        QVERIFY(file.resize(40));
        DisplayParsedLink tile;
        configure(tile);
        tile.setParsedLink(record);
        tile.render();
        QCOMPARE(tile.photoFrames().size(), 2);
        QVERIFY(tile.loading());
        QTRY_COMPARE(tile.placedPhotos(), 2);
        QVERIFY(!tile.loading()->isAnimating());
        QCOMPARE(tile.findChildren<QLabel *>("tilePhoto").size(), 1);
    }

    void unwritableCache_photosStillShowAndTheUserIsToldOnce()
    {
        // A directory under a regular file cannot be made, even by root.
        QFile blocker(dir.filePath("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString unwritable = dir.filePath("blocker/cache");
        CacheDirectory::setPath(unwritable);
        StoreProblems::instance().reset();
        QImage image(400, 300, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        QVERIFY(buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "JPEG"));

        auto record = std::make_shared<ParsedLink>();
        const QStringList urls{ "http://127.0.0.1:1/kept/1.jpg", "http://127.0.0.1:1/kept/2.jpg" };
        for (const QString &url : urls)
            QVERIFY(record->cacheImageOnDisk(jpeg, url));
        record->setImagesUrls(urls);
        record->downloadImages();
        QTRY_VERIFY(record->settled());
        DisplayParsedLink tile;
        configure(tile);
        tile.setParsedLink(record);
        tile.render();
        QTRY_COMPARE(tile.placedPhotos(), 2);
        const QList<QLabel *> photos = tile.findChildren<QLabel *>("tilePhoto");
        QCOMPARE(photos.size(), 2);
        QVERIFY(!photos.first()->pixmap().isNull());
        QCOMPARE(StoreProblems::instance().takeUnshown(),
                 QStringList{ StoreProblems::message(StoreProblems::Store::Cache, unwritable) });

        KeptPhotos::instance().clear();
        CacheDirectory::setPath(dir.filePath("cache"));
    }

    void absentTitle_showsEmptyAndStoresIt()
    {
        const auto record = recordWithPhotos({});
        record->setTitle(QString());
        DisplayParsedLink tile;
        configure(tile);
        tile.setParsedLink(record);
        tile.render();
        QVERIFY(!record->title().isNull());
        QVERIFY(tile.findChild<QLabel *>("tileTitle")->text().isEmpty());
    }

    void header_showsPageTextsPlainAndWhyThePageFailed_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("failure"); // null: the page did not fail
        QTest::newRow("listing") << u"Oak table"_s << QString();
        QTest::newRow("markup in the title") << u"<img src='/etc/x'><b>Oak</b>"_s << QString();
        QTest::newRow("error status") << u"from the results page"_s << u"HTTP 404"_s;
        QTest::newRow("markup in the reason") << u"Oak"_s << u"<b>cut</b> off"_s;
    }
    void header_showsPageTextsPlainAndWhyThePageFailed()
    {
        QFETCH(QString, title);
        QFETCH(QString, failure);
        const auto record = recordWithPhotos({});
        record->setTitle(title);
        if (!failure.isNull())
            record->markDetailFailed(failure);
        DisplayParsedLink tile;
        configure(tile);
        tile.setParsedLink(record);
        tile.render();
        const auto *shownTitle = tile.findChild<QLabel *>("tileTitle");
        QCOMPARE(shownTitle->textFormat(), Qt::PlainText);
        QCOMPARE(shownTitle->text(), title);
        const auto *reason = tile.findChild<QLabel *>("tileFailure");
        QCOMPARE(reason != nullptr, !failure.isNull());
        if (!reason)
            return;
        QCOMPARE(reason->textFormat(), Qt::PlainText);
        QVERIFY2(reason->text().endsWith(failure), qPrintable(reason->text()));
        QVERIFY(reason->geometry().left() > shownTitle->geometry().left());
        QVERIFY(!tile.loading());
    }

    void favoriteButton_stateAndTap()
    {
        const auto record = recordWithPhotos({});
        ZestoFavorite(record->title(), record->url()).addToFavorites();
        RecordingDelegate delegate;
        DisplayParsedLink tile;
        configure(tile);
        tile.setDelegate(&delegate);
        tile.setParsedLink(record);
        tile.render();
        QAbstractButton *button = tile.addRemoveFavorite();
        QVERIFY(button);
        QCOMPARE(viewTag(button), 1);
        QCOMPARE(button->geometry(), QRect(10, 10, 32, 32));
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(delegate.favoriteButtons, QList<QAbstractButton *>{ button });
        QCOMPARE(delegate.favoriteLinks.first(), record);
        QVERIFY(delegate.opened.isEmpty());
        ZestoFavorite::removeFavoriteWithUrl(record->url());
        tile.render();
        QCOMPARE(viewTag(tile.addRemoveFavorite()), 0);
    }

    void tapOnTile_opensTheListingByIdInList()
    {
        const auto record = recordWithPhotos({ { 200, 100 } });
        RecordingDelegate delegate;
        DisplayParsedLink tile;
        configure(tile);
        tile.setDelegate(&delegate);
        tile.setParsedLink(record);
        tile.render();
        QTest::mouseClick(&tile, Qt::LeftButton, {}, QPoint(100, 120));
        QCOMPARE(delegate.opened, (QList<IndexPath>{ { 0, 7 } }));
    }

    void sameRecord_changesNothing_otherRecordResets()
    {
        const auto record = recordWithPhotos({ { 200, 100 } });
        DisplayParsedLink tile;
        configure(tile);
        tile.setParsedLink(record);
        tile.setTileWidth(1024);
        tile.setParsedLink(record);
        QCOMPARE(record->size().width, 768.f);
        const auto other = recordWithPhotos({});
        tile.setParsedLink(other);
        QCOMPARE(other->size(), (FloatSize{ 1024, 52 }));
        QVERIFY(tile.linesHeights().isEmpty());
    }

    void newWidth_relaysTheTile()
    {
        const auto record = recordWithPhotos({ { 1200, 800 } });
        DisplayParsedLink tile;
        configure(tile);
        tile.setParsedLink(record);
        tile.recomputeDimensionsWithWidth(1024);
        QCOMPARE(tile.computedImageWidth(), 467);
        QCOMPARE(tile.tileHeight(), 52 + 30 + 311);
        QCOMPARE(record->size(), (FloatSize{ 1024, 393 }));
        QCOMPARE(tile.size(), QSize(1024, 393));
    }
};

LISTORO_TEST(TestDisplayParsedLink)
#include "tst_displayparsedlink.moc"
