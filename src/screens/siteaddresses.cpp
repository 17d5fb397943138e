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

QString forTitle(const QString &title)
{
    if (title.isNull())
        return {};
    struct Site
    {
        QLatin1StringView name;
        QString (*address)();
    };
    static constexpr Site sites[] = {
        { QLatin1StringView("craigslist"), &craigslist },
        { QLatin1StringView("kijiji"), &kijiji },
        { QLatin1StringView("ebay"), &ebay },
        { QLatin1StringView("backpage"), &backpage },
    };
    for (const Site &site : sites) {
        if (title.contains(site.name, Qt::CaseInsensitive))
            return site.address();
    }
    return {};
}

} // namespace SiteAddresses
