#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// How a listing's posted time is told on a tile and in the detail screen.
namespace ListingAge {

// Short, beside the price on a tile: "now", "5 min", "2 h", "3 d" within a week, then the
// day ("Mar 16"), with the year when it is not now's year. A time after now (a site's clock
// ahead of ours) is "now"; an invalid one is empty.
QString shortText(const QDateTime &posted, const QDateTime &now, const QLocale &locale = {});

// Whole, in the user's local time: "Monday, March 16, 2026 at 14:05" or the locale's own form.
QString fullText(const QDateTime &posted, const QLocale &locale = {});

// As shortText, said of a moment: "2 h ago", "3 d ago", "Mar 16", "now".
QString whenText(const QDateTime &posted, const QDateTime &now, const QLocale &locale = {});

// The mark of a listing posted before at another address: "Reposted", with the first posting's
// age or day when it is known ("Reposted, first 3 d ago", "Reposted, first Mar 16").
QString repostedText(const QDateTime &firstPosted, const QDateTime &now,
                     const QLocale &locale = {});

} // namespace ListingAge
