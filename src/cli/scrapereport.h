#pragma once

#include "scrape/listingpage.h"
#include "scrape/resultspage.h"
#include "scrape/zestoscrapesetting.h"

#include <QJsonObject>
#include <QString>

#include <optional>

// What listoro-scrape prints: a scraped page as a JSON object. Absent values (no rule set, no
// next link, no title, a link that formed no URL) are JSON null.
namespace ScrapeReport {

QJsonObject resultsPage(const QString &url, const std::optional<ZestoScrapeSetting> &rules,
                        const ResultsPage &page);
QJsonObject listingPage(const QString &url, const std::optional<ZestoScrapeSetting> &rules,
                        const ListingPage &page);

} // namespace ScrapeReport
