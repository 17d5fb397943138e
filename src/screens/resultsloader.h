#pragma once

#include "scrape/linkextractor.h"
#include "scrape/resultspage.h"
#include "scrape/rulehealth.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>
#include <optional>

class AlertView;
class AlertViewDelegate;
class HttpFetch;
class ParsedLinkModified;
class QWidget;

// What brings a grid's listings: the results page fetched again (the browser's copy is not
// used), the link extractor made of it or of the stored favorites, and the loading alert with
// its progress bar, shown until the grid opens.
class ResultsLoader final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ResultsLoader)

public:
    // The tag of the loading alert and of its progress bar.
    static constexpr int loadingTag = 101;
    static constexpr int progressViewTag = 10;

    // parent hears of the extractor's listings; alertDelegate answers the loading alert.
    ResultsLoader(ParsedLinkModified *parent, AlertViewDelegate *alertDelegate, QWidget *host);
    ~ResultsLoader() override;

    // Fetches url and scrapes it off the GUI thread; pageReceived() or failed() follows, unless
    // it is abandoned first.
    void fetch(const QString &url);
    void abandonFetch();
    QByteArray receivedData() const { return m_receivedData; }
    // What the rules did on the page received from url: a line for the user (RuleHealth).
    QString healthLine(const QString &url) const;

    // A new extractor for the stored favorites, or for the page received from url; the previous
    // one is stopped first and stays when there is neither.
    LinkExtractor::Ptr makeExtractor(const QString &url, bool favorites);
    LinkExtractor::Ptr extractor() const { return m_extractor; }
    void dropExtractor();
    // The extractor waits aside, heard by nobody, while another page loads; it is the
    // extractor again if that load is given up, and is stopped once the new one is kept.
    void holdAside();
    LinkExtractor::Ptr restoreHeld();
    void releaseHeld();

    void showLoading();
    // Up to 90 percent the bar and the title follow; beyond, the grid opens instead.
    void showProgress(int percent);
    // Without telling the delegate.
    void dismissLoading();
    // The alert was answered and is gone.
    void forgetLoading() { m_loadingAlert.clear(); }
    AlertView *loadingAlert() const { return m_loadingAlert; }

signals:
    void pageReceived();
    void failed(const QString &reason);

private:
    struct Scraped
    {
        QString url;
        ResultsPage page;
        // Only for a page without listing links.
        std::optional<RuleHealth> health;
    };
    void scrapeInBackground(const QString &url, AddressPolicy::Reach reach);
    // Drops the listings whose hosts resolve to addresses out of reach, then tells.
    void vetListings(Scraped scraped, int generation);

    ParsedLinkModified *m_parent;
    AlertViewDelegate *m_alertDelegate;
    QWidget *m_host;
    std::shared_ptr<HttpFetch> m_pageFetch;
    QByteArray m_receivedData;
    std::optional<Scraped> m_scraped;
    // Results of a fetch abandoned or superseded are dropped.
    int m_generation = 0;
    LinkExtractor::Ptr m_extractor;
    LinkExtractor::Ptr m_held;
    QPointer<AlertView> m_loadingAlert;
};
