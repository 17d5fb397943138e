#include "cli/scrapereport.h"

#include <QJsonArray>
#include <QJsonValue>

namespace {

QJsonValue textOrNull(const QString &text)
{
    return text.isNull() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

QJsonValue ruleSetOf(const std::optional<ZestoScrapeSetting> &rules)
{
    return rules ? textOrNull(rules->regex()) : QJsonValue(QJsonValue::Null);
}

} // namespace

namespace ScrapeReport {

QJsonObject resultsPage(const QString &url, const std::optional<ZestoScrapeSetting> &rules,
                        const ResultsPage &page)
{
    QJsonArray listings;
    for (const ResultsPage::Link &link : page.links) {
        listings.append(QJsonObject{
            { QStringLiteral("idInList"), link.idInList },
            { QStringLiteral("title"), textOrNull(link.title) },
            { QStringLiteral("url"), textOrNull(link.url) },
        });
    }
    return QJsonObject{
        { QStringLiteral("url"), url },
        { QStringLiteral("ruleSet"), ruleSetOf(rules) },
        { QStringLiteral("next"), textOrNull(page.nextLink) },
        { QStringLiteral("listings"), listings },
    };
}

QJsonObject listingPage(const QString &url, const std::optional<ZestoScrapeSetting> &rules,
                        const ListingPage &page)
{
    return QJsonObject{
        { QStringLiteral("url"), url },
        { QStringLiteral("ruleSet"), ruleSetOf(rules) },
        { QStringLiteral("title"), textOrNull(page.title) },
        { QStringLiteral("photos"), QJsonArray::fromStringList(page.photos) },
    };
}

} // namespace ScrapeReport
