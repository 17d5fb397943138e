#pragma once

#include <QString>
#include <QUrl>

#include <optional>

// E-mail through the user's mail program: a "mailto:" address with the subject and body filled
// in, opened by the desktop.
class MailComposer
{
public:
    // Whether a program is registered for "mailto:" addresses.
    static bool canSendMail();
    // Tests and demo runs may decide it instead; nullopt asks the desktop again.
    static void setCanSendMail(std::optional<bool> answer);

    static QUrl mailtoUrl(const QString &subject, const QString &body);
    // Hands the message to the mail program; false when the desktop could not open it.
    static bool compose(const QString &subject, const QString &body);
};
