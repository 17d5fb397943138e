#include "demo/demositestate.h"

DemoSiteState::DemoSiteState(const QByteArray &settingsDocument)
    : m_settingsDocument(settingsDocument)
{
}

QByteArray DemoSiteState::settingsDocument() const
{
    QMutexLocker locker(&m_mutex);
    return m_settingsDocument;
}

void DemoSiteState::setSettingsDocument(const QByteArray &document)
{
    QMutexLocker locker(&m_mutex);
    m_settingsDocument = document;
}

void DemoSiteState::countRequest(const QString &path)
{
    QMutexLocker locker(&m_mutex);
    ++m_requests[path];
}

int DemoSiteState::requestCount(const QString &pathPrefix) const
{
    QMutexLocker locker(&m_mutex);
    int count = 0;
    for (auto it = m_requests.cbegin(); it != m_requests.cend(); ++it) {
        if (it.key().startsWith(pathPrefix))
            count += it.value();
    }
    return count;
}

void DemoSiteState::resetCounters()
{
    QMutexLocker locker(&m_mutex);
    m_requests.clear();
}
