#pragma once

#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <QString>

// What the serving thread and the owner's thread share after start-up: the settings document
// (replaceable while serving) and the request counters.
class DemoSiteState
{
public:
    explicit DemoSiteState(const QByteArray &settingsDocument);

    QByteArray settingsDocument() const;
    void setSettingsDocument(const QByteArray &document);

    void countRequest(const QString &path);
    int requestCount(const QString &pathPrefix) const;
    void resetCounters();

private:
    mutable QMutex m_mutex;
    QByteArray m_settingsDocument;
    QHash<QString, int> m_requests; // by path, without the query
};
