#include "screens/gridexport.h"

#include "scrape/listingtable.h"
#include "ui/alertview.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QJsonDocument>
#include <QSaveFile>

namespace GridExport {

bool write(const QString &path, const QList<ParsedLink::Ptr> &listings)
{
    QList<ListingTable::Row> rows;
    for (const ParsedLink::Ptr &listing : listings) {
        if (listing)
            rows.append(ListingTable::fromListing(*listing, true));
    }
    const bool json = path.endsWith(QLatin1String(".json"), Qt::CaseInsensitive);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(json ? QJsonDocument(ListingTable::json(rows, true)).toJson(QJsonDocument::Indented)
                    : ListingTable::csv(rows, true));
    return file.commit();
}

void ask(QWidget *parent, const QList<ParsedLink::Ptr> &listings)
{
    const auto tr = [](const char *text) {
        return QCoreApplication::translate("GridExport", text);
    };
    QString filter;
    QString path = QFileDialog::getSaveFileName(
        parent, tr("Export listings"), QDir::home().filePath(QStringLiteral("listings.csv")),
        tr("CSV (*.csv);;JSON (*.json)"), &filter);
    if (path.isEmpty())
        return;
    // The kind chosen in the dialog wins over the suggested name's suffix.
    if (filter.startsWith(QLatin1String("JSON")) && !path.endsWith(QLatin1String(".json"))) {
        if (path.endsWith(QLatin1String(".csv")))
            path.chop(4);
        path += QLatin1String(".json");
    }
    if (write(path, listings))
        return;
    auto *alert = new AlertView(tr("Not exported"),
                                tr("The listings could not be written to %1.").arg(path), nullptr,
                                tr("Ok"), {}, parent);
    alert->show();
}

} // namespace GridExport
