#include "screens/mailcomposer.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrlQuery>

namespace {

std::optional<bool> decided;

bool askDesktop()
{
    // Qt offers no query: ask the freedesktop tools which program handles mailto.
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty())
        return false;
    QProcess query;
    query.start(xdgMime,
                { QStringLiteral("query"), QStringLiteral("default"),
                  QStringLiteral("x-scheme-handler/mailto") });
    if (!query.waitForFinished(3000))
        return false;
    return !query.readAllStandardOutput().trimmed().isEmpty();
}

} // namespace

bool MailComposer::canSendMail()
{
    if (!decided)
        decided = askDesktop();
    return *decided;
}

void MailComposer::setCanSendMail(std::optional<bool> answer)
{
    decided = answer;
}

QUrl MailComposer::mailtoUrl(const QString &subject, const QString &body)
{
    QUrl url(QStringLiteral("mailto:"));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("subject"),
                       QString::fromLatin1(QUrl::toPercentEncoding(subject)));
    query.addQueryItem(QStringLiteral("body"), QString::fromLatin1(QUrl::toPercentEncoding(body)));
    url.setQuery(query.query(QUrl::FullyEncoded), QUrl::StrictMode);
    return url;
}

bool MailComposer::compose(const QString &subject, const QString &body)
{
    return QDesktopServices::openUrl(mailtoUrl(subject, body));
}
