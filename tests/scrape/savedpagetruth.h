#pragma once

// What a reader counts on each saved page (../shared/fixtures and tests/data/rules): the
// listings and next link of a results page, the title and photos of a listing page. The shipped
// rules are checked against these rows, and so are rules taught from one example.
namespace SavedPageTruth {

struct ResultsExpectation
{
    const char *file;
    const char *ruleSet; // nullptr: no shipped rule set knows the site
    int links;
    const char16_t *next; // nullptr: no next link
};

// One row per results page. Links are what a reader of the page counts as listings.
inline const ResultsExpectation resultsExpectations[] = {
    { "craigslist/cl-2012-sfbay-bia-results.html", "craigslist-results", 100,
      u"http://sfbay.craigslist.org/search/bia?query=bicycle&srchType=A&s=100" },
    // "Found: 122 Displaying: 1 - 100": 100 rows, each with one title link beside its category
    // link; "Next >>" above and below the rows.
    { "craigslist/cl-2012-sfbay-cta-miata-results.html", "craigslist-results", 100,
      u"http://sanfrancisco.craigslist.org/search/cta?maxAsk=2000&query=miata&srchType=T&s=100" },
    // One local listing and 31 from nearby areas; the paginator is marked "lastpage", so its
    // next button is hidden on the page.
    { "craigslist/cl-old-bend-jjj-results-2017.html", "craigslist-results", 32, nullptr },
    { "craigslist/cl-old-vancouver-apa-results-2019.html", "craigslist-results", 120,
      u"https://vancouver.craigslist.org/search/apa"
      u"?s=120&availabilityMode=0&max_bedrooms=1&min_bedrooms=1" },
    // The static markup has no pager.
    { "craigslist/cl-new-milwaukee-apa-results.html", "craigslist-results", 37, nullptr },
    { "craigslist/cl-new-vancouver-apa-results.html", "craigslist-results", 354, nullptr },
    // 21 boxes: the "top-feature" box repeats one of the 20 regular listings.
    { "kijiji/kj-2017-montreal-charlevoix-results.html", "kijiji-results", 20,
      u"http://www.kijiji.ca/b-ville-de-montreal/charlevoix/page-2/k0l1700281" },
    // 40 results plus a box of 6 top ads (3 of them repeat results); no pager in the markup.
    { "kijiji/kj-2026-vancouver-apartments-results.html", "kijiji-results", 40, nullptr },
    { "kijiji/kj-2026-cars-zero-results.html", "kijiji-results", 0, nullptr },
    // 20 rows (resultRow0-19) below a box of 5 Top Ads (resultFeatRow0-4), paid placements
    // skipped like the top-ad boxes of the later markup; "Next >" in the pager.
    { "kijiji/kj-2012-toronto-bachelor-results.html", "kijiji-results", 20,
      u"http://toronto.kijiji.ca/f-real-estate-apartments-condos-bachelor-studio"
      u"-W0QQCatIdZ211QQPageZ2" },
    // 100 listings beside 7 sponsor boxes.
    { "other/bp-2014-phoenix-electronics-results.html", "backpage-results", 100,
      u"http://phoenix.backpage.com/ElectronicsForSale/?page=2" },
    // Small pages written by hand in the markup of other generations (tests/data/rules/variants).
    { "variants/cl-2012-prow-spanpl.html", "craigslist-results", 2,
      u"http://sfbay.craigslist.org/search/bia?query=x&s=100" },
    { "variants/cl-2012-lastpage.html", "craigslist-results", 1, nullptr },
    { "variants/cl-2013-prow-spanpl.html", "craigslist-results", 3,
      u"https://sfbay.craigslist.org/search/bik?s=100" },
    { "variants/cl-2014-prow-hdrlnk.html", "craigslist-results", 2,
      u"https://sfbay.craigslist.org/search/bik?s=200" },
    { "variants/cl-2020-div-result-info.html", "craigslist-results", 3,
      u"https://seattle.craigslist.org/search/bik?s=120" },
    { "variants/cl-2020-lastpage.html", "craigslist-results", 1, nullptr },
    { "variants/cl-2023-cl-search-result.html", "craigslist-results", 3, nullptr },
    { "variants/kj-2012-results-french.html", "kijiji-results", 2,
      u"http://montreal.kijiji.ca/f-immobilier-W0QQCatIdZ34QQPageZ3" },
    { "variants/kj-2015-table-regular-ad.html", "kijiji-results", 2,
      u"http://www.kijiji.ca/b-vetements/ville-de-toronto/page-2/c274l1700273" },
    { "variants/kj-2019-search-item.html", "kijiji-results", 2,
      u"https://www.kijiji.ca/b-x/page-2/k0" },
    // No shipped rule set knows the site: taught rules read it. 35 ads, each one anchor around
    // its whole card, scheme-relative; the pager's next is "a#next" holding only an icon.
    { "other/leboncoin-2017-voitures-basse-normandie-results.html", nullptr, 35,
      u"https://www.leboncoin.fr/voitures/offres/basse_normandie/"
      u"?o=3&ms=30000&me=100000&fu=2&gb=2&location=Caen%2014000" },
    // Four rows, one without a photo link; prev and next in the pager.
    { "demo-results.html", "demo-results", 4,
      u"http://127.0.0.1:41234/listoro-demo/search?page=3" },
};

struct ListingExpectation
{
    const char *file;
    const char *ruleSet;
    const char16_t *title;
    int photos;
    int thumbnails; // photos the page shows only as thumbnails, each listed once
    const char16_t *firstPhoto; // nullptr: no photos
};

inline const ListingExpectation listingExpectations[] = {
    { "craigslist/cl-2012-sfbay-vac-listing.html", "craigslist-listing",
      u"$300 / 4br - 2000ft² - THANKSGIVING IN TAHOE -- Wonderful house/location, hot tub, "
      u"sleeps 10+ (Tahoe-Truckee)",
      8, 0, u"http://images.craigslist.org/3L13Ic3H65Lf5G85E6cat191b46c681e210b5.jpg" },
    { "craigslist/cl-2012-toronto-apa-listing-table.html", "craigslist-listing",
      u"$1200 / 1br - 700ft² - Riverdale, Downtown, Danforth and Chester Stn (Danforth and Logan) "
      u"(map)",
      4, 0, u"http://images.craigslist.org/5L35G35Mc3F43Lb3Ncc3564e9bc620dcf1c9e.jpg" },
    // Served as UTF-8 without a charset in the markup.
    { "craigslist/cl-old-losangeles-job-listing-2017.html", "craigslist-listing",
      u"► Digital Designer Needed for Media/Fitness Company ◄", 0, 0, nullptr },
    // "image 1 of 12": twelve thumbnail links to 600x450 photos.
    { "craigslist/cl-2016-bend-snw-listing.html", "craigslist-listing", u"Tauntaun Snowmobile!", 12,
      0, u"https://images.craigslist.org/00101_eSOBDc4ZFqx_600x450.jpg" },
    // The title is a bare text node of span.postingtitletext, beside its price and housing spans.
    { "craigslist/cl-2015-06-sfbay-eby-apa-listing.html", "craigslist-listing",
      u"Gorgeous REMODELED 3 bed/2.5 bath townhouse just steps from BART", 12, 0,
      u"http://images.craigslist.org/00K0K_9Hzp2nLrHNR_600x450.jpg" },
    // No gallery in the markup.
    { "craigslist/cl-2022-seattle-tac-pts-listing-nophoto.html", "craigslist-listing", u"K5 Blazer",
      0, 0, nullptr },
    // Eleven gallery slots, the second and third showing the same photo.
    { "craigslist/cl-new-milwaukee-apa-listing.html", "craigslist-listing",
      u"Wauwatosa 2 Bdrm, 1 Bath Near MCW", 10, 0,
      u"https://images.craigslist.org/00a0a_ktGWIym8Pre_0ww0oo_600x450.jpg" },
    // Five photos, but only the first is in the markup at full size (_19); the other four are
    // there only as _14 thumbnails, and the thumbnail of the first is not listed again.
    { "kijiji/kj-2012-toronto-apt-listing-1.html", "kijiji-listing",
      u"$625 / 1br - COZY KING WEST BACHELOR FOR RENT", 5, 4,
      u"http://imgc.classistatic.com/cps/kjc/120308/162r1/687989a_19.jpeg" },
    // No gallery; the og:image is the site's logo.
    { "kijiji/kj-2012-toronto-apt-listing-nophoto.html", "kijiji-listing",
      u"Basement Bachelor Apartment Available NOW! Weston/Finch", 0, 0, nullptr },
    // The 2023 markup: eight gallery slides; the first photo also as the og:image at 960 px,
    // the larger size, which is the one taken. Title in the first h1, price beside it.
    { "kijiji/kj-2026-listing-01.html", "kijiji-listing",
      u"Spacieux et lumineux 5½ avec cachet, près de Masson", 8, 0,
      u"https://media.kijiji.ca/api/v1/ca-prod-dealer-ads/images/8b/"
      u"8bb78dd7-eca4-4012-87ba-846fb3106c44?rule=kijijica-960-jpg" },
    { "kijiji/kj-2017-montreal-room-listing.html", "kijiji-listing",
      u"Room in a 6 1/2 apartment (May-August) Metro Charlevoix", 10, 0,
      u"http://i.ebayimg.com/00/s/NDUwWDgwMA==/z/DdYAAOSwhQhY1f~i/$_35.JPG" },
    { "variants/cl-2012-listing-oneimage.html", "craigslist-listing", u"$20 One photo posting (sf)",
      1, 0, u"http://images.craigslist.org/3L13Ic3H65Lf5G85E6cat191b46c681e210b5.jpg" },
    { "variants/cl-2012-listing-h2-in-body.html", "craigslist-listing",
      u"$20 One photo posting (sf)", 1, 0,
      u"http://images.craigslist.org/3L13Ic3H65Lf5G85E6cat191b46c681e210b5.jpg" },
    // The title is the text of the h2 beside its star, as the page holds it.
    { "variants/cl-2013-listing-h2class.html", "craigslist-listing",
      u"\n  Gently used bike trailer - $60 (noe valley)\n", 2, 0,
      u"http://images.craigslist.org/3Ka3K23Hd5Nb5Fb5J3cau0a7c12ab8f4a1a8c.jpg" },
    { "variants/cl-2015-listing-oneimage.html", "craigslist-listing", u"One photo posting", 1, 0,
      u"https://images.craigslist.org/00101_abcdEFGhij_600x450.jpg" },
    // One photo at full size and two more only as thumbnails.
    { "variants/kj-2012-listing-3photos.html", "kijiji-listing", u"Sunny 1br near Dufferin", 3, 2,
      u"http://imgc.classistatic.com/cps/kjc/120301/100r1/aaaa111_19.jpeg" },
    { "variants/kj-2012-listing-1photo.html", "kijiji-listing", u"One photo ad", 1, 0,
      u"http://imgc.classistatic.com/cps/kjc/120301/100r1/dddd444_19.jpeg" },
    // Three photos; the main photo repeats the first.
    { "demo-listing.html", "demo-listing",
      u"Yamaha upright piano – tuned in März, €1 200 or best offer", 3, 0,
      u"http://127.0.0.1:41234/listoro-demo/photos/7000022-0.jpg" },
};

// The price and posted date a page shows, read against a fetch at 2026-04-02 10:00 UTC. On a
// results page: those of its first listing, and how many listings show each (listing pages: -1).
// Times without a zone on the page read as UTC.
struct PriceDateExpectation
{
    const char *file;
    const char16_t *price; // nullptr: none shown
    double amount; // -1: no amount in the text
    const char *currency; // "": not told
    const char *date; // nullptr: none shown
    int pricedRows;
    int datedRows;
};

inline const PriceDateExpectation priceDateExpectations[] = {
    // Rows of 2012: " Oct 30 - title - $55"; 8 rows leave their price empty.
    { "craigslist/cl-2012-sfbay-bia-results.html", u"$55", 55, "", "2025-10-30T00:00:00Z", 92,
      100 },
    { "craigslist/cl-2012-sfbay-cta-miata-results.html", nullptr, -1, "", "2025-10-29T00:00:00Z",
      14, 100 },
    // Jobs show no price; the time element's datetime holds the year.
    { "craigslist/cl-old-bend-jjj-results-2017.html", nullptr, -1, "", "2017-12-22T14:08:00Z", 0,
      32 },
    { "craigslist/cl-old-vancouver-apa-results-2019.html", u"$3995", 3995, "",
      "2019-01-06T12:10:00Z", 120, 120 },
    // The static markup shows no dates.
    { "craigslist/cl-new-milwaukee-apa-results.html", u"$1,325", 1325, "", nullptr, 37, 0 },
    { "craigslist/cl-new-vancouver-apa-results.html", u"$1,470", 1470, "", nullptr, 354, 0 },
    // "< 13 minutes ago" and the like; the top ads above are skipped.
    { "kijiji/kj-2012-toronto-bachelor-results.html", u"$1,300.00", 1300, "CAD",
      "2026-04-02T09:47:00Z", 20, 20 },
    // French: "575,00 $", "Il y a moins de 10 heures", "hier", "22-mars-17"; one "Sur demande".
    { "kijiji/kj-2017-montreal-charlevoix-results.html", u"575,00 $", 575, "CAD",
      "2026-04-02T00:00:00Z", 20, 20 },
    // Dates only in the embedded state, which rows cannot be matched against.
    { "kijiji/kj-2026-vancouver-apartments-results.html", u"$2,450.00", 2450, "CAD", nullptr, 40,
      0 },
    { "craigslist/cl-2012-sfbay-vac-listing.html", nullptr, -1, "", "2012-10-29T18:19:00Z", -1,
      -1 },
    { "craigslist/cl-2012-toronto-apa-listing-table.html", nullptr, -1, "", "2012-03-05T17:22:00Z",
      -1, -1 },
    { "craigslist/cl-2015-06-sfbay-eby-apa-listing.html", u"$3500", 3500, "",
      "2015-06-11T02:37:21Z", -1, -1 },
    { "craigslist/cl-2016-bend-snw-listing.html", u"$1200", 1200, "", "2016-09-08T00:57:55Z", -1,
      -1 },
    { "craigslist/cl-2022-seattle-tac-pts-listing-nophoto.html", nullptr, -1, "",
      "2022-10-21T13:58:19Z", -1, -1 },
    { "craigslist/cl-new-milwaukee-apa-listing.html", u"$1,325", 1325, "", "2026-05-24T13:45:51Z",
      -1, -1 },
    { "craigslist/cl-old-losangeles-job-listing-2017.html", nullptr, -1, "", "2017-12-21T03:39:39Z",
      -1, -1 },
    { "kijiji/kj-2012-toronto-apt-listing-1.html", u"$625.00", 625, "CAD", "2012-03-08T00:00:00Z",
      -1, -1 },
    { "kijiji/kj-2012-toronto-apt-listing-nophoto.html", u"$800.00", 800, "CAD",
      "2012-03-06T00:00:00Z", -1, -1 },
    { "kijiji/kj-2017-montreal-room-listing.html", u"$575.00", 575, "CAD", "2017-03-25T00:00:00Z",
      -1, -1 },
    // The posted date only in the page's embedded state (__NEXT_DATA__).
    { "kijiji/kj-2026-listing-01.html", u"$2,010", 2010, "CAD", "2026-03-16T13:29:54Z", -1, -1 },
};

} // namespace SavedPageTruth
