#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

class HttpFetch;

// The two start-up steps of the scrape settings: seeding the store from the shipped document,
// and adopting the remote settings file when its version is higher than the stored one. Seed
// first, then refresh: the refresh compares versions, so a newer remote document is never
// replaced by the shipped one. The remote file travels over https (plain http only from this
// machine, as the demo site serves it), and a document RulesDocumentCheck refuses changes
// nothing.
class SettingsRefresh
{
public:
    // The address the remote settings file is fetched from: LISTORO_SETTINGS_URL when set,
    // otherwise the built-in address, made secure(). Invalid when it is no web address.
    static QUrl remoteUrl();
    // url over https, unless it is on a loopback host; invalid unless it is http or https.
    static QUrl secure(const QUrl &url);
    static QUrl defaultRemoteUrl();
    // Uses this address instead of the environment's or the built-in one (a demo run).
    static void setRemoteUrl(const QUrl &url);

    // The shipped document (":/settings.txt"), or null when it cannot be read.
    static QString shippedDocument();
    // Adopts the shipped document when no rule sets are stored. True when it adopted it.
    static bool seedFromShippedDocument();
    // Adopts document when RulesDocumentCheck accepts it and its version is strictly higher
    // than the stored one. A refusal is logged and kept as lastRefusal().
    static bool adoptIfNewer(const QString &document);
    // Why the last remote document was refused, for the user; null when none was.
    static QString lastRefusal();
    static void clearLastRefusal();

    // Fetches the remote file and adopts it when newer. done (optional) runs on the GUI thread
    // with whether it was adopted; unreachable files and non-UTF-8 text change nothing.
    static std::shared_ptr<HttpFetch> refreshFromRemote(QObject *context,
                                                        std::function<void(bool)> done = {});
};
