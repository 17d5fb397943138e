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

} // namespace ListingAge
