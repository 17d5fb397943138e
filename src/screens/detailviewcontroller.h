#pragma once

#include "ui/alertviewdelegate.h"
#include "ui/barbuttonitem.h"
#include "ui/viewcontroller.h"

#include <QPointer>

#include <memory>

class ParsedLink;
class QWebEngineView;

// A listing's own page, full screen, with two actions in the navigation bar: add the listing to
// the favorites or remove it from them, and send its address by e-mail.
class DetailViewController final : public ViewController, public AlertViewDelegate
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DetailViewController)

public:
    enum Tag { AddToFavorites = 10, RemoveFromFavorites = 11, RemoveConfirmation = 1002 };

    explicit DetailViewController(QWidget *parent = nullptr);
    ~DetailViewController() override;

    std::shared_ptr<ParsedLink> parsedLink() const { return m_parsedLink.lock(); }
    void setParsedLink(const std::shared_ptr<ParsedLink> &parsedLink) { m_parsedLink = parsedLink; }
    QWebEngineView *webview() const { return m_webview; }
    BarButtonItem *btnAddRemoveFavorites() const { return m_btnAddRemoveFavorites; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void createUIBarButtonItems();
    void addedToFavorites();
    void removedFromFavorites();
    void addRemoveClicked();
    void alertViewClickedButtonAtIndex(AlertView *alertView, int buttonIndex) override;
    void compose();

    // The e-mail body for a listing's address.
    static QString mailBody(const QString &url);

private:
    // The price and the posted date, as the strip above the page shows them; empty: no strip.
    QString factsText() const;
    // Buttons that open each posting of a reposted listing; none when it was posted once.
    QWidget *postingsRow();
    static constexpr int maxPostingsShown = 6;
    void loadPage();

    QWebEngineView *m_webview = nullptr;
    std::weak_ptr<ParsedLink> m_parsedLink;
    QPointer<BarButtonItem> m_btnAddRemoveFavorites;
};
