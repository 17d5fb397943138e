#include "common/testregistry.h"

#include "demo/democatalogue.h"
#include "demo/demophotopool.h"
#include "grid/photofingerprint.h"
#include "grid/repostfold.h"

#include <QSet>
#include <QTest>

// What the site offers: the same on every run, and varied enough to pass for a real site.
class TestDemoCatalogue final : public QObject
{
    Q_OBJECT

private slots:
    void listing_dependsOnlyOnItsIndex_data();
    void listing_dependsOnlyOnItsIndex();
    void listings_areVariedAndPagedInOrder();
    void photos_tellListingsApartButARepostsCopy();
};

void TestDemoCatalogue::listing_dependsOnlyOnItsIndex_data()
{
    QTest::addColumn<int>("listingsPerPage");
    QTest::addColumn<int>("pages");
    QTest::newRow("other page size") << 7 << 15;
    QTest::newRow("one long page") << 100 << 1;
}

void TestDemoCatalogue::listing_dependsOnlyOnItsIndex()
{
    QFETCH(int, listingsPerPage);
    QFETCH(int, pages);

    auto fields = [](const DemoListing &l) {
        return std::tie(l.index, l.id, l.category, l.title, l.price, l.neighbourhood, l.description,
                        l.posted, l.photoCount);
    };
    const DemoCatalogue reference(20, 5, 8);
    const DemoCatalogue other(listingsPerPage, pages, 8);
    for (int index = 0; index < reference.listingCount(); ++index) {
        QVERIFY(fields(reference.listing(index)) == fields(other.listing(index)));
        QCOMPARE(other.indexOfId(DemoCatalogue::firstId + index), index);
    }
}

void TestDemoCatalogue::listings_areVariedAndPagedInOrder()
{
    const DemoCatalogue catalogue(20, 5, 8);
    QSet<int> categories, photoCounts;
    QSet<QString> titles;
    int nonAscii = 0;
    for (int index = 0; index < catalogue.listingCount(); ++index) {
        const DemoListing listing = catalogue.listing(index);
        categories.insert(listing.category);
        photoCounts.insert(listing.photoCount);
        titles.insert(listing.title);
        const QString text = listing.title + listing.neighbourhood + listing.description;
        nonAscii += std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c > u'~'; });
    }
    QCOMPARE(categories.size(), DemoCatalogue::categoryCount());
    QVERIFY(titles.size() >= 70);
    QVERIFY(photoCounts.contains(0) && photoCounts.contains(8) && photoCounts.size() >= 7);
    QVERIFY(nonAscii >= 10);

    const QList<DemoListing> third = catalogue.listingsOnPage(3);
    QVERIFY(third.size() == 20 && third.first().index == 40 && third.last().index == 59);
    QVERIFY(catalogue.listingsOnPage(0).isEmpty() && catalogue.listingsOnPage(6).isEmpty());

    const DemoCatalogue photoless(20, 5, 0);
    for (int index = 0; index < photoless.listingCount(); ++index)
        QCOMPARE(photoless.listing(index).photoCount, 0);
}

void TestDemoCatalogue::photos_tellListingsApartButARepostsCopy()
{
    const auto pool = DemoPhotoPool::shared();
    QVERIFY(pool->isValid());
    QList<quint64> prints;
    for (int i = 0; i < DemoPhotoPool::poolSize(); ++i) {
        const auto print = PhotoFingerprint::ofImage(QImage::fromData(pool->photo(i).jpeg));
        const auto copy = PhotoFingerprint::ofImage(QImage::fromData(pool->photo(i).copyJpeg));
        QVERIFY2(print && copy && PhotoFingerprint::samePicture(*print, *copy),
                 qPrintable(QString::number(i)));
        // Pictures of one category could stand for listings of close titles: they differ.
        for (int j = i - i % DemoPhotoPool::variantsPerCategory; j < i; ++j) {
            QVERIFY2(!PhotoFingerprint::samePicture(prints.at(j), *print),
                     qPrintable(QStringLiteral("%1 and %2: %3 bits apart")
                                    .arg(j)
                                    .arg(i)
                                    .arg(PhotoFingerprint::distance(prints.at(j), *print))));
        }
        prints.append(*print);
    }

    // Only the planted pair shows the same picture under close titles.
    const DemoCatalogue catalogue(20, 5, 8);
    QList<std::pair<qint64, qint64>> lookAlike;
    for (int i = 0; i < catalogue.listingCount(); ++i) {
        for (int j = i + 1; j < catalogue.listingCount(); ++j) {
            const DemoListing a = catalogue.listing(i), b = catalogue.listing(j);
            if (a.photoCount > 0 && b.photoCount > 0
                && DemoPhotoPool::poolIndex(a, 0) == DemoPhotoPool::poolIndex(b, 0)
                && RepostFold::closeTitles(RepostFold::words(a.title), RepostFold::words(b.title)))
                lookAlike.append({ a.id, b.id });
        }
    }
    const DemoListing repost = catalogue.listing(DemoCatalogue::repostIndex);
    QCOMPARE(repost.repostOf, catalogue.listing(DemoCatalogue::repostOriginal).id);
    QCOMPARE(lookAlike, (QList<std::pair<qint64, qint64>>{ { repost.id, repost.repostOf } }));
}

LISTORO_TEST(TestDemoCatalogue)
#include "tst_democatalogue.moc"
