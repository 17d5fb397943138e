#include "common/testregistry.h"
#include "savedpages.h"

#include "platform/regularexpression.h"
#include "scrape/listingpage.h"
#include "scrape/resultspage.h"
#include "scrape/rulederivation.h"
#include "scrape/settingsrefresh.h"
#include "scrape/zestoscrapesetting.h"

#include <QDir>
#include <QScopeGuard>
#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;

// Rules derived from one pointed-at listing link (or title) of every saved page must find what
// the shipped rules find there: those are checked against the pages' true counts elsewhere.

namespace {

std::optional<ZestoScrapeSetting> shippedRulesFor(const QString &url)
{
    return ZestoScrapeSetting::settingsForUrl(
        url, ZestoScrapeSetting::readSettings(SettingsRefresh::shippedDocument()));
}

QSet<QString> linkSet(const ResultsPage &page)
{
    QSet<QString> urls;
    for (const ResultsPage::Link &link : page.links)
        urls.insert(link.url);
    return urls;
}

bool skipWithoutFixtures(const SavedPages::Page &page)
{
    return page.path.isNull() && !QDir(ListoroTest::fixturesDir()).exists();
}

} // namespace

class TestRuleDerivation final : public QObject
{
    Q_OBJECT

private slots:
    void resultsRule_findsWhatTheShippedRulesFind_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("examples");
        QTest::addColumn<QStringList>("exclusions");
        const auto row = [](const char *file, const QStringList &examples,
                            const QStringList &exclusions = {}) {
            QTest::newRow(file) << QString::fromUtf8(file) << examples << exclusions;
        };
        row("craigslist/cl-2012-sfbay-bia-results.html",
            { u"Mongoose bicycle Bike 20\" (boys)"_s });
        row("craigslist/cl-2012-sfbay-cta-miata-results.html",
            { u"2008 Mazda MX-5 Miata Let us do the numbers!"_s });
        row("craigslist/cl-old-bend-jjj-results-2017.html", { u"Graphic Designer"_s });
        row("craigslist/cl-old-vancouver-apa-results-2019.html", { u"Shangrai-la Luxury Apt"_s });
        // Part of the link's text, as a click on its title line gives.
        row("craigslist/cl-new-milwaukee-apa-results.html",
            { u"Wauwatosa 2 Bdrm, 1 Bath Near MCW"_s });
        row("craigslist/cl-new-vancouver-apa-results.html", { u"41 Ave & Commercial St Suite"_s });
        // Featured boxes the user leaves out by clicking one of them; kj-2026's repeats its
        // results and goes by itself.
        row("kijiji/kj-2017-montreal-charlevoix-results.html",
            { u"Room in a 6 1/2 apartment (May-August) Metro Charlevoix"_s },
            { u"/v-chambres-a-louer-colocataire/ville-de-montreal/chambre-a-louer/1243182869"
              u"?src=topAdSearch"_s });
        row("kijiji/kj-2026-vancouver-apartments-results.html",
            { u"Langley 2 bed 2 bath + den available July 1"_s });
        row("kijiji/kj-2012-toronto-bachelor-results.html",
            { u"Large Bachelor/Studio + locker @ MURANO"_s },
            { u"http://toronto.kijiji.ca/c-real-estate-apartments-condos-bachelor-studio-A-"
              u"Bachelor-in-the-City-of-Singles-Yonge-Eglinton-W0QQAdIdZ310600422"_s });
        row("other/bp-2014-phoenix-electronics-results.html",
            { u"$89.99, Mitsubishi 915B403001"_s });
        row("demo-results.html", { u"Solid oak dining table, seats six"_s });
        row("variants/cl-2012-prow-spanpl.html", { u"Mongoose"_s });
        row("variants/cl-2013-prow-spanpl.html", { u"Fixie for sale"_s });
        row("variants/cl-2014-prow-hdrlnk.html", { u"Road bike"_s });
        row("variants/cl-2020-div-result-info.html", { u"Road bike"_s });
        row("variants/cl-2023-cl-search-result.html", { u"Road bike"_s });
        row("variants/kj-2012-results-french.html", { u"4 1/2 Plateau"_s },
            { u"http://montreal.kijiji.ca/c-immobilier-A-W0QQAdIdZ100"_s });
        row("variants/kj-2015-table-regular-ad.html", { u"Jacket"_s },
            { u"http://www.kijiji.ca/v-a/1000000001?src=topAdSearch"_s });
        row("variants/kj-2019-search-item.html", { u"Nice condo"_s, u"Old style title link"_s },
            { u"/v-x/1400000001?src=topAdSearch"_s, u"https://www.autotrader.ca/a/1"_s });
    }

    void resultsRule_findsWhatTheShippedRulesFind()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, examples);
        QFETCH(QStringList, exclusions);
        const SavedPages::Page page = SavedPages::pageFor(file);
        if (skipWithoutFixtures(page))
            QSKIP("no saved pages of the real sites");
        const QByteArray bytes = SavedPages::readPage(page);
        const ResultsPage shipped = ResultsPage::scrape(bytes, page.url, shippedRulesFor(page.url));

        const RuleDerivation::Result derived
            = RuleDerivation::deriveResults(bytes, page.url, examples, exclusions);
        QVERIFY2(derived.error.isNull(), qPrintable(derived.error));
        qInfo().noquote() << file << derived.rules.link();
        QVERIFY(!derived.rules.link().contains(u"normalize-space(.)!="));
        QVERIFY2(!derived.rules.link().contains(QRegularExpression(u"\\[\\d+\\]"_s)),
                 qPrintable(derived.rules.link()));
        const ResultsPage found = ResultsPage::scrape(bytes, page.url, derived.rules);
        QCOMPARE(linkSet(found), linkSet(shipped));
        QCOMPARE(derived.count, found.links.size());
        if (!shipped.nextLink.isNull())
            QCOMPARE(found.nextLink, shipped.nextLink);

        // The rule set is for this search and its later pages, not for its listings.
        const RegularExpression address(derived.rules.regex());
        QVERIFY2(address.hasMatch(page.url), qPrintable(derived.rules.regex()));
        if (!shipped.nextLink.isNull())
            QVERIFY2(address.hasMatch(shipped.nextLink), qPrintable(derived.rules.regex()));
        QVERIFY2(!address.hasMatch(shipped.links.constFirst().url),
                 qPrintable(derived.rules.regex()));
    }

    // Every saved results page the shipped rules read, taught from its first listing link's
    // address alone: the same listings (featured boxes left out as the shipped rules leave
    // them out) and the same next page.
    void resultsRule_fromTheFirstListingLink_data()
    {
        QTest::addColumn<QString>("file");
        const QHash<QString, SavedPages::Page> pages = SavedPages::fixturePages();
        for (auto it = pages.cbegin(); it != pages.cend(); ++it) {
            if (it->kind == u"results" && shippedRulesFor(it->url))
                QTest::newRow(qPrintable(it.key())) << it.key();
        }
    }
    void resultsRule_fromTheFirstListingLink()
    {
        QFETCH(QString, file);
        const SavedPages::Page page = SavedPages::pageFor(file);
        const QByteArray bytes = SavedPages::readPage(page);
        const ResultsPage shipped = ResultsPage::scrape(bytes, page.url, shippedRulesFor(page.url));
        if (shipped.links.size() < 2)
            QSKIP("fewer than two listings to learn from");
        const RuleDerivation::Result derived = RuleDerivation::deriveResults(
            bytes, page.url, QStringList{ shipped.links.constFirst().url });
        QVERIFY2(derived.error.isNull(), qPrintable(derived.error));
        const ResultsPage found = ResultsPage::scrape(bytes, page.url, derived.rules);
        QCOMPARE(linkSet(found), linkSet(shipped));
        QCOMPARE(found.nextLink, shipped.nextLink);
    }

    // Pages no rule set knows: from the first listing link, every listing once and the next
    // page, counted by reading the page.
    void resultsRule_findsTheTrueListings_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("example");
        QTest::addColumn<int>("listings");
        QTest::addColumn<QString>("next");
        QTest::newRow("leboncoin 2017: whole-card anchors, a#next, scheme-relative links")
            << u"other/leboncoin-2017-voitures-basse-normandie-results.html"_s
            << u"//www.leboncoin.fr/voitures/1110535422.htm?ca=4_s"_s << 35
            << u"https://www.leboncoin.fr/voitures/offres/basse_normandie/?o=3&ms=30000&me=100000"
               u"&fu=2&gb=2&location=Caen%2014000"_s;
    }
    void resultsRule_findsTheTrueListings()
    {
        QFETCH(QString, file);
        QFETCH(QString, example);
        QFETCH(int, listings);
        QFETCH(QString, next);
        const SavedPages::Page page = SavedPages::pageFor(file);
        if (skipWithoutFixtures(page))
            QSKIP("no saved pages of the real sites");
        const QByteArray bytes = SavedPages::readPage(page);
        const RuleDerivation::Result derived
            = RuleDerivation::deriveResults(bytes, page.url, QStringList{ example });
        QVERIFY2(derived.error.isNull(), qPrintable(derived.error));
        const ResultsPage found = ResultsPage::scrape(bytes, page.url, derived.rules);
        QCOMPARE(linkSet(found).size(), listings);
        QCOMPARE(found.links.size(), listings);
        QCOMPARE(found.nextLink, next);
    }

    // Hand-written pages of each kind a rule taught from one link used to get wrong.
    void resultsRule_generalisesFromOneLink_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("listings");
        QTest::addColumn<QString>("next"); // empty: none on this page
        const QByteArray list = "<ul class='results'><li class='result'><a href='/i/1'>Oak "
                                "table</a></li><li class='result'><a href='/i/2'>Red bike</a>"
                                "</li><li class='result'><a href='/i/3'>Lamp</a></li></ul>";
        const QString three = u"/i/1 /i/2 /i/3"_s;
        const auto row
            = [&](const char *name, const QByteArray &pagination, const QString &next = QString()) {
                  QTest::newRow(name) << list + pagination << three << next;
              };
        QTest::newRow("promoted box above the results")
            << "<div id='topAds' class='box'><ul><li class='result'><a href='/p/1'>Sofa</a></li>"
               "<li class='result'><a href='/p/2'>Desk</a></li></ul></div>"_ba
                + list
            << three << QString();
        QTest::newRow("photo and title link per card")
            << "<div class='card'><a href='/i/1'><img src='1.jpg'></a><h3><a href='/i/1'>Oak "
               "table</a></h3></div><div class='card'><a href='/i/2'><img src='2.jpg'></a><h3>"
               "<a href='/i/2'>Red bike</a></h3></div><div class='card'><a href='/i/3'><img "
               "src='3.jpg'></a><h3><a href='/i/3'>Lamp</a></h3></div>"_ba
            << three << QString();
        row("rel next", "<a rel='next nofollow' href='?page=2'>More</a>", u"?page=2"_s);
        row("a#next", "<a id='next' href='?page=2'><i class='icon-chevron'></i></a>", u"?page=2"_s);
        row("pagination-next", "<a class='pagination-next' href='?page=2'><b></b></a>",
            u"?page=2"_s);
        row("German", "<a href='?page=2'>Nächste</a>", u"?page=2"_s);
        row("Romanian", "<a href='?page=2'>Următoarele</a>", u"?page=2"_s);
        row("Portuguese", "<a href='?page=2'>Próxima</a>", u"?page=2"_s);
        row("Spanish", "<a href='?page=2'>Siguiente »</a>", u"?page=2"_s);
        row("after the current page number",
            "<div class='pages'><a href='?page=1'>1</a><span class='current'>2</span><a "
            "href='?page=3'>3</a><a href='?page=4'>4</a></div>",
            u"?page=3"_s);
        row("previous beside next",
            "<a class='prev' href='?page=1'>Previous</a><a class='next' href='?page=3'>Next</a>",
            u"?page=3"_s);
        row("hidden on the last page",
            "<ul class='pagination'><li><a href='?page=8'>8</a></li><li class='next disabled'>"
            "<a href='?page=9'>Next</a></li></ul>");
    }
    void resultsRule_generalisesFromOneLink()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, listings);
        QFETCH(QString, next);
        const QString url = u"http://example.com/search"_s;
        const QByteArray html = "<html><body>" + body + "</body></html>";
        const RuleDerivation::Result derived
            = RuleDerivation::deriveResults(html, url, QStringList{ u"Red bike"_s });
        QVERIFY2(derived.error.isNull(), qPrintable(derived.error));
        const ResultsPage found = ResultsPage::scrape(html, url, derived.rules);
        QStringList paths;
        for (const ResultsPage::Link &link : found.links) {
            paths << link.url.mid(url.indexOf(u"/search"));
            QVERIFY(!link.title.isEmpty());
        }
        QCOMPARE(paths.join(u' '), listings);
        QCOMPARE(found.nextLink, next.isEmpty() ? QString() : url + next);
    }

    void resultsRule_saysWhyNoneCanBeDerived_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("html");
        QTest::addColumn<QStringList>("examples");
        QTest::addColumn<QString>("why"); // part of the error
        QTest::addColumn<int>("budgetMs"); // the derivation's time, when not the default
        const QString noRepeat = u"Nothing around this link repeats"_s;
        const QString unread = u"could not be read"_s;
        QTest::newRow("one listing only") << u"variants/cl-2012-lastpage.html"_s << QByteArray()
                                          << QStringList{ u"Last one"_s } << noRepeat << -1;
        QTest::newRow("no link says so")
            << u"variants/cl-2014-prow-hdrlnk.html"_s << QByteArray()
            << QStringList{ u"no such words on the page"_s } << u"No link on the page says"_s << -1;
        QTest::newRow("no example") << u"variants/cl-2014-prow-hdrlnk.html"_s << QByteArray()
                                    << QStringList() << u"Click the link of one listing"_s << -1;
        QTest::newRow("two lists")
            << u"variants/cl-2014-prow-hdrlnk.html"_s << QByteArray()
            << QStringList{ u"Road bike"_s, u"next >"_s } << u"do not repeat one structure"_s << -1;
        QTest::newRow("nothing repeats")
            << QString() << "<html><body><p><a href='/a/1'>One</a></p><div>x</div></body></html>"_ba
            << QStringList{ u"One"_s } << noRepeat << -1;
        QTest::newRow("empty page")
            << QString() << QByteArray() << QStringList{ u"One"_s } << unread << -1;
        QTest::newRow("not html") << QString() << "\x89PNG\r\n\x1a\n\0\0\0"_ba
                                  << QStringList{ u"One"_s } << u"No link on the page says"_s << -1;
        QTest::newRow("out of time")
            << u"variants/cl-2014-prow-hdrlnk.html"_s << QByteArray()
            << QStringList{ u"Road bike"_s } << u"too irregular to learn from"_s << 0;
    }

    void resultsRule_saysWhyNoneCanBeDerived()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, html);
        QFETCH(QStringList, examples);
        QFETCH(QString, why);
        QFETCH(int, budgetMs);
        const std::chrono::milliseconds usual = RuleDerivation::timeBudget();
        if (budgetMs >= 0)
            RuleDerivation::setTimeBudget(std::chrono::milliseconds(budgetMs));
        const auto restore = qScopeGuard([usual] { RuleDerivation::setTimeBudget(usual); });
        QString url = u"http://example.com/search"_s;
        if (!file.isNull()) {
            const SavedPages::Page page = SavedPages::pageFor(file);
            html = SavedPages::readPage(page);
            url = page.url;
        }
        const RuleDerivation::Result derived = RuleDerivation::deriveResults(html, url, examples);
        QVERIFY2(derived.error.contains(why), qPrintable(derived.error));
        QVERIFY(derived.rules.link().isNull());
    }

    void listingRules_findTitleAndEveryPhoto_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("clickedPhoto");
        QTest::addColumn<int>("extraPhotos");
        const auto row = [](const char *file, const QString &photo = {}, int extra = 0) {
            QTest::newRow(file) << QString::fromUtf8(file) << photo << extra;
        };
        row("craigslist/cl-2012-sfbay-vac-listing.html");
        row("craigslist/cl-2012-toronto-apa-listing-table.html");
        row("craigslist/cl-old-losangeles-job-listing-2017.html");
        row("craigslist/cl-2016-bend-snw-listing.html");
        // A click on a thumbnail gives the gallery's large photos.
        row("craigslist/cl-2016-bend-snw-listing.html",
            u"https://images.craigslist.org/00N0N_bNXh1ud7hMh_50x50c.jpg"_s);
        row("craigslist/cl-2022-seattle-tac-pts-listing-nophoto.html");
        row("craigslist/cl-new-milwaukee-apa-listing.html");
        // The main photo's thumbnail sits in the same gallery as the large copy.
        row("kijiji/kj-2012-toronto-apt-listing-1.html", {}, 1);
        row("kijiji/kj-2012-toronto-apt-listing-nophoto.html");
        row("kijiji/kj-2017-montreal-room-listing.html",
            u"http://i.ebayimg.com/00/s/NDUwWDgwMA==/z/0mgAAOSwzgBY1f~d/$_35.JPG"_s);
        row("variants/cl-2012-listing-oneimage.html");
        row("variants/cl-2012-listing-h2-in-body.html");
        row("variants/cl-2013-listing-h2class.html");
        row("variants/cl-2015-listing-oneimage.html");
        row("variants/kj-2012-listing-3photos.html", {}, 1);
        row("variants/kj-2012-listing-1photo.html");
        row("demo-listing.html");
    }

    void listingRules_findTitleAndEveryPhoto()
    {
        QFETCH(QString, file);
        QFETCH(QString, clickedPhoto);
        QFETCH(int, extraPhotos);
        const SavedPages::Page page = SavedPages::pageFor(file);
        if (skipWithoutFixtures(page))
            QSKIP("no saved pages of the real sites");
        const QByteArray bytes = SavedPages::readPage(page);
        const ListingPage shipped = ListingPage::scrape(bytes, page.url, shippedRulesFor(page.url));

        const RuleDerivation::Result derived
            = RuleDerivation::deriveListing(bytes, page.url, shipped.title, clickedPhoto);
        QVERIFY2(derived.error.isNull(), qPrintable(derived.error));
        const ListingPage found = ListingPage::scrape(bytes, page.url, derived.rules);
        QCOMPARE(found.title.simplified(), shipped.title.simplified());
        for (const QString &photo : shipped.photos)
            QVERIFY2(found.photos.contains(photo), qPrintable(u"missing "_s + photo));
        QCOMPARE(found.photos.size(), shipped.photos.size() + extraPhotos);

        const RegularExpression address(derived.rules.regex());
        QVERIFY2(address.hasMatch(page.url), qPrintable(derived.rules.regex()));
    }

    // A class holding quotes is matched as the text it is: it neither breaks the rule nor
    // widens it to the navigation's links.
    void resultsRule_quotesWhatThePageWrites_data()
    {
        QTest::addColumn<QString>("token");
        QTest::newRow("apostrophe") << u"ad')or('"_s;
        QTest::newRow("double quote") << u"ad\")or(\""_s;
        QTest::newRow("both") << u"a'\"])|//a|//x[@a='"_s;
    }

    void resultsRule_quotesWhatThePageWrites()
    {
        QFETCH(QString, token);
        QString html = u"<html><body><ul><li><a href='/about'>About</a></li>"
                       u"<li><a href='/help'>Help</a></li></ul><ul>"_s;
        for (int i = 1; i <= 3; ++i)
            html += u"<li class=\"%1\"><a href='/i/%2'>Listing %2</a></li>"_s.arg(
                token.toHtmlEscaped(), QString::number(i));
        html += u"</ul></body></html>"_s;
        const QString url = u"http://example.com/search"_s;
        const RuleDerivation::Result derived
            = RuleDerivation::deriveResults(html.toUtf8(), url, QStringList{ u"Listing 2"_s });
        QVERIFY2(derived.error.isNull(), qPrintable(derived.error));
        QCOMPARE(derived.values,
                 (QStringList{ u"http://example.com/i/1"_s, u"http://example.com/i/2"_s,
                               u"http://example.com/i/3"_s }));
    }

    // The link clicked is found by where it is, not by its text, which a featured box above
    // the results repeats; its name decides when the path leads elsewhere.
    void resultsRule_takesTheLinkClicked_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("found");
        const QString results = u"/i/1 /i/2 /i/3"_s;
        QTest::newRow("same text as a featured link")
            << u"Oak table"_s << u"/html[1]/body[1]/ul[1]/li[1]/a[1]"_s << results;
        QTest::newRow("tbody the browser added")
            << u"Oak table"_s << u"/html[1]/body[1]/table[1]/tbody[1]/tr[1]/td[1]/a[1]"_s
            << u"/t/1 /t/2"_s;
        QTest::newRow("no path") << u"Oak table"_s << QString() << u"/f/1 /f/2"_s;
        QTest::newRow("path to another link")
            << u"Oak table"_s << u"/html[1]/body[1]/ul[1]/li[3]/a[1]"_s << u"/f/1 /f/2"_s;
        QTest::newRow("path to nothing")
            << u"Lamp"_s << u"/html[1]/body[1]/x']|//a[1]/a[2]"_s << results;
    }

    void resultsRule_takesTheLinkClicked()
    {
        QFETCH(QString, name);
        QFETCH(QString, path);
        QFETCH(QString, found);
        const QByteArray html
            = "<html><body><div class='featured'><div class='card'><a href='/f/1'>Oak table</a>"
              "</div><div class='card'><a href='/f/2'>Red bike</a></div></div><ul>"
              "<li class='result'><a href='/i/1'>Oak table</a></li>"
              "<li class='result'><a href='/i/2'>Red bike</a></li>"
              "<li class='result'><a href='/i/3'>Lamp</a></li></ul><table>"
              "<tr class='line'><td><a href='/t/1'>Oak table</a></td></tr>"
              "<tr class='line'><td><a href='/t/2'>Chair</a></td></tr></table></body></html>"_ba;
        const RuleDerivation::Result derived = RuleDerivation::deriveResults(
            html, u"http://example.com/search"_s, QList<RuleDerivation::Example>{ { name, path } });
        QVERIFY2(derived.error.isNull(), qPrintable(derived.error));
        QCOMPARE(derived.values.join(u' ').remove(u"http://example.com"_s), found);
    }

    void addressPattern_coversTheSectionNotOnePage_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("results");
        QTest::addColumn<QStringList>("matching");
        QTest::addColumn<QStringList>("other");
        QTest::newRow("craigslist listing")
            << u"https://seattle.craigslist.org/see/bik/d/seattle-road-bike/7100000001.html"_s
            << false
            << QStringList{ u"http://seattle.craigslist.org/see/bik/d/kids-bike/71.html"_s }
            << QStringList{ u"https://seattle.craigslist.org/search/bik"_s,
                            u"https://tacoma.craigslist.org/see/bik/d/x/1.html"_s };
        QTest::newRow("kijiji 2012 listing")
            << u"http://toronto.kijiji.ca/c-real-estate-x-W0QQAdIdZ361000001"_s << false
            << QStringList{ u"http://toronto.kijiji.ca/c-buy-and-sell-y-W0QQAdIdZ1"_s }
            << QStringList{ u"http://toronto.kijiji.ca/f-real-estate-W0QQCatIdZ34"_s };
        QTest::newRow("kijiji later pages")
            << u"https://www.kijiji.ca/b-apartments-condos/greater-vancouver/c37l80003?ad=x"_s
            << true
            << QStringList{ u"https://www.kijiji.ca/b-apartments-condos/greater-vancouver/page-2/"
                            u"c37l80003"_s }
            << QStringList{ u"https://www.kijiji.ca/v-apartments-condos/richmond-bc/x/1738133594"_s,
                            u"https://www.kijiji.ca.evil.example/b-apartments-condos/"_s };
        QTest::newRow("port kept")
            << u"http://127.0.0.1:41234/listoro-demo/search?page=2"_s << true
            << QStringList{ u"http://127.0.0.1:41234/listoro-demo/search"_s }
            << QStringList{ u"http://127.0.0.1:9/listoro-demo/search"_s,
                            u"http://127.0.0.1:41234/listoro-demo/item/7.html"_s };
    }

    void addressPattern_coversTheSectionNotOnePage()
    {
        QFETCH(QString, url);
        QFETCH(bool, results);
        QFETCH(QStringList, matching);
        QFETCH(QStringList, other);
        const QString pattern = RuleDerivation::addressPattern(
            url, results ? RuleDerivation::PageKind::Results : RuleDerivation::PageKind::Listing);
        const RegularExpression expression(pattern);
        QVERIFY2(expression.isValid(), qPrintable(pattern));
        for (const QString &address : matching << url)
            QVERIFY2(expression.hasMatch(address), qPrintable(pattern + u' ' + address));
        for (const QString &address : other)
            QVERIFY2(!expression.hasMatch(address), qPrintable(pattern + u' ' + address));
    }
};

LISTORO_TEST(TestRuleDerivation)
#include "tst_rulederivation.moc"
