#include "common/testregistry.h"

#include "scrape/listingdate.h"
#include "scrape/listingprice.h"
#include "scrape/pagelocale.h"

#include <QTest>
#include <QTimeZone>

// Price and posted-date text as sites write them, in English, French and German.
class TestListingValues : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void price_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<double>("amount"); // -1: no amount
        QTest::addColumn<QString>("currency");
        const auto row = [](const char *name, const QString &text, const char *locale,
                            double amount, const char *currency) {
            QTest::newRow(name) << text << QString::fromLatin1(locale) << amount
                                << QString::fromLatin1(currency);
        };
        row("dollar, comma groups", u"$1,880"_qs, "", 1880, "");
        row("dollar in Canada", u"$1,880"_qs, "_CA", 1880, "CAD");
        row("cents", u"$575.00"_qs, "en_CA", 575, "CAD");
        row("French page, English marks", u"$2,010"_qs, "fr_CA", 2010, "CAD");
        row("space groups, euro after", u"1 880 €"_qs, "fr", 1880, "EUR");
        row("narrow space groups", u"1\u202f880,50\u00a0€"_qs, "fr", 1880.5, "EUR");
        row("German marks, CA$", u"CA$ 2.010,00"_qs, "de", 2010, "CAD");
        row("German decimal comma", u"12,50 €"_qs, "de", 12.5, "EUR");
        row("dots group", u"1.200.000 €"_qs, "de", 1200000, "EUR");
        row("negotiable", u"1 200 € VB"_qs, "de", 1200, "EUR");
        row("code word", u"850 CAD"_qs, "", 850, "CAD");
        row("code inside a word", u"Cadeau 20"_qs, "", 20, "");
        row("free", u"Free"_qs, "", 0, "");
        row("gratuit", u"Gratuit"_qs, "fr", 0, "");
        row("zu verschenken", u"Zu verschenken"_qs, "de", 0, "");
        row("please contact", u"Please contact"_qs, "", -1, "");
        row("sur demande", u"Sur demande"_qs, "fr", -1, "");
        row("range", u"$1,200 - $1,500"_qs, "", -1, "");
        row("beside other figures", u"$300 / 4br"_qs, "", -1, "");
        row("free of other words", u"Free shipping, $20"_qs, "", 20, "");
    }

    void price()
    {
        QFETCH(QString, text);
        QFETCH(QString, locale);
        QFETCH(double, amount);
        QFETCH(QString, currency);
        const ListingPrice price = ListingPrice::parse(text, locale);
        QCOMPARE(price.text(), text.simplified());
        QCOMPARE(price.amount().has_value(), amount >= 0);
        if (amount >= 0)
            QCOMPARE(*price.amount(), amount);
        QCOMPARE(price.currency(), currency);
        QVERIFY(ListingPrice::parse(u"  "_qs).isNull());
    }

    void date_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("expected"); // ISO UTC; empty: no date
        const auto row
            = [](const char *name, const QString &text, const char *locale, const char *expected) {
                  QTest::newRow(name)
                      << text << QString::fromLatin1(locale) << QString::fromLatin1(expected);
              };
        // Fetched at 2026-04-02 10:00 UTC.
        row("ISO with zone", u"2026-03-16T13:29:54.000Z"_qs, "", "2026-03-16T13:29:54Z");
        row("ISO with offset", u"2017-03-25T10:00:00-0400"_qs, "", "2017-03-25T14:00:00Z");
        row("ISO day", u"2015-06-10"_qs, "", "2015-06-10T00:00:00Z");
        row("day-month-year", u"25-Mar-17"_qs, "", "2017-03-25T00:00:00Z");
        row("craigslist stamp", u"2015-06-10  7:37pm"_qs, "", "2015-06-10T19:37:00Z");
        row("labelled, zone", u"Date: 2012-03-08, 11:23AM EST"_qs, "", "2012-03-08T16:23:00Z");
        row("no year, this year", u"Mar 16"_qs, "", "2026-03-16T00:00:00Z");
        row("no year, last year", u"Dec 24"_qs, "", "2025-12-24T00:00:00Z");
        row("French month", u"16 mars 2026"_qs, "fr", "2026-03-16T00:00:00Z");
        row("German month", u"16. März 2026"_qs, "de", "2026-03-16T00:00:00Z");
        row("German numeric", u"16.03.2026"_qs, "de", "2026-03-16T00:00:00Z");
        row("slashes", u"16/03/2026"_qs, "", "2026-03-16T00:00:00Z");
        row("hours ago", u"3 hours ago"_qs, "", "2026-04-02T07:00:00Z");
        row("an hour ago", u"an hour ago"_qs, "", "2026-04-02T09:00:00Z");
        row("minutes ago", u"< 5 minutes ago"_qs, "", "2026-04-02T09:55:00Z");
        row("months ago", u"2 months ago"_qs, "", "2026-02-02T10:00:00Z");
        row("yesterday", u"Yesterday"_qs, "", "2026-04-01T10:00:00Z");
        row("il y a jours", u"il y a 2 jours"_qs, "fr", "2026-03-31T10:00:00Z");
        row("il y a une heure", u"Il y a une heure"_qs, "fr", "2026-04-02T09:00:00Z");
        row("hier", u"hier"_qs, "fr", "2026-04-01T10:00:00Z");
        row("vor Tagen", u"vor 3 Tagen"_qs, "de", "2026-03-30T10:00:00Z");
        row("vor Stunden", u"vor 5 Stunden"_qs, "de", "2026-04-02T05:00:00Z");
        row("vor einem Monat", u"vor einem Monat"_qs, "de", "2026-03-02T10:00:00Z");
        row("gestern", u"Gestern"_qs, "de", "2026-04-01T10:00:00Z");
        row("words", u"Please ask"_qs, "", "");
        row("unknown unit", u"3 fortnights ago"_qs, "", "");
        row("impossible day", u"31-Feb-17"_qs, "", "");
        row("number alone", u"1880"_qs, "", "");
        row("huge count", u"99999999999 days ago"_qs, "", "");
    }

    void date()
    {
        QFETCH(QString, text);
        QFETCH(QString, locale);
        QFETCH(QString, expected);
        const QDateTime fetched(QDate(2026, 4, 2), QTime(10, 0), QTimeZone::utc());
        const QDateTime parsed = ListingDate::parse(text, fetched, locale);
        QCOMPARE(parsed.isValid() ? parsed.toString(Qt::ISODate) : QString(), expected);
    }

    void age_data()
    {
        QTest::addColumn<int>("secondsAgo");
        QTest::addColumn<QString>("age");
        QTest::newRow("minutes") << 150 << "2 min";
        QTest::newRow("hours") << 2 * 3600 + 10 << "2 h";
        QTest::newRow("days") << 3 * 86400 + 5 << "3 d";
        QTest::newRow("weeks") << 17 * 86400 << "Mar 16";
        QTest::newRow("last year") << 120 * 86400 << "Dec 3, 2025";
        QTest::newRow("ahead of the clock") << -600 << "1 min";
    }

    void age()
    {
        QFETCH(int, secondsAgo);
        QFETCH(QString, age);
        const QDateTime now(QDate(2026, 4, 2), QTime(10, 0), QTimeZone::utc());
        QCOMPARE(ListingDate::age(now.addSecs(-secondsAgo), now), age);
    }

    // The page's language from its root's lang attribute, its region from the attribute or else
    // the address's country domain.
    void locale_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("locale");
        QTest::newRow("language and region")
            << u"<html lang='fr-CA'><body><p lang='de'>x</p></body></html>"_qs
            << u"https://www.kijiji.ca/"_qs << u"fr_CA"_qs;
        QTest::newRow("region from the domain") << u"<html lang='DE'><body>x</body></html>"_qs
                                                << u"https://site.at/a"_qs << u"de_AT"_qs;
        QTest::newRow("uk") << u"<html><body>x</body></html>"_qs << u"https://site.co.uk/"_qs
                            << u"_GB"_qs;
        QTest::newRow("no mark") << u"<html lang='x'><body>x</body></html>"_qs
                                 << u"https://site.com/"_qs << QString();
    }
    void locale()
    {
        QFETCH(QString, html);
        QFETCH(QString, url);
        QFETCH(QString, locale);
        QCOMPARE(PageLocale::of(TFHpple::hppleWithHTMLData(html.toUtf8()), url), locale);
    }
};

LISTORO_TEST(TestListingValues)
#include "tst_listingvalues.moc"
