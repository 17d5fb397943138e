#include "screens/detailviewcontroller.h"

#include "grid/listingage.h"
#include "platform/url.h"
#include "saved/seenlistings.h"
#include "saved/zestofavorite.h"
#include "scrape/listingaddress.h"
#include "scrape/parsedlink.h"
#include "screens/mailcomposer.h"
#include "screens/removefavoritealert.h"
#include "ui/alertview.h"
#include "ui/barbuttonitem.h"
#include "ui/navigationcontroller.h"
#include "ui/navigationitem.h"
#include "ui/untrustedtext.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <QWebEngineView>

DetailViewController::DetailViewController(QWidget *parent)
    : ViewController(parent)
{
    setObjectName(QStringLiteral("detailViewController"));
}

DetailViewController::~DetailViewController() = default;

void DetailViewController::viewDidLoad()
{
    // Back to the grid by Escape or Alt+Left, as the bar's back button does.
    for (const QKeySequence &keys :
         { QKeySequence(Qt::Key_Escape), QKeySequence(Qt::ALT | Qt::Key_Left) }) {
        auto *back = new QShortcut(keys, this);
        back->setContext(Qt::WidgetWithChildrenShortcut);
        connect(back, &QShortcut::activated, this, [this] {
            if (AlertView::visibleAlerts().isEmpty() && navigationController())
                navigationController()->popViewControllerAnimated(true);
        });
    }
    // Ctrl+D keeps or drops the listing, as in a browser's bookmarks.
    auto *favorite = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_D), this);
    favorite->setContext(Qt::WidgetWithChildrenShortcut);
    connect(favorite, &QShortcut::activated, this, [this] {
        if (AlertView::visibleAlerts().isEmpty() && m_btnAddRemoveFavorites)
            addRemoveClicked();
    });
    m_webview = new QWebEngineView(this);
    m_webview->setObjectName(QStringLiteral("webview"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (const QString facts = factsText(); !facts.isEmpty()) {
        auto *strip = new QLabel(this);
        strip->setObjectName(QStringLiteral("detailFacts"));
        UntrustedText::makePlain(strip);
        strip->setText(facts);
        strip->setWordWrap(true);
        strip->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
        layout->addWidget(strip);
    }
    if (QWidget *postings = postingsRow())
        layout->addWidget(postings);
    layout->addWidget(m_webview, 1);
    if (const auto link = parsedLink()) {
        // Opened is seen: its tile is dimmed from now on, and "Hide seen" hides it.
        SeenListings::instance().add(ListingAddress::key(link->url()));
        navigationItem()->setTitle(link->title().simplified());
        setWindowTitle(link->title().simplified());
    }
    loadPage();
}

QString DetailViewController::factsText() const
{
    const auto link = parsedLink();
    if (!link)
        return {};
    QStringList facts;
    if (!link->price().isNull())
        facts.append(link->price().text());
    if (link->posted().isValid()) {
        facts.append(
            tr("Posted %1 (%2)")
                .arg(ListingAge::fullText(link->posted()),
                     ListingAge::shortText(link->posted(), QDateTime::currentDateTimeUtc())));
    } else if (!link->date().trimmed().isEmpty()) {
        facts.append(tr("Posted %1").arg(link->date().simplified()));
    }
    if (!link->otherPostings().isEmpty() && link->firstPosted().isValid()
        && link->firstPosted() < link->posted()) {
        facts.append(
            tr("Reposted: first posted %1").arg(ListingAge::fullText(link->firstPosted())));
    }
    return facts.join(QStringLiteral("  \u00B7  "));
}

QWidget *DetailViewController::postingsRow()
{
    const auto link = parsedLink();
    if (!link || link->otherPostings().isEmpty())
        return nullptr;
    auto *row = new QWidget(this);
    row->setObjectName(QStringLiteral("detailPostings"));
    row->setAttribute(Qt::WA_StyledBackground);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(16, 6, 16, 6);
    layout->addWidget(new QLabel(tr("Posted more than once:"), row));
    // Each posting of the offer opens in the page below; the first is the one the tile showed.
    QList<ParsedLink::OtherPosting> postings{ { link->url(), link->posted(), link->date() } };
    postings.append(link->otherPostings().mid(0, maxPostingsShown - 1));
    for (const ParsedLink::OtherPosting &posting : std::as_const(postings)) {
        const QUrl url(posting.url, QUrl::StrictMode);
        if (!url.isValid() || !Url::isFetchableScheme(url.scheme()))
            continue;
        const QString when = ListingAge::whenText(posting.posted, QDateTime::currentDateTimeUtc());
        auto *button = new QPushButton(when.isEmpty() ? tr("Posting %1").arg(layout->count())
                                                      : tr("Posted %1").arg(when),
                                       row);
        button->setObjectName(QStringLiteral("postingButton"));
        button->setCheckable(true);
        button->setAutoExclusive(true);
        button->setChecked(posting.url == link->url());
        UntrustedText::setToolTip(button, posting.url);
        button->setAccessibleDescription(tr("Opens this posting of the listing below"));
        connect(button, &QPushButton::clicked, this, [this, url] { m_webview->load(url); });
        layout->addWidget(button);
    }
    layout->addStretch(1);
    return row;
}

void DetailViewController::loadPage()
{
    const auto link = parsedLink();
    if (!link || link->url().isNull())
        return;
    const QUrl url(link->url(), QUrl::StrictMode);
    if (url.isValid())
        m_webview->load(url);
}

void DetailViewController::viewWillAppear(bool animated)
{
    Q_UNUSED(animated)
    createUIBarButtonItems();
}

void DetailViewController::createUIBarButtonItems()
{
    if (!navigationItem()->rightBarButtonItems().isEmpty())
        return;
    auto *email = new BarButtonItem(BarButtonItem::SystemItem::Action);
    connect(email, &BarButtonItem::triggered, this, &DetailViewController::compose);

    auto *toggle = new BarButtonItem(QString(), BarButtonItem::Style::Plain);
    connect(toggle, &BarButtonItem::triggered, this, &DetailViewController::addRemoveClicked);
    m_btnAddRemoveFavorites = toggle;
    const auto link = parsedLink();
    if (link && ZestoFavorite::isFavorited(link->url()))
        addedToFavorites();
    else
        removedFromFavorites();

    QList<BarButtonItem *> items{ toggle };
    if (MailComposer::canSendMail()) {
        email->setTitle(tr("Email"));
        items.append(email);
    } else {
        delete email;
    }
    navigationItem()->setRightBarButtonItem(nullptr);
    navigationItem()->setRightBarButtonItems(items);
}

void DetailViewController::addedToFavorites()
{
    m_btnAddRemoveFavorites->setTitle(tr("Remove favorite"));
    m_btnAddRemoveFavorites->setTintColor(Qt::red);
    m_btnAddRemoveFavorites->setTag(RemoveFromFavorites);
    m_btnAddRemoveFavorites->setToolTip(tr("Remove this listing from your favorites (Ctrl+D)"));
}

void DetailViewController::removedFromFavorites()
{
    m_btnAddRemoveFavorites->setTintColor(Qt::blue);
    m_btnAddRemoveFavorites->setTitle(tr("Add to favorites"));
    m_btnAddRemoveFavorites->setTag(AddToFavorites);
    m_btnAddRemoveFavorites->setToolTip(tr("Keep this listing in your favorites (Ctrl+D)"));
}

void DetailViewController::addRemoveClicked()
{
    BarButtonItem *toggle = m_btnAddRemoveFavorites;
    if (!toggle)
        return;
    toggle->setEnabled(false);
    const auto link = parsedLink();
    if (toggle->tag() == AddToFavorites) {
        ZestoFavorite favorite;
        favorite.setTitle(link ? link->title() : QString());
        favorite.setUrl(link ? link->url() : QString());
        favorite.addToFavorites();
        addedToFavorites();
        toggle->setEnabled(true);
        return;
    }
    RemoveFavoriteAlert::show(RemoveConfirmation, this, this);
}

void DetailViewController::alertViewClickedButtonAtIndex(AlertView *alertView, int buttonIndex)
{
    if (alertView->tag() != RemoveConfirmation)
        return;
    if (buttonIndex == 0) {
        const auto link = parsedLink();
        ZestoFavorite::removeFavoriteWithUrl(link ? link->url() : QString());
        removedFromFavorites();
    }
    if (m_btnAddRemoveFavorites)
        m_btnAddRemoveFavorites->setEnabled(true);
}

QString DetailViewController::mailBody(const QString &url)
{
    return QStringLiteral("Check out this listing:\n%1\n\nSent from my iPad using Listoro")
        .arg(url);
}

void DetailViewController::compose()
{
    const auto link = parsedLink();
    MailComposer::compose(QString(), mailBody(link ? link->url() : QString()));
}
