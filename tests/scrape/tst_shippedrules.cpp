#include "common/testregistry.h"
#include "savedpages.h"
#include "savedpagetruth.h"

#include "platform/regularexpression.h"
#include "scrape/listingpage.h"
#include "scrape/resultspage.h"
#include "scrape/rulehealth.h"
#include "scrape/settingsrefresh.h"
#include "scrape/userrulesets.h"
#include "scrape/zestoscrapesetting.h"

#include <QDir>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTimeZone>

#include <libxml/HTMLparser.h>
#include <libxml/xpath.h>

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

// The shipped scrape settings against saved pages of the real sites (../shared/fixtures, listed
// in its SOURCES.tsv) and hand-written pages (tests/data/rules): the demo site's, and small pages
// in the markup of site generations the saved pages do not show. The expected
// counts come from reading the pages, not from running the rules.

namespace {

using SavedPages::Page;
using SavedPages::pageFor;
using SavedPages::readPage;
using namespace SavedPageTruth;

QString nameOf(const std::optional<ZestoScrapeSetting> &rules)
{
    return rules ? rules->name() : QString();
}

// What every rule did on the page, one "rule verdict values/matched" item each: printed with
// each page, so that a failing page says which rule went wrong.
QString healthLine(const QByteArray &page, const QString &url, RuleHealth::PageKind kind,
                   const std::optional<ZestoScrapeSetting> &rules)
{
    QStringList items;
    const RuleHealth health = RuleHealth::check(page, url, kind, rules);
    for (const RuleHealth::Check &check : health.checks()) {
        items << u"%1 %2 %3/%4"_s.arg(check.key, RuleHealth::verdictText(check.verdict))
                     .arg(check.values)
                     .arg(check.matched);
    }
    return items.join(u", "_s);
}

std::optional<ZestoScrapeSetting> shippedRulesFor(const QString &url)
{
    return ZestoScrapeSetting::settingsForUrl(
        url, ZestoScrapeSetting::readSettings(SettingsRefresh::shippedDocument()));
}

// Thumbnail URL shapes of the supported sites: Craigslist's /thumb/ folder and 50x50 crops,
// the size codes _14 / $_14 / $_2 of Kijiji's and eBay's image hosts, media.kijiji.ca's small
// renditions, Backpage's "small" imager, the demo site's -thumb files.
bool isThumbnailUrl(const QString &url)
{
    static const QRegularExpression thumbnail(
        QStringLiteral(R"((/thumb/|_50x50c?\.|_(14|2)\.jpe?g$|\$_(14|2|12)\.(jpg|png)$|)"
                       R"(kijijica-(60|200)-|/imager/u/small/|-thumb\.jpg$))"),
        QRegularExpression::CaseInsensitiveOption);
    return thumbnail.match(url).hasMatch();
}

bool isAbsoluteHttpUrl(const QString &url)
{
    return url.startsWith(u"http://") || url.startsWith(u"https://");
}

void ignoreXPathError(void *, xmlErrorPtr) { }

// Evaluates query on an empty HTML document, since libxml2 finds an unknown function only when
// it evaluates one; a query must also yield a node set to select anything.
bool isNodeSetQuery(const QString &query)
{
    static const QByteArray empty("<html><body></body></html>");
    htmlDocPtr document = htmlReadMemory(empty.constData(), int(empty.size()), "", "UTF-8",
                                         HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING);
    xmlXPathContextPtr context = document ? xmlXPathNewContext(document) : nullptr;
    if (!context) {
        xmlFreeDoc(document);
        return false;
    }
    context->error = ignoreXPathError;
    const QByteArray expression = query.toUtf8();
    xmlXPathObjectPtr result = xmlXPathEvalExpression(
        reinterpret_cast<const xmlChar *>(expression.constData()), context);
    const bool nodeSet = result && result->type == XPATH_NODESET;
    xmlXPathFreeObject(result);
    xmlXPathFreeContext(context);
    xmlFreeDoc(document);
    return nodeSet;
}

QString text(const char16_t *utf16)
{
    return utf16 ? QString::fromUtf16(utf16) : QString();
}

} // namespace

class TestShippedRules final : public QObject
{
    Q_OBJECT

private slots:
    void shippedDocument_isVersionedJsonWithRuleSets()
    {
        const QString document = SettingsRefresh::shippedDocument();
        QVERIFY2(!document.isNull(), ":/settings.txt is not in the resources");
        QJsonParseError error;
        const QJsonDocument json = QJsonDocument::fromJson(document.toUtf8(), &error);
        QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
        QVERIFY(json.isObject());
        QVERIFY2(json.object().value(u"version").isDouble(), "the version must be a JSON number");
        QVERIFY(ZestoScrapeSetting::getVersion(document) >= 1.0f);
        QCOMPARE(ZestoScrapeSetting::readSettings(document).size(),
                 json.object().value(u"settings").toArray().size());
    }

    void ruleSets_areNamedMatchableAndFindLinks()
    {
        const QList<ZestoScrapeSetting> list
            = ZestoScrapeSetting::readSettings(SettingsRefresh::shippedDocument());
        QVERIFY(!list.isEmpty());
        QSet<QString> names;
        for (const ZestoScrapeSetting &rules : list) {
            const QString name = rules.name();
            QVERIFY2(!name.isEmpty(), qPrintable(u"unnamed rule set "_s + rules.regex()));
            QVERIFY2(!names.contains(name), qPrintable(u"two rule sets named "_s + name));
            names.insert(name);
            QVERIFY2(RegularExpression(rules.regex()).isValid(), qPrintable(name));
            QVERIFY2(!rules.link().isNull(), qPrintable(name + u" has no link rule"_s));
        }
    }

    void queries_selectNodesAndSayWhatToExtract()
    {
        static const QRegularExpression attributeName(
            QStringLiteral("^[A-Za-z_][-A-Za-z0-9_:.]*$"));
        for (const ZestoScrapeSetting &rules :
             ZestoScrapeSetting::readSettings(SettingsRefresh::shippedDocument())) {
            const QString name = rules.name();
            const std::pair<QString, QString> queries[] = {
                { rules.link(), rules.link_extract() },
                { rules.next(), rules.next_extract() },
                { rules.title(), rules.title_extract() },
                { rules.innerImgsWithHref(), rules.innerImgsWithHref_extract() },
                { rules.innerImgsWithSrc(), rules.innerImgsWithSrc_extract() },
                { rules.date(), rules.date_extract() },
                { rules.price(), rules.price_extract() },
            };
            for (const auto &[select, extract] : queries) {
                if (select.isNull())
                    continue;
                const QString where = name + u": "_s + select;
                QVERIFY2(isNodeSetQuery(select), qPrintable(where));
                QVERIFY2(extract == u"@content" || attributeName.match(extract).hasMatch(),
                         qPrintable(where + u" extracts \""_s + extract + u'"'));
            }
            // What a user may store, the shipped rules pass too.
            QVERIFY2(UserRuleSets::problemWith(rules).isNull(),
                     qPrintable(UserRuleSets::problemWith(rules)));
            // "@content" takes a title node's own text: only text nodes have one.
            if (!rules.title().isNull() && rules.title_extract() == u"@content")
                QVERIFY2(rules.title().contains(u"text()"), qPrintable(name));
        }
    }

    void ruleSetForUrl_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("ruleSet");

        QTest::newRow("craigslist home")
            << u"https://sfbay.craigslist.org/"_s << u"craigslist-results"_s;
        QTest::newRow("craigslist in capitals")
            << u"HTTPS://SFBAY.CRAIGSLIST.ORG/SEARCH/BIA"_s << u"craigslist-results"_s;
        QTest::newRow("craigslist uk listing")
            << u"https://london.craigslist.co.uk/apa/d/flat/7712345678.html"_s
            << u"craigslist-listing"_s;
        QTest::newRow("kijiji 2012 results")
            << u"http://toronto.kijiji.ca/f-real-estate-W0QQCatIdZ34"_s << u"kijiji-results"_s;
        QTest::newRow("backpage listing")
            << u"http://phoenix.backpage.com/ElectronicsForSale/1000-imac-computer/30249224"_s
            << u"backpage-listing"_s;
        QTest::newRow("ebay classifieds results")
            << u"http://newyork.ebayclassifieds.com/furniture/?catId=100003"_s
            << u"ebayclassifieds-results"_s;
        QTest::newRow("ebay classifieds listing")
            << u"http://newyork.ebayclassifieds.com/furniture/brooklyn/oak-desk/?ad=12345678"_s
            << u"ebayclassifieds-listing"_s;
        QTest::newRow("site named only in the query")
            << u"https://example.com/?from=craigslist.org/"_s << QString();
        QTest::newRow("look-alike host") << u"https://notkijiji.ca/b-cars/k0"_s << QString();
        QTest::newRow("site name as a subdomain")
            << u"https://craigslist.org.example.com/search/"_s << QString();
        QTest::newRow("unsupported site")
            << u"https://www.example.com/listings/1.html"_s << QString();
    }

    void ruleSetForUrl()
    {
        QFETCH(QString, url);
        QFETCH(QString, ruleSet);
        QCOMPARE(nameOf(shippedRulesFor(url)), ruleSet);
    }

    void everySavedPage_hasExpectations()
    {
        if (!QDir(ListoroTest::fixturesDir()).exists())
            QSKIP("no saved pages of the real sites");
        QHash<QString, Page> pages = SavedPages::fixturePages();
        QVERIFY(!pages.isEmpty());
        for (const ResultsExpectation &row : resultsExpectations)
            pages.remove(QString::fromUtf8(row.file));
        for (const ListingExpectation &row : listingExpectations)
            pages.remove(QString::fromUtf8(row.file));
        QVERIFY2(pages.isEmpty(), qPrintable(u"untested: "_s + pages.keys().join(u", ")));
    }

    void resultsPage_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("ruleSet");
        QTest::addColumn<int>("links");
        QTest::addColumn<QString>("next");
        for (const ResultsExpectation &row : resultsExpectations) {
            QTest::newRow(row.file) << QString::fromUtf8(row.file) << QString::fromUtf8(row.ruleSet)
                                    << row.links << text(row.next);
        }
    }

    void resultsPage()
    {
        QFETCH(QString, file);
        QFETCH(QString, ruleSet);
        QFETCH(int, links);
        QFETCH(QString, next);

        const Page page = pageFor(file);
        if (page.path.isNull() && !QDir(ListoroTest::fixturesDir()).exists())
            QSKIP("no saved pages of the real sites");
        QCOMPARE(page.kind, u"results"_s);

        const std::optional<ZestoScrapeSetting> rules = shippedRulesFor(page.url);
        QCOMPARE(nameOf(rules), ruleSet);
        if (ruleSet.isEmpty())
            return; // the taught rules are checked against this row
        const QByteArray bytes = readPage(page);
        const ResultsPage result = ResultsPage::scrape(bytes, page.url, rules);
        qInfo().noquote() << u"%1: expected %2 links, next %3; found %4, next %5; rules: %6"_s.arg(
            file, QString::number(links), next.isNull() ? u"none"_s : next,
            QString::number(result.links.size()),
            result.nextLink.isNull() ? u"none"_s : result.nextLink,
            healthLine(bytes, page.url, RuleHealth::PageKind::Results, rules));

        QCOMPARE(result.links.size(), links);
        QCOMPARE(result.noLinkNodes, links == 0);
        QSet<QString> urls;
        for (int i = 0; i < result.links.size(); ++i) {
            const ResultsPage::Link &link = result.links.at(i);
            QCOMPARE(link.idInList, i);
            QVERIFY2(isAbsoluteHttpUrl(link.url), qPrintable(link.url));
            QVERIFY2(!urls.contains(link.url), qPrintable(u"listed twice: "_s + link.url));
            urls.insert(link.url);
        }
        QCOMPARE(result.nextLink, next);
        QVERIFY(!urls.contains(result.nextLink));
    }

    void listingPage_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("ruleSet");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("photos");
        QTest::addColumn<int>("thumbnails");
        QTest::addColumn<QString>("firstPhoto");
        for (const ListingExpectation &row : listingExpectations) {
            QTest::newRow(row.file)
                << QString::fromUtf8(row.file) << QString::fromUtf8(row.ruleSet) << text(row.title)
                << row.photos << row.thumbnails << text(row.firstPhoto);
        }
    }

    void listingPage()
    {
        QFETCH(QString, file);
        QFETCH(QString, ruleSet);
        QFETCH(QString, title);
        QFETCH(int, photos);
        QFETCH(int, thumbnails);
        QFETCH(QString, firstPhoto);

        const Page page = pageFor(file);
        if (page.path.isNull() && !QDir(ListoroTest::fixturesDir()).exists())
            QSKIP("no saved pages of the real sites");
        QCOMPARE(page.kind, u"listing"_s);

        const std::optional<ZestoScrapeSetting> rules = shippedRulesFor(page.url);
        QCOMPARE(nameOf(rules), ruleSet);
        const QByteArray bytes = readPage(page);
        const ListingPage result = ListingPage::scrape(bytes, page.url, rules);
        qInfo().noquote()
            << u"%1: expected \"%2\" with %3 photos; found \"%4\" with %5; rules: %6"_s.arg(
                   file, title, QString::number(photos), result.title,
                   QString::number(result.photos.size()),
                   healthLine(bytes, page.url, RuleHealth::PageKind::Listing, rules));

        QCOMPARE(result.title, title);
        QCOMPARE(result.photos.size(), photos);
        QCOMPARE(result.photos.value(0), firstPhoto);
        // Thumbnails are listed only for photos the page has at no larger size: one more means a
        // photo listed twice, or listed as a thumbnail where its full-size copy is on the page.
        QCOMPARE(std::count_if(result.photos.cbegin(), result.photos.cend(), isThumbnailUrl),
                 thumbnails);
        for (const QString &photo : result.photos) {
            QVERIFY2(isAbsoluteHttpUrl(photo), qPrintable(photo));
            QVERIFY2(result.photos.count(photo) == 1, qPrintable(u"listed twice: "_s + photo));
        }
    }

    void priceAndDate_data()
    {
        QTest::addColumn<int>("row");
        for (qsizetype i = 0; i < qsizetype(std::size(priceDateExpectations)); ++i)
            QTest::newRow(priceDateExpectations[i].file) << int(i);
    }

    void priceAndDate()
    {
        QFETCH(int, row);
        const PriceDateExpectation &truth = priceDateExpectations[row];
        const Page page = pageFor(QString::fromUtf8(truth.file));
        if (page.path.isNull() && !QDir(ListoroTest::fixturesDir()).exists())
            QSKIP("no saved pages of the real sites");
        const std::optional<ZestoScrapeSetting> rules = shippedRulesFor(page.url);
        QVERIFY(rules);
        const QDateTime fetchedAt(QDate(2026, 4, 2), QTime(10, 0), QTimeZone::utc());
        const QByteArray bytes = readPage(page);

        ListingPrice price;
        QDateTime posted;
        if (truth.pricedRows >= 0) {
            const ResultsPage result = ResultsPage::scrape(bytes, page.url, rules, {}, fetchedAt);
            QVERIFY(!result.links.isEmpty());
            price = result.links.constFirst().price;
            posted = result.links.constFirst().posted;
            const auto count = [&](auto shows) {
                return int(std::count_if(result.links.cbegin(), result.links.cend(), shows));
            };
            QCOMPARE(count([](const ResultsPage::Link &l) { return !l.price.isNull(); }),
                     truth.pricedRows);
            QCOMPARE(count([](const ResultsPage::Link &l) { return l.posted.isValid(); }),
                     truth.datedRows);
        } else {
            const ListingPage result
                = ListingPage::scrape(bytes, page.url, rules, {}, {}, fetchedAt);
            price = result.price;
            posted = result.posted;
        }
        QCOMPARE(price.text(), text(truth.price));
        QCOMPARE(price.amount().value_or(-1), truth.amount);
        QCOMPARE(price.currency(), QString::fromLatin1(truth.currency));
        QCOMPARE(posted.isValid() ? posted.toString(Qt::ISODate) : QString(),
                 QString::fromLatin1(truth.date));
    }
};

LISTORO_TEST(TestShippedRules)
#include "tst_shippedrules.moc"
