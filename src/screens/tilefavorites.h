#pragma once

#include <QPointer>

#include <memory>

class AlertViewDelegate;
class ParsedLink;
class QAbstractButton;
class QWidget;

// The favorite button of a grid's tiles: a press adds the listing to the favorites at once, or
// asks whether to remove it; the button stays disabled until the question is answered. The answer
// comes through the screen's alert dispatcher.
class TileFavorites
{
public:
    static constexpr int removeTag = 3;

    TileFavorites(QWidget *host, AlertViewDelegate *delegate);

    void toggle(QAbstractButton *button, const std::shared_ptr<ParsedLink> &parsedLink);
    // "Yes" (index 0) removes the favorite; any answer enables the button again.
    void answerRemoval(int buttonIndex);

private:
    QWidget *m_host;
    AlertViewDelegate *m_delegate;
    // The listing whose removal awaits an answer, and its tile's button.
    std::shared_ptr<ParsedLink> m_toRemoveParsedLink;
    QPointer<QAbstractButton> m_removeButtonSender;
};
