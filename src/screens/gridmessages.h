#pragma once

#include <QString>

class QWidget;
class ZestoScrapeSetting;

// What the browser screen tells the user in alerts: a page that could not be had or holds no
// listings, an address that cannot be opened, a saved rule set, and (once per grid) a site that
// limits requests. Each is an alert with one Ok button over the screen.
class GridMessages final
{
public:
    explicit GridMessages(QWidget *host)
        : m_host(host)
    {
    }

    void show(const QString &title, const QString &message) const;

    void badAddress(const QString &address) const;
    void fetchFailed(const QString &address, const QString &reason) const;
    // healthLine: which rules read the page and what their link rule found.
    void noListings(const QString &healthLine) const;
    // currentPage: where the browser is, to say whether Zesto works there with these rules.
    void ruleSetSaved(const ZestoScrapeSetting &rules, const QString &currentPage) const;

    // A new grid: the site's refusals are told again.
    void startGrid();
    // The site refused a listing page. Told once per grid, and not while loading is shown:
    // loadingClosed() tells it then.
    void siteRefused(bool loadingShown);
    void loadingClosed();

private:
    QWidget *m_host;
    bool m_refusalTold = false;
    bool m_refusalPending = false;
};
