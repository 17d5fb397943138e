#include "screens/gridmessages.h"

#include "scrape/zestoscrapesetting.h"
#include "ui/alertview.h"

#include <QCoreApplication>
#include <QWidget>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("GridMessages", text);
}

QString savedRulesText(const ZestoScrapeSetting &rules, const QString &currentPage)
{
    // Zesto is worth inviting only where it can work: on a results page these rules now read.
    const std::optional<ZestoScrapeSetting> inForce
        = ZestoScrapeSetting::settingsForUrl(currentPage);
    const bool zestoWorksHere
        = !rules.link().isEmpty() && inForce && inForce->name() == rules.name();
    if (zestoWorksHere) {
        return tr("“%1” now reads the pages at %2. Press Zesto to see the grid it makes; the Rule "
                  "sets screen of the home screen lists it.")
            .arg(rules.name(), rules.regex());
    }
    if (rules.link().isEmpty()) {
        return tr("“%1” now reads the listing pages at %2: their titles and photos fill the tiles "
                  "when Zesto shows a page of search results. The Rule sets screen of the home "
                  "screen lists it.")
            .arg(rules.name(), rules.regex());
    }
    return tr("“%1” now reads the pages at %2; Zesto works on a page of search results among them. "
              "The Rule sets screen of the home screen lists it.")
        .arg(rules.name(), rules.regex());
}

} // namespace

void GridMessages::show(const QString &title, const QString &message) const
{
    auto *alert = new AlertView(m_host);
    alert->setTitle(title);
    alert->setMessage(message);
    alert->addButtonWithTitle(tr("Ok"));
    alert->show();
}

void GridMessages::badAddress(const QString &address) const
{
    show(tr("This address cannot be opened"),
         tr("“%1” is not a web address. Addresses start with http:// or https://.").arg(address));
}

void GridMessages::fetchFailed(const QString &address, const QString &reason) const
{
    show(tr("The page could not be loaded"),
         tr("Listoro could not fetch %1 again to find its listings.\n%2").arg(address, reason));
}

void GridMessages::noListings(const QString &healthLine) const
{
    show(tr("You must be on a page that contains search results or a list of links prior to "
            "clicking the Zesto button"),
         healthLine);
}

void GridMessages::ruleSetSaved(const ZestoScrapeSetting &rules, const QString &currentPage) const
{
    show(tr("Rule set saved"), savedRulesText(rules, currentPage));
}

void GridMessages::startGrid()
{
    m_refusalTold = false;
    m_refusalPending = false;
}

void GridMessages::siteRefused(bool loadingShown)
{
    if (m_refusalTold)
        return;
    // Said once the loading alert has closed, so the two never stand over each other.
    if (loadingShown) {
        m_refusalPending = true;
        return;
    }
    m_refusalTold = true;
    m_refusalPending = false;
    show(tr("The site is limiting requests; some listings could not be loaded"),
         tr("The site refused some listing pages. They keep the title of the results page; try "
            "again in a while."));
}

void GridMessages::loadingClosed()
{
    if (m_refusalPending)
        siteRefused(false);
}
