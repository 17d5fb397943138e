#include "grid/listingage.h"

#include <QCoreApplication>

namespace ListingAge {

QString shortText(const QDateTime &posted, const QDateTime &now, const QLocale &locale)
{
    if (!posted.isValid())
        return {};
    const qint64 seconds = posted.secsTo(now);
    constexpr qint64 minute = 60;
    constexpr qint64 hour = 60 * minute;
    constexpr qint64 day = 24 * hour;
    if (seconds < minute)
        return QCoreApplication::translate("ListingAge", "now");
    if (seconds < hour)
        return QCoreApplication::translate("ListingAge", "%1 min").arg(seconds / minute);
    if (seconds < day)
        return QCoreApplication::translate("ListingAge", "%1 h").arg(seconds / hour);
    if (seconds < 7 * day)
        return QCoreApplication::translate("ListingAge", "%1 d").arg(seconds / day);
    const QDate date = posted.toLocalTime().date();
    return locale.toString(date,
                           date.year() == now.toLocalTime().date().year()
                               ? QStringLiteral("MMM d")
                               : QStringLiteral("MMM d, yyyy"));
}

QString fullText(const QDateTime &posted, const QLocale &locale)
{
    return posted.isValid() ? locale.toString(posted.toLocalTime(), QLocale::LongFormat)
                            : QString();
}

QString whenText(const QDateTime &posted, const QDateTime &now, const QLocale &locale)
{
    const QString shown = shortText(posted, now, locale);
    const qint64 seconds = posted.secsTo(now);
    // "2 h" and "3 d" are ages, "Mar 16" a day.
    return !shown.isEmpty() && seconds >= 60 && seconds < 7 * 24 * 3600
        ? QCoreApplication::translate("ListingAge", "%1 ago").arg(shown)
        : shown;
}

QString repostedText(const QDateTime &firstPosted, const QDateTime &now, const QLocale &locale)
{
    const QString first = whenText(firstPosted, now, locale);
    return first.isEmpty()
        ? QCoreApplication::translate("ListingAge", "Reposted")
        : QCoreApplication::translate("ListingAge", "Reposted, first %1").arg(first);
}

} // namespace ListingAge
