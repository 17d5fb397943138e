#include "screens/bookmarkoffer.h"

#include "saved/zestobookmark.h"
#include "ui/alertview.h"

#include <QCoreApplication>
#include <QLineEdit>

#include <QSet>

#include <algorithm>

namespace {

// Pages whose offer the user declined: not offered again while Listoro runs, whatever screen.
QSet<QString> &declinedPages()
{
    static QSet<QString> pages;
    return pages;
}

} // namespace

BookmarkOffer::BookmarkOffer(QWidget *host, AlertViewDelegate *delegate)
    : m_host(host)
    , m_delegate(delegate)
{
}

void BookmarkOffer::offer(const QString &address, bool autozesto, const QString &favoritesAddress)
{
    // The favorites grid has no address to keep, whatever way led to it.
    if (address == favoritesAddress)
        return;
    const QList<ZestoBookmark> bookmarks = ZestoBookmark::getBookmarks();
    if (std::any_of(bookmarks.cbegin(), bookmarks.cend(),
                    [&address](const ZestoBookmark &b) { return b.url() == address; })) {
        return;
    }
    if (m_alert || autozesto || m_asked || declinedPages().contains(address))
        return;
    m_offeredAddress = address;
    m_alert = AlertView::confirmation(
        QCoreApplication::translate("BookmarkOffer", "Bookmark page?"),
        QCoreApplication::translate("BookmarkOffer",
                                    "Would you like to bookmark this page for future use?"),
        offerTag, m_delegate, m_host);
    m_asked = true;
    m_alert->show();
}

void BookmarkOffer::answerOffer(int buttonIndex)
{
    if (buttonIndex != 0) {
        declinedPages().insert(m_offeredAddress);
        return;
    }
    askName(QCoreApplication::translate("BookmarkOffer", "e.g. antique tables below $60"));
}

void BookmarkOffer::askName(const QString &message)
{
    auto *prompt = new AlertView(m_host);
    prompt->setAlertViewStyle(AlertView::AlertViewStyle::PlainTextInput);
    prompt->setTitle(QCoreApplication::translate("BookmarkOffer", "Name your bookmark"));
    prompt->setMessage(message);
    prompt->addButtonWithTitle(QCoreApplication::translate("BookmarkOffer", "Save"));
    // A name is required now, so the prompt needs a way out without one.
    prompt->setCancelButtonIndex(
        prompt->addButtonWithTitle(QCoreApplication::translate("BookmarkOffer", "Cancel")));
    prompt->setDelegate(m_delegate);
    prompt->setTag(nameTag);
    prompt->show();
}

void BookmarkOffer::answerName(AlertView *prompt, int buttonIndex, const QString &address)
{
    if (buttonIndex != 0)
        return;
    const QLineEdit *field = prompt->textFieldAtIndex(0);
    const QString name = field ? field->text().trimmed() : QString();
    if (name.isEmpty()) {
        askName(QCoreApplication::translate(
            "BookmarkOffer", "A bookmark needs a name, e.g. antique tables below $60"));
        return;
    }
    ZestoBookmark bookmark;
    bookmark.setTitle(name);
    bookmark.setUrl(address);
    bookmark.addToBookmarks();
}
