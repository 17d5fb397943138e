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
// replaced by the shipped one.
class SettingsRefresh
{
public:
    // The remote settings file: LISTORO_SETTINGS_URL when set, otherwise the built-in address.
    static QUrl remoteUrl();
    static QUrl defaultRemoteUrl();
    // Uses this address instead of the environment's or the built-in one (a demo run).
    static void setRemoteUrl(const QUrl &url);

    // The shipped document (":/settings.txt"), or null when it cannot be read.
    static QString shippedDocument();
    // Adopts the shipped document when no rule sets are stored. True when it adopted it.
    static bool seedFromShippedDocument();
    // Adopts document when its version is strictly higher than the stored one.
    static bool adoptIfNewer(const QString &document);

    // Fetches the remote file and adopts it when newer. done (optional) runs on the GUI thread
    // with whether it was adopted; unreachable files and non-UTF-8 text change nothing.
    static std::shared_ptr<HttpFetch> refreshFromRemote(QObject *context,
                                                        std::function<void(bool)> done = {});
};
