#pragma once

#include "scrape/listingpage.h"
#include "scrape/resultspage.h"
#include "scrape/rulehealth.h"
#include "scrape/zestoscrapesetting.h"

#include <QDateTime>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QStringList>

#include <optional>

// What listoro-scrape prints: a scraped page as a JSON object. Absent values (no rule set, no
// next link, no title, a link that formed no URL) are JSON null.
namespace ScrapeReport {

// {"text": T, "amount": N or null, "currency": C or null}, or null for no price.
QJsonValue price(const ListingPrice &price);
// "YYYY-MM-DDTHH:MM:SSZ", or null for no date.
QJsonValue date(const QDateTime &posted);

QJsonObject resultsPage(const QString &url, const std::optional<ZestoScrapeSetting> &rules,
                        const ResultsPage &page);
QJsonObject listingPage(const QString &url, const std::optional<ZestoScrapeSetting> &rules,
                        const ListingPage &page);

// Adds "ruleSetName" and the "rules" object of health to a page's report.
void addRuleHealth(QJsonObject &report, const RuleHealth &health);
// One line per need of the page that no rule met, naming the rule set, the rules and what their
// queries did; empty when every need is met.
QStringList unmetNeedLines(const RuleHealth &health, const QString &url);
} // namespace ScrapeReport
