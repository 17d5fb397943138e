#include "common/testregistry.h"

#include "scrape/listingtable.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// A reader after RFC 4180, apart from the writer: quoted fields may hold commas, doubled quotes
// and line ends; records end in CRLF.
QList<QStringList> readCsv(const QString &text)
{
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            record.append(std::exchange(field, QString()));
        } else if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
            record.append(std::exchange(field, QString()));
            records.append(std::exchange(record, QStringList()));
            ++i;
        } else {
            field += c;
        }
    }
    return records;
}

} // namespace

class TestListingTable : public QObject
{
    Q_OBJECT

private slots:
    void csv_roundTripsThroughAReader_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("price");
        QTest::newRow("plain") << u"Oak table"_s << u"$60"_s;
        QTest::newRow("commas") << u"Table, chairs, lamp"_s << u"1,880 $"_s;
        QTest::newRow("quotes") << u"The \"best\" sofa \"\""_s << u"\"Free\""_s;
        QTest::newRow("line ends") << u"Two\nlines\r\nand CRLF"_s << u"Please\ncontact"_s;
        QTest::newRow("non-Latin") << u"自転車 — Ποδήλατο — велосипед 🚲"_s << u"¥12 000"_s;
        QTest::newRow("empty") << QString() << QString();
    }
    void csv_roundTripsThroughAReader()
    {
        QFETCH(QString, title);
        QFETCH(QString, price);
        ListingTable::Row row;
        row.title = title;
        row.priceText = price;
        row.amount = 1880.5;
        row.currency = u"CAD"_s;
        row.posted = QDateTime(QDate(2026, 3, 16), QTime(14, 5), Qt::UTC);
        row.url = u"https://example.com/item?id=1,2"_s;
        row.photos
            = QStringList{ u"https://example.com/a.jpg"_s, u"https://example.com/b,c.jpg"_s };
        row.photoFiles = QStringList{ u"/cache/a b.jpg"_s };
        const QByteArray bytes = ListingTable::csv({ row, row }, true);
        const QList<QStringList> records = readCsv(QString::fromUtf8(bytes));
        QCOMPARE(records.size(), 3);
        QCOMPARE(records.at(0),
                 QStringList({ "title", "price", "amount", "currency", "date", "url", "photos",
                               "photoFiles" }));
        const QStringList expected{ title,
                                    price,
                                    u"1880.5"_s,
                                    u"CAD"_s,
                                    u"2026-03-16T14:05:00Z"_s,
                                    row.url,
                                    row.photos.join(u'\n'),
                                    row.photoFiles.join(u'\n') };
        QCOMPARE(records.at(1), expected);
        QCOMPARE(records.at(2), expected);
        // JSON keeps the same, with nulls for what is absent.
        const QJsonObject object = ListingTable::json({ row }, false).at(0).toObject();
        QCOMPARE(object.value(u"title").toString(), title);
        QCOMPARE(object.value(u"amount").toDouble(), 1880.5);
        QVERIFY(!object.contains(u"photoFiles"));
        QCOMPARE(ListingTable::fromReport(object).url, row.url);
    }
};

LISTORO_TEST(TestListingTable)
#include "tst_listingtable.moc"
