#pragma once

#include <QDateTime>
#include <QString>

// When a listing was posted, read from the text a site shows: an ISO stamp, an absolute date in
// English, French or German ("25-Mar-17", "2015-06-10  7:37pm", "Mar 16", "16 mars 2026",
// "16. März 2026"), or a phrase relative to when the page was fetched ("3 hours ago",
// "il y a 2 jours", "gestern"). A time without a zone is taken as UTC: the page does not say
// where its clock is. A date without a year is the latest such day not after the fetch.
namespace ListingDate {

// A UTC date-time, or an invalid one when the text reads as no date.
QDateTime parse(const QString &text, const QDateTime &fetchedAt, const QString &locale = {});

// "2 h", "3 d", "Mar 16": how long ago, for a tile; empty for an invalid date.
QString age(const QDateTime &posted, const QDateTime &now);

} // namespace ListingDate
