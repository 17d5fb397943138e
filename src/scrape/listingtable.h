#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class ParsedLink;

// Listings as a table for other programs: one row a listing with its title, price text, amount,
// currency, posted date, address and photo addresses, and, from the application, the files its
// cached photos are in. Written as CSV (RFC 4180: UTF-8, CRLF line ends, every field quoted
// that holds a comma, a quote or a line end; several photos one per line within their field) or
// as a JSON array of objects.
namespace ListingTable {

struct Row
{
    QString title;
    QString priceText;
    std::optional<double> amount;
    QString currency;
    QDateTime posted;
    QString url;
    QStringList photos;
    QStringList photoFiles;
};

// From a listing object of listoro-scrape's JSON report.
Row fromReport(const QJsonObject &listing);
// From a listing the application fetched; withFiles: the cached photos' files too.
Row fromListing(const ParsedLink &listing, bool withFiles);

QByteArray csv(const QList<Row> &rows, bool withFiles);
QJsonArray json(const QList<Row> &rows, bool withFiles);

} // namespace ListingTable
