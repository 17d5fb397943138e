#include "scrape/listingtable.h"

#include "scrape/parsedlink.h"

#include <QFileInfo>
#include <QJsonValue>

namespace {

const QStringList header{ QStringLiteral("title"),  QStringLiteral("price"),
                          QStringLiteral("amount"), QStringLiteral("currency"),
                          QStringLiteral("date"),   QStringLiteral("url"),
                          QStringLiteral("photos") };

QString field(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"'))
        && !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString dateText(const QDateTime &posted)
{
    return posted.isValid() ? posted.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ"))
                            : QString();
}

QString amountText(const std::optional<double> &amount)
{
    // "1880", "2010.5": as many digits as the amount has, never an exponent.
    return amount ? QString::number(*amount, 'g', 15) : QString();
}

} // namespace

namespace ListingTable {

Row fromReport(const QJsonObject &listing)
{
    Row row;
    row.title = listing.value(QLatin1String("title")).toString();
    row.url = listing.value(QLatin1String("url")).toString();
    const QJsonObject price = listing.value(QLatin1String("price")).toObject();
    row.priceText = price.value(QLatin1String("text")).toString();
    if (const QJsonValue amount = price.value(QLatin1String("amount")); amount.isDouble())
        row.amount = amount.toDouble();
    row.currency = price.value(QLatin1String("currency")).toString();
    row.posted
        = QDateTime::fromString(listing.value(QLatin1String("date")).toString(), Qt::ISODate);
    for (const QJsonValue &photo : listing.value(QLatin1String("photos")).toArray())
        row.photos.append(photo.toString());
    return row;
}

Row fromListing(const ParsedLink &listing, bool withFiles)
{
    Row row;
    row.title = listing.title().simplified();
    row.url = listing.url();
    row.priceText = listing.price().text();
    row.amount = listing.price().amount();
    row.currency = listing.price().currency();
    row.posted = listing.posted();
    row.photos = listing.imagesUrls().value_or(QStringList());
    if (withFiles) {
        for (const QString &photo : std::as_const(row.photos)) {
            const QString file = ParsedLink::getImagePathFromStringURL(photo);
            if (QFileInfo::exists(file))
                row.photoFiles.append(file);
        }
    }
    return row;
}

QByteArray csv(const QList<Row> &rows, bool withFiles)
{
    QStringList names = header;
    if (withFiles)
        names.append(QStringLiteral("photoFiles"));
    QString text = names.join(QLatin1Char(',')) + QLatin1String("\r\n");
    for (const Row &row : rows) {
        QStringList fields{ field(row.title),
                            field(row.priceText),
                            amountText(row.amount),
                            field(row.currency),
                            dateText(row.posted),
                            field(row.url),
                            field(row.photos.join(QLatin1Char('\n'))) };
        if (withFiles)
            fields.append(field(row.photoFiles.join(QLatin1Char('\n'))));
        text += fields.join(QLatin1Char(',')) + QLatin1String("\r\n");
    }
    return text.toUtf8();
}

QJsonArray json(const QList<Row> &rows, bool withFiles)
{
    QJsonArray array;
    for (const Row &row : rows) {
        QJsonObject object{
            { QStringLiteral("title"), row.title },
            { QStringLiteral("price"), row.priceText.isEmpty() ? QJsonValue() : row.priceText },
            { QStringLiteral("amount"), row.amount ? QJsonValue(*row.amount) : QJsonValue() },
            { QStringLiteral("currency"),
              row.currency.isEmpty() ? QJsonValue() : QJsonValue(row.currency) },
            { QStringLiteral("date"),
              row.posted.isValid() ? QJsonValue(dateText(row.posted)) : QJsonValue() },
            { QStringLiteral("url"), row.url },
            { QStringLiteral("photos"), QJsonArray::fromStringList(row.photos) },
        };
        if (withFiles)
            object.insert(QStringLiteral("photoFiles"), QJsonArray::fromStringList(row.photoFiles));
        array.append(object);
    }
    return array;
}

} // namespace ListingTable
