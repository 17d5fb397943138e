#pragma once

#include <QPointer>
#include <QString>

class AlertView;
class AlertViewDelegate;
class QWidget;

// The offer to bookmark a results page once its grid has opened, and the prompt that names the
// bookmark. A screen offers once at most, never for a page already bookmarked or declined
// since Listoro started, never for the favorites grid. The answers come through the screen's alert
// dispatcher.
class BookmarkOffer
{
public:
    // The alerts' tags.
    static constexpr int offerTag = 0;
    static constexpr int nameTag = 2;

    BookmarkOffer(QWidget *host, AlertViewDelegate *delegate);

    // Offers to keep address, unless an offer stands or was made, automatic grid mode is on, or
    // address is the favorites grid or already bookmarked.
    void offer(const QString &address, bool autozesto, const QString &favoritesAddress);
    bool asked() const { return m_asked; }
    AlertView *alert() const { return m_alert; }

    // "Yes" (index 0) asks for a name.
    void answerOffer(int buttonIndex);
    // "Save" keeps address under the name typed; a blank name is refused and asked again.
    // "Cancel" keeps nothing.
    void answerName(AlertView *prompt, int buttonIndex, const QString &address);
    // The offer was answered: another may stand later only on another screen.
    void offerClosed() { m_alert.clear(); }

private:
    void askName(const QString &message);

    QWidget *m_host;
    AlertViewDelegate *m_delegate;
    QPointer<AlertView> m_alert;
    QString m_offeredAddress;
    bool m_asked = false;
};
