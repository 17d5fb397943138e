#pragma once

#include <QString>
#include <QUrl>

// The home pages of the classified sites the home screen offers, and the browser's default
// start page. A demo run points all of them at the demo site.
namespace SiteAddresses {

QString craigslist();
QString kijiji();
QString ebay();
QString backpage();
// The page the browser opens when it is given no address: a regional Craigslist home page.
QString defaultStartPage();

// The home page of the first site named in title: "craigslist", "kijiji", "ebay" or
// "backpage", in that order, in any letter case. Null when it names none.
QString forTitle(const QString &title);

// Points every address at the demo site's results page.
void useDemoSite(const QUrl &demoSearchPage);

} // namespace SiteAddresses
