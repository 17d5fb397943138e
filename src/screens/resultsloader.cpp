#include "screens/resultsloader.h"

#include "platform/hostvetting.h"
#include "platform/httpclient.h"
#include "platform/mainqueue.h"
#include "saved/zestofavorite.h"
#include "scrape/resultspage.h"
#include "scrape/rulehealth.h"
#include "ui/alertview.h"
#include "ui/viewtag.h"

#include <QProgressBar>
#include <QUrl>

ResultsLoader::ResultsLoader(ParsedLinkModified *parent, AlertViewDelegate *alertDelegate,
                             QWidget *host)
    : QObject(host)
    , m_parent(parent)
    , m_alertDelegate(alertDelegate)
    , m_host(host)
{
}

ResultsLoader::~ResultsLoader()
{
    abandonFetch();
    releaseHeld();
    if (m_extractor)
        m_extractor->stop();
    dismissLoading();
}

void ResultsLoader::fetch(const QString &url)
{
    abandonFetch();
    m_receivedData.clear();
    m_scraped.reset();
    const QUrl address(url, QUrl::StrictMode);
    if (!address.isValid() || address.host().isEmpty()) {
        MainQueue::post(this,
                        [this] { emit failed(tr("This is not the address of a web page.")); });
        return;
    }
    m_pageFetch = HttpClient::instance().get(address, this, [this, url](const HttpResult &result) {
        m_pageFetch.reset();
        if (!result.ok()) {
            emit failed(result.error);
            return;
        }
        if (!result.isSuccessStatus()) {
            emit failed(tr("The site answered with HTTP status %1.").arg(result.statusCode));
            return;
        }
        m_receivedData = result.body.isNull() ? QByteArray("") : result.body;
        // The page's listings may lead to local addresses only when it is on one itself.
        const int generation = m_generation;
        HostVetting::locate(result.finalUrl, this, [this, url, generation](bool local) {
            if (generation == m_generation)
                scrapeInBackground(url, AddressPolicy::reachFor(local));
        });
    });
}

void ResultsLoader::scrapeInBackground(const QString &url, AddressPolicy::Reach reach)
{
    // One parse for the page's rules, on the pool; the grid is built from it on the GUI thread.
    const int generation = ++m_generation;
    MainQueue::runInBackground([self = QPointer<ResultsLoader>(this), generation, url, reach,
                                data = m_receivedData,
                                rules = ZestoScrapeSetting::settingsForUrl(url)] {
        const TFHpple document = TFHpple::hppleWithHTMLData(data);
        Scraped scraped{ url, ResultsPage::scrape(document, url, rules, reach), {} };
        if (scraped.page.noLinkNodes || scraped.page.links.isEmpty()) {
            scraped.health
                = RuleHealth::check(document, url, RuleHealth::PageKind::Results, rules, reach);
        }
        MainQueue::post(self, [self, generation, scraped] {
            if (self && generation == self->m_generation)
                self->vetListings(scraped, generation);
        });
    });
}

void ResultsLoader::vetListings(Scraped scraped, int generation)
{
    QStringList urls;
    for (const ResultsPage::Link &link : std::as_const(scraped.page.links))
        urls.append(link.url);
    HostVetting::vet(
        urls, scraped.page.reach, this,
        [this, scraped, generation](const QList<AddressPolicy::Refusal> &refused) mutable {
            if (generation != m_generation)
                return;
            scraped.page.drop(refused);
            // A page whose every listing link is refused has, for the user, no
            // listings: the browser says why.
            if (scraped.page.links.isEmpty() && !scraped.page.refused.isEmpty()) {
                scraped.page.noLinkNodes = true;
                if (!scraped.health) {
                    scraped.health = RuleHealth::check(
                        m_receivedData, scraped.url, RuleHealth::PageKind::Results,
                        ZestoScrapeSetting::settingsForUrl(scraped.url), scraped.page.reach);
                }
                scraped.health->addRefusals(u"link", refused);
            }
            m_scraped = scraped;
            emit pageReceived();
        });
}

QString ResultsLoader::healthLine(const QString &url) const
{
    if (m_scraped && m_scraped->url == url && m_scraped->health)
        return m_scraped->health->linkSummary();
    return RuleHealth::check(m_receivedData, url, RuleHealth::PageKind::Results,
                             ZestoScrapeSetting::settingsForUrl(url))
        .linkSummary();
}

void ResultsLoader::abandonFetch()
{
    ++m_generation;
    if (m_pageFetch) {
        m_pageFetch->abort();
        m_pageFetch.reset();
    }
}

LinkExtractor::Ptr ResultsLoader::makeExtractor(const QString &url, bool favorites)
{
    if (m_extractor)
        m_extractor->stop();
    if (favorites) {
        m_extractor.reset();
        m_extractor = LinkExtractor::initWithFavorites(ZestoFavorite::getFavorites(), m_parent);
    } else if (m_scraped && m_scraped->url == url) {
        m_extractor.reset();
        m_extractor = LinkExtractor::initWithPage(m_scraped->page, m_receivedData, m_parent, url);
    } else if (!m_receivedData.isNull()) {
        m_extractor.reset();
        m_extractor = LinkExtractor::initWithData(m_receivedData, m_parent, url);
    }
    return m_extractor;
}

void ResultsLoader::dropExtractor()
{
    if (m_extractor)
        m_extractor->stop();
    m_extractor.reset();
}

void ResultsLoader::holdAside()
{
    releaseHeld();
    if (m_extractor)
        m_extractor->setParent(nullptr);
    m_held = std::exchange(m_extractor, nullptr);
}

LinkExtractor::Ptr ResultsLoader::restoreHeld()
{
    if (!m_held)
        return m_extractor;
    dropExtractor();
    m_extractor = std::exchange(m_held, nullptr);
    m_extractor->setParent(m_parent);
    return m_extractor;
}

void ResultsLoader::releaseHeld()
{
    if (m_held)
        m_held->stop();
    m_held.reset();
}

void ResultsLoader::showLoading()
{
    if (m_loadingAlert)
        return;
    auto *alert = new AlertView(QStringLiteral(" "), QStringLiteral(" "), m_alertDelegate,
                                tr("Cancel"), {}, m_host);
    auto *bar = new QProgressBar;
    bar->setGeometry(50, 50, 200, 30);
    bar->setFixedSize(200, 30);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    setViewTag(bar, progressViewTag);
    alert->addSubview(bar);
    alert->setTitle(tr("Loading... %1%").arg(0));
    alert->setTag(loadingTag);
    m_loadingAlert = alert;
    alert->show();
}

void ResultsLoader::showProgress(int percent)
{
    if (!m_loadingAlert)
        return;
    if (auto *bar = qobject_cast<QProgressBar *>(m_loadingAlert->viewWithTag(progressViewTag)))
        bar->setValue(percent);
    m_loadingAlert->setTitle(tr("Loading... %1%").arg(percent));
}

void ResultsLoader::dismissLoading()
{
    if (m_loadingAlert)
        m_loadingAlert->dismissWithClickedButtonIndex(0, false);
    m_loadingAlert.clear();
}
