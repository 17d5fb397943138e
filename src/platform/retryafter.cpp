#include "platform/retryafter.h"

#include <QNetworkRequest>

qint64 retryAfterSeconds(const QByteArray &value, const QDateTime &now, qint64 fallback)
{
    const QByteArray trimmed = value.trimmed();
    bool isNumber = false;
    const qint64 seconds = trimmed.toLongLong(&isNumber);
    if (isNumber)
        return seconds;
    // The network module's date parser knows every form HTTP allows; it parses the dates of
    // the headers it knows, such as Last-Modified.
    QNetworkRequest probe;
    probe.setRawHeader("Last-Modified", trimmed);
    const QDateTime when = probe.header(QNetworkRequest::LastModifiedHeader).toDateTime();
    if (!when.isValid())
        return fallback;
    return now.secsTo(when);
}
