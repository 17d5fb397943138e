#pragma once

#include "scrape/parsedlink.h"

#include <QList>
#include <QString>

class QWidget;

// "Export…" from the grid: the listings it shows (as ordered and filtered) to a CSV or JSON file
// the user names, with the files of their cached photos.
namespace GridExport {

// Writes listings to path, as CSV unless path ends in ".json"; false when it cannot be written.
bool write(const QString &path, const QList<ParsedLink::Ptr> &listings);
// Asks where, writes, and says so when the file could not be written.
void ask(QWidget *parent, const QList<ParsedLink::Ptr> &listings);

} // namespace GridExport
