#pragma once

#include "scrape/rulederivation.h"
#include "scrape/zestoscrapesetting.h"
#include "screens/teachbar.h"
#include "screens/teachpagebridge.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

class AlertView;
class BrowserPane;
class HttpFetch;

// Teach mode of the browser screen: the user points at a page's parts and Listoro derives the
// rules that read them. On a results page: one listing's link (a second refines the rule, a
// highlighted element that is no listing is left out), then the next-page link or "No next
// page". On a listing page: the title, then one photo (or "No photos"). The page as Zesto would
// fetch it is read again, so the rules are derived from what they will read; the elements they
// select are outlined in the page. The rule set is saved among the user's own, under the name
// and address pattern the user may edit.
class TeachSession final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TeachSession)

public:
    enum class Step { Off, Reading, Kind, ListingLinks, NextLink, Title, Photo, Naming };

    explicit TeachSession(BrowserPane *pane, QObject *parent = nullptr);
    ~TeachSession() override;

    // Starts on the page the pane shows, from url.
    void start(const QString &url);
    void stop();
    // Stops, after asking first when the user has taught something on this page already.
    void requestStop();
    // Something was taught on this page: a listing link, a title, a rule derived.
    bool hasProgress() const;
    bool isActive() const { return m_step != Step::Off; }
    Step step() const { return m_step; }
    TeachBar *bar() const { return m_bar; }
    // The rule set derived so far.
    std::optional<ZestoScrapeSetting> draft() const { return m_draft; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    void stopped();
    void saved(const ZestoScrapeSetting &rules);

private:
    void focusPage();
    void askKind();
    void askListingLinks();
    void askNextLink();
    void askTitle();
    void askPhoto();
    void askName();
    void onClick(const TeachPageBridge::Click &click);
    // Runs work on the background pool and hands its answer to done on the GUI thread, unless
    // teach mode ended or another derivation began meanwhile.
    void derive(std::function<RuleDerivation::Result()> work,
                std::function<void(const RuleDerivation::Result &)> done);
    void deriveResults();
    void deriveListing();
    void deriveNext(const RuleDerivation::Example &next);
    void showResults(const RuleDerivation::Result &derived);
    void showListing(const RuleDerivation::Result &derived);
    void showNext(const RuleDerivation::Result &derived);
    void showDraft(const QString &query, const QString &summary);
    void save();
    void problem(const QString &text);

    QPointer<BrowserPane> m_pane;
    QPointer<TeachBar> m_bar;
    TeachPageBridge *m_bridge;
    std::shared_ptr<HttpFetch> m_fetch;
    Step m_step = Step::Off;
    QString m_url;
    QByteArray m_page;
    bool m_results = true;
    QList<RuleDerivation::Example> m_examples;
    QList<RuleDerivation::Example> m_exclusions;
    RuleDerivation::Example m_titleExample;
    RuleDerivation::Example m_photoExample;
    std::optional<ZestoScrapeSetting> m_draft;
    quint64 m_derivation = 0;
    QPointer<AlertView> m_leaving;
};
