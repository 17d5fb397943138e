#include "screens/teachsession.h"

#include "platform/httpclient.h"
#include "platform/mainqueue.h"
#include "scrape/rulederivation.h"
#include "scrape/userrulesets.h"
#include "screens/browserpane.h"
#include "screens/teachbar.h"
#include "ui/alertview.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QUrl>
#include <QWebEngineView>

TeachSession::TeachSession(BrowserPane *pane, QObject *parent)
    : QObject(parent)
    , m_pane(pane)
    , m_bridge(new TeachPageBridge(pane->webview(), this))
{
    connect(m_bridge, &TeachPageBridge::clicked, this, &TeachSession::onClick);
    // A page that loads anew has no teach script any more.
    connect(pane->webview(), &QWebEngineView::loadStarted, this, [this] {
        if (isActive() && m_step != Step::Reading)
            stop();
    });
}

TeachSession::~TeachSession()
{
    if (m_fetch)
        m_fetch->abort();
}

void TeachSession::start(const QString &url)
{
    if (isActive() || !m_pane)
        return;
    m_url = url;
    m_page.clear();
    m_examples.clear();
    m_exclusions.clear();
    m_titleExample = {};
    m_photoExample = {};
    m_draft.reset();
    if (!m_bar) {
        m_bar = new TeachBar(m_pane);
        connect(m_bar, &TeachBar::stopRequested, this, &TeachSession::requestStop);
        m_pane->insertBar(m_bar);
    }
    m_bar->show();
    // The page takes Escape for itself once it has the keyboard: teach mode hears it first.
    qApp->installEventFilter(this);
    m_bar->showNaming(false);
    m_bar->setActions({});
    m_bar->setInstruction(tr("Reading the page…"));
    m_bar->setStatus({});
    m_step = Step::Reading;

    const QUrl address(url, QUrl::StrictMode);
    if (!address.isValid() || address.host().isEmpty()) {
        problem(tr("Teach mode needs a web page: open one first."));
        return;
    }
    // The rules will read the page as Zesto fetches it, not as the browser's scripts left it.
    m_fetch = HttpClient::instance().get(address, this, [this](const HttpResult &result) {
        m_fetch.reset();
        if (!result.ok() || !result.isSuccessStatus()) {
            problem(
                tr("The page could not be read again: %1")
                    .arg(result.ok() ? tr("HTTP status %1").arg(result.statusCode) : result.error));
            return;
        }
        m_page = result.body;
        m_bridge->start();
        askKind();
    });
}

void TeachSession::stop()
{
    if (!isActive())
        return;
    if (m_fetch) {
        m_fetch->abort();
        m_fetch.reset();
    }
    m_bridge->stop();
    qApp->removeEventFilter(this);
    ++m_derivation;
    m_step = Step::Off;
    if (m_bar)
        m_bar->hide();
    emit stopped();
}

void TeachSession::focusPage()
{
    // Clicks pick the page's parts: the keyboard stays with the page, never in the address
    // field, whose selected text a key would replace.
    if (m_pane)
        m_pane->webview()->setFocus(Qt::OtherFocusReason);
}

bool TeachSession::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !isActive() || !m_pane)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    auto *widget = qobject_cast<QWidget *>(watched);
    if (key->key() != Qt::Key_Escape || key->modifiers() != Qt::NoModifier || !widget
        || !m_pane->webview()->isAncestorOf(widget) || !AlertView::visibleAlerts().isEmpty())
        return false;
    requestStop();
    return true;
}

bool TeachSession::hasProgress() const
{
    return isActive() && (!m_examples.isEmpty() || m_draft || !m_titleExample.name.isEmpty());
}

void TeachSession::requestStop()
{
    if (!hasProgress() || !m_pane) {
        stop();
        return;
    }
    // One question at a time: Escape pressed again answers the one on screen.
    if (m_leaving && AlertView::visibleAlerts().contains(m_leaving.data()))
        return;
    m_leaving = AlertView::confirmation(
        tr("Leave teach mode?"), tr("What you taught on this page is not saved and will be lost."),
        0, nullptr, m_pane->window());
    connect(m_leaving, &AlertView::clickedButtonAtIndex, this, [this](int index) {
        if (index == 0)
            stop();
    });
    m_leaving->show();
}

void TeachSession::problem(const QString &text)
{
    if (m_bar)
        m_bar->setStatus(text, true);
}

void TeachSession::askKind()
{
    m_step = Step::Kind;
    m_bar->setInstruction(tr("Teach Listoro this page. What does it show?"));
    m_bar->setStatus(tr("Clicks in the page pick its parts now; they follow no links."));
    m_bar->setActions({
        { QStringLiteral("teachResults"), tr("A list of listings"),
          [this] {
              m_results = true;
              askListingLinks();
          } },
        { QStringLiteral("teachListing"), tr("One listing"),
          [this] {
              m_results = false;
              askTitle();
          } },
    });
}

void TeachSession::askListingLinks()
{
    focusPage();
    m_step = Step::ListingLinks;
    m_bar->setInstruction(tr("Click the link of one listing."));
    m_bar->setStatus({});
    m_bar->setActions({});
}

void TeachSession::askNextLink()
{
    focusPage();
    m_step = Step::NextLink;
    m_bar->setInstruction(tr("Click the link to the next page of results."));
    m_bar->setStatus({});
    m_bar->setActions({
        { QStringLiteral("teachNoNext"), tr("No next page"),
          [this] {
              if (m_draft) {
                  m_draft->setNext({});
                  m_draft->setNext_extract({});
              }
              askName();
          } },
    });
}

void TeachSession::askTitle()
{
    focusPage();
    m_step = Step::Title;
    m_bar->setInstruction(tr("Click the listing's title."));
    m_bar->setStatus({});
    m_bar->setActions({});
}

void TeachSession::askPhoto()
{
    focusPage();
    m_step = Step::Photo;
    m_bar->setInstruction(tr("Click one photo of the listing."));
    m_bar->setActions({
        { QStringLiteral("teachNoPhotos"), tr("No photos"),
          [this] {
              m_photoExample = {};
              deriveListing();
          } },
    });
}

void TeachSession::askName()
{
    if (!m_draft)
        return;
    m_step = Step::Naming;
    const QString host = QUrl(m_url).host();
    m_bar->setInstruction(tr("Name the rule set and check the addresses it is for, then save."));
    m_bar->showNaming(true, m_results ? tr("%1 results").arg(host) : tr("%1 listings").arg(host),
                      m_draft->regex());
    m_bar->setActions({ { QStringLiteral("teachSave"), tr("Save rule set"), [this] {
                             save();
                         } } });
}

void TeachSession::onClick(const TeachPageBridge::Click &click)
{
    switch (m_step) {
    case Step::ListingLinks:
        if (click.href.isEmpty()) {
            problem(tr("That is not a link. Click the link that opens a listing."));
            return;
        }
        if (click.highlighted && !m_examples.isEmpty()) {
            // A highlighted element that is no listing is left out, by its address: a featured
            // box may repeat a listing's title.
            m_exclusions.append(RuleDerivation::Example{ click.href, click.linkPath });
        } else if (const RuleDerivation::Example example{ click.linkText, click.linkPath };
                   !m_examples.contains(example)) {
            m_examples.append(example);
        }
        deriveResults();
        return;
    case Step::NextLink:
        if (click.href.isEmpty()) {
            problem(tr("That is not a link. Click the link to the next page, or press No next "
                       "page."));
            return;
        }
        // By its address where it has one: "2" or "next" may be written on several links.
        deriveNext({ click.href.contains(u'/') ? click.href : click.linkText, click.linkPath });
        return;
    case Step::Title:
        if (click.text.isEmpty()) {
            problem(tr("That has no text. Click the listing's title."));
            return;
        }
        m_titleExample = { click.text, click.path };
        askPhoto();
        return;
    case Step::Photo:
        if (click.src.isEmpty()) {
            problem(tr("That is no photo. Click one photo, or press No photos."));
            return;
        }
        m_photoExample = { click.src, click.imagePath };
        deriveListing();
        return;
    case Step::Kind:
        problem(tr("First say what this page shows: press A list of listings or One listing."));
        return;
    case Step::Off:
    case Step::Reading:
    case Step::Naming:
        return;
    }
}

void TeachSession::derive(std::function<RuleDerivation::Result()> work,
                          std::function<void(const RuleDerivation::Result &)> done)
{
    const quint64 ticket = ++m_derivation;
    const Step step = m_step;
    m_bar->setStatus(tr("Working out the rule…"));
    MainQueue::runInBackground([self = QPointer<TeachSession>(this), ticket, step,
                                work = std::move(work), done = std::move(done)] {
        const RuleDerivation::Result derived = work();
        MainQueue::post([self, ticket, step, derived, done] {
            // A later click, a step the user moved on to or the end of teach mode made this
            // answer moot.
            if (self && self->m_derivation == ticket && self->m_step == step)
                done(derived);
        });
    });
}

void TeachSession::deriveResults()
{
    derive(
        [page = m_page, url = m_url, examples = m_examples, exclusions = m_exclusions] {
            return RuleDerivation::deriveResults(page, url, examples, exclusions);
        },
        [this](const RuleDerivation::Result &derived) { showResults(derived); });
}

void TeachSession::showResults(const RuleDerivation::Result &derived)
{
    if (!derived.error.isNull()) {
        problem(derived.error);
        if (!m_exclusions.isEmpty() && m_draft)
            m_exclusions.removeLast();
        else if (!m_examples.isEmpty())
            m_examples.removeLast();
        return;
    }
    m_draft = derived.rules;
    showDraft(derived.rules.link(),
              (derived.count == 1 ? tr("1 listing.") : tr("%1 listings.").arg(derived.count)) + u' '
                  + tr("Click another listing to refine the rule, or a highlighted element that "
                       "is no listing to leave it out."));
    m_bar->setActions({ { QStringLiteral("teachLinksDone"), tr("These are the listings"), [this] {
                             askNextLink();
                         } } });
}

void TeachSession::deriveNext(const RuleDerivation::Example &next)
{
    derive(
        [page = m_page, url = m_url, next] { return RuleDerivation::deriveNext(page, url, next); },
        [this](const RuleDerivation::Result &derived) { showNext(derived); });
}

void TeachSession::showNext(const RuleDerivation::Result &derived)
{
    if (!derived.error.isNull() || !m_draft) {
        problem(derived.error);
        return;
    }
    m_draft->setNext(derived.rules.next());
    m_draft->setNext_extract(derived.rules.next_extract());
    m_draft->setRegex(RuleDerivation::addressPattern(m_url, RuleDerivation::PageKind::Results,
                                                     derived.values.value(0)));
    m_bridge->mark(derived.rules.next(), QStringLiteral("chosen"));
    m_bar->setStatus(tr("The next page: %1").arg(derived.values.value(0)));
    askName();
}

void TeachSession::deriveListing()
{
    derive(
        [page = m_page, url = m_url, title = m_titleExample, photo = m_photoExample] {
            return RuleDerivation::deriveListing(page, url, title, photo,
                                                 photo.name.isEmpty()
                                                     ? RuleDerivation::Photos::None
                                                     : RuleDerivation::Photos::FindThem);
        },
        [this](const RuleDerivation::Result &derived) { showListing(derived); });
}

void TeachSession::showListing(const RuleDerivation::Result &derived)
{
    if (!derived.error.isNull()) {
        problem(derived.error);
        m_draft.reset();
        return;
    }
    m_draft = derived.rules;
    m_bridge->clear();
    m_bridge->mark(derived.rules.title(), QStringLiteral("chosen"));
    for (const QString &photos :
         { derived.rules.innerImgsWithHref(), derived.rules.innerImgsWithSrc() }) {
        if (!photos.isNull())
            m_bridge->mark(photos, QStringLiteral("match"));
    }
    const QString title = derived.values.value(0);
    m_bar->setStatus(derived.count == 0 ? tr("Title “%1” and no photos.").arg(title)
                         : derived.count == 1
                         ? tr("Title “%1” and 1 photo.").arg(title)
                         : tr("Title “%1” and %2 photos.").arg(title).arg(derived.count));
    askName();
}

void TeachSession::showDraft(const QString &query, const QString &summary)
{
    m_bridge->clear();
    m_bridge->mark(query, QStringLiteral("match"));
    m_bar->setStatus(summary);
}

void TeachSession::save()
{
    if (!m_draft)
        return;
    ZestoScrapeSetting rules = *m_draft;
    rules.setName(m_bar->name());
    rules.setRegex(m_bar->pattern());
    bool written = false;
    if (const QString problemText = UserRuleSets::save(rules, &written); !problemText.isNull()) {
        problem(problemText);
        return;
    }
    m_bar->setStatus(written
                         ? tr("“%1” is saved: Zesto reads these pages with it.").arg(rules.name())
                         : tr("“%1” is kept only until Listoro quits: the settings file "
                              "cannot be written.")
                               .arg(rules.name()));
    emit saved(rules);
    stop();
}
