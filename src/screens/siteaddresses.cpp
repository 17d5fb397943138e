#include "screens/siteaddresses.h"

namespace {

QString demoPage;

} // namespace

namespace SiteAddresses {

QString craigslist()
{
    return demoPage.isEmpty() ? QStringLiteral("https://vancouver.craigslist.org/") : demoPage;
}

QString kijiji()
{
    return demoPage.isEmpty() ? QStringLiteral("https://www.kijiji.ca/") : demoPage;
}

QString ebay()
{
    return demoPage.isEmpty() ? QStringLiteral("https://www.ebayclassifieds.com/") : demoPage;
}

QString backpage()
{
    return demoPage.isEmpty() ? QStringLiteral("https://www.backpage.com/") : demoPage;
}

QString defaultStartPage()
{
    return craigslist();
}

void useDemoSite(const QUrl &demoSearchPage)
{
    demoPage = demoSearchPage.toString(QUrl::FullyEncoded);
}

} // namespace SiteAddresses
