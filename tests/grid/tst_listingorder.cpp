#include "common/testregistry.h"

#include "grid/listingorder.h"
#include "grid/repostfold.h"

#include <QTest>

#include <numeric>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(GridChoice)

namespace {

struct Listing
{
    QString title;
    QString price;
    qint64 minutesAgo = -1; // -1: no date
    bool settledWithoutPhotos = false;
};

QMap<int, ParsedLink::Ptr> listings()
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QList<Listing> table{
        { u"Oak table"_s, u"$300"_s, 120 },         { u"IKEA shelf"_s, u"$50"_s, 1440, true },
        { u"Oak chair"_s, u"Please contact"_s, 5 }, { u"Pine table"_s, u"$120"_s, -1 },
        { u"Free sofa"_s, u"Free"_s, 60 },
    };
    QMap<int, ParsedLink::Ptr> links;
    for (int i = 0; i < table.size(); ++i) {
        auto link = std::make_shared<ParsedLink>();
        link->setTitle(table.at(i).title);
        link->setUrl(u"http://example.com/item/%1"_s.arg(i));
        link->setPrice(ListingPrice::parse(table.at(i).price, u"en_CA"_s));
        if (table.at(i).minutesAgo >= 0)
            link->setPosted(now.addSecs(-60 * table.at(i).minutesAgo));
        if (table.at(i).settledWithoutPhotos) {
            link->setImagesUrls(QStringList());
            link->setDone(true);
        }
        links.insert(i, link);
    }
    return links;
}

} // namespace

// The grid's order and filters over listings already fetched.
class TestListingOrder : public QObject
{
    Q_OBJECT

private slots:
    void rows_orderAndFilter_data()
    {
        QTest::addColumn<GridChoice>("choice");
        QTest::addColumn<QStringList>("titles");
        using Order = GridChoice::Order;
        const auto choice = [](Order order) {
            GridChoice c;
            c.order = order;
            return c;
        };
        QTest::newRow("the site's order")
            << GridChoice()
            << QStringList{ "Oak table", "IKEA shelf", "Oak chair", "Pine table", "Free sofa" };
        QTest::newRow("newest first, the undated last")
            << choice(Order::Newest)
            << QStringList{ "Oak chair", "Free sofa", "Oak table", "IKEA shelf", "Pine table" };
        QTest::newRow("price low to high, no amount last")
            << choice(Order::PriceLowToHigh)
            << QStringList{ "Free sofa", "IKEA shelf", "Pine table", "Oak table", "Oak chair" };
        QTest::newRow("price high to low, no amount last")
            << choice(Order::PriceHighToLow)
            << QStringList{ "Oak table", "Pine table", "IKEA shelf", "Free sofa", "Oak chair" };
        GridChoice range;
        range.minimumPrice = 50;
        range.maximumPrice = 200;
        QTest::newRow("a price range leaves out what has no amount")
            << range << QStringList{ "IKEA shelf", "Pine table" };
        GridChoice words;
        words.words = u"  OAK "_s;
        QTest::newRow("a word in any letter case")
            << words << QStringList{ "Oak table", "Oak chair" };
        words.words = u"table -pine"_s;
        QTest::newRow("a word and a word not") << words << QStringList{ "Oak table" };
        words.words = u"-"_s;
        QTest::newRow("a lone minus is no word")
            << words
            << QStringList{ "Oak table", "IKEA shelf", "Oak chair", "Pine table", "Free sofa" };
        GridChoice photos;
        photos.withPhotosOnly = true;
        QTest::newRow("with photos: those still loading stay")
            << photos << QStringList{ "Oak table", "Oak chair", "Pine table", "Free sofa" };
        GridChoice seen;
        seen.hideSeen = true;
        seen.order = Order::PriceLowToHigh;
        QTest::newRow("hide seen, then sort")
            << seen << QStringList{ "Free sofa", "Oak table", "Oak chair" };
    }
    void rows_orderAndFilter()
    {
        QFETCH(GridChoice, choice);
        QFETCH(QStringList, titles);
        const QMap<int, ParsedLink::Ptr> links = listings();
        const auto seen = [](const ParsedLink &link) {
            return link.title() == u"IKEA shelf" || link.title() == u"Pine table";
        };
        QStringList shown;
        for (int row : ListingOrder::rows(links, choice, seen))
            shown.append(links.value(row)->title());
        QCOMPARE(shown, titles);
    }

    void choice_storedAndReadBack_data()
    {
        QTest::addColumn<QVariantMap>("stored");
        QTest::addColumn<GridChoice>("read");
        GridChoice full;
        full.order = GridChoice::Order::PriceHighToLow;
        full.minimumPrice = 10.5;
        full.words = u"sofa -ikea"_s;
        full.withPhotosOnly = full.hideSeen = full.compact = true;
        QTest::newRow("every field") << full.toMap() << full;
        QTest::newRow("nothing") << QVariantMap() << GridChoice();
        QTest::newRow("junk reads as the default")
            << QVariantMap{ { u"order"_s, 99 },
                            { u"minimumPrice"_s, u"lots"_s },
                            { u"maximumPrice"_s, -4 },
                            { u"words"_s, QVariantList{ 1, 2 } } }
            << GridChoice();
    }
    void choice_storedAndReadBack()
    {
        QFETCH(QVariantMap, stored);
        QFETCH(GridChoice, read);
        QCOMPARE(GridChoice::fromMap(stored), read);
    }

    // Rows in the order shown: a posting whose picture and title match an earlier row's is
    // folded into it.
    void reposts_foldIntoTheFirstShown_data()
    {
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QList<qint64>>("prints"); // -1: no fingerprint
        QTest::addColumn<QList<int>>("shown");
        QTest::addColumn<QList<int>>("intoFirst");
        const qint64 p = 0x5a5a'1234'f0f0'0ff0;
        const qint64 fewBitsOff = p ^ 0b1010'0001'0000'0001;
        const qint64 farOff = p ^ 0xff'ff00;
        QTest::newRow("same picture, words added")
            << QStringList{ "Road bike 56cm - price drop", "Oak table", "ROAD BIKE, 56cm!" }
            << QList<qint64>{ p, 7, fewBitsOff } << QList<int>{ 0, 1 } << QList<int>{ 2 };
        QTest::newRow("three postings, far and near")
            << QStringList{ "Sofa", "Sofa", "Sofa", "Sofa" } << QList<qint64>{ p, farOff, p, p }
            << QList<int>{ 0, 1 } << QList<int>{ 2, 3 };
        QTest::newRow("a placeholder picture under other titles")
            << QStringList{ "2019 Honda Civic LX", "2020 Honda Civic EX", "Oak table" }
            << QList<qint64>{ p, p, p } << QList<int>{ 0, 1, 2 } << QList<int>{};
        QTest::newRow("no picture, no fold")
            << QStringList{ "Sofa", "Sofa" } << QList<qint64>{ -1, -1 } << QList<int>{ 0, 1 }
            << QList<int>{};
        QTest::newRow("an empty title matches nothing")
            << QStringList{ "", "" } << QList<qint64>{ p, p } << QList<int>{ 0, 1 } << QList<int>{};
    }
    void reposts_foldIntoTheFirstShown()
    {
        QFETCH(QStringList, titles);
        QFETCH(QList<qint64>, prints);
        QFETCH(QList<int>, shown);
        QFETCH(QList<int>, intoFirst);
        QList<int> rows(titles.size());
        std::iota(rows.begin(), rows.end(), 0);
        const RepostFold::Result result = RepostFold::fold(
            rows,
            [&](int row) {
                return prints.at(row) < 0 ? std::nullopt : std::optional(quint64(prints.at(row)));
            },
            [&](int row) { return RepostFold::words(titles.at(row)); });
        QCOMPARE(result.rows, shown);
        QCOMPARE(result.others.value(0), intoFirst);
    }
};

LISTORO_TEST(TestListingOrder)
#include "tst_listingorder.moc"
