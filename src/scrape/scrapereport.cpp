#include "scrape/scrapereport.h"

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

QJsonValue price(const ListingPrice &price)
{
    if (price.isNull())
        return QJsonValue::Null;
    return QJsonObject{
        { QStringLiteral("text"), price.text() },
        { QStringLiteral("amount"),
          price.amount() ? QJsonValue(*price.amount()) : QJsonValue(QJsonValue::Null) },
        { QStringLiteral("currency"),
          price.currency().isEmpty() ? QJsonValue(QJsonValue::Null)
                                     : QJsonValue(price.currency()) },
    };
}

QJsonValue date(const QDateTime &posted)
{
    if (!posted.isValid())
        return QJsonValue::Null;
    return posted.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ"));
}

QJsonObject resultsPage(const QString &url, const std::optional<ZestoScrapeSetting> &rules,
                        const ResultsPage &page)
{
    QJsonArray listings;
    for (const ResultsPage::Link &link : page.links) {
        listings.append(QJsonObject{
            { QStringLiteral("idInList"), link.idInList },
            { QStringLiteral("title"), textOrNull(link.title) },
            { QStringLiteral("url"), textOrNull(link.url) },
            { QStringLiteral("price"), price(link.price) },
            { QStringLiteral("date"), date(link.posted) },
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
        { QStringLiteral("price"), price(page.price) },
        { QStringLiteral("date"), date(page.posted) },
    };
}

void addRuleHealth(QJsonObject &report, const RuleHealth &health)
{
    QJsonObject rules;
    for (const RuleHealth::Check &check : health.checks()) {
        rules.insert(check.key,
                     QJsonObject{
                         { QStringLiteral("query"), textOrNull(check.query) },
                         { QStringLiteral("extract"), textOrNull(check.extract) },
                         { QStringLiteral("matched"), check.matched },
                         { QStringLiteral("values"), check.values },
                         { QStringLiteral("refused"), check.refused },
                         { QStringLiteral("verdict"), RuleHealth::verdictText(check.verdict) },
                         { QStringLiteral("needed"), check.needed },
                     });
    }
    report.insert(QStringLiteral("ruleSetName"), textOrNull(health.ruleSetName()));
    if (!health.skippedRuleSets().isEmpty()) {
        report.insert(QStringLiteral("skippedRuleSets"),
                      QJsonArray::fromStringList(health.skippedRuleSets()));
    }
    report.insert(QStringLiteral("rules"), rules);
    // Links and photos left out as out of reach: never fetched, named so a user sees why.
    QJsonArray refused;
    for (const AddressPolicy::Refusal &refusal : health.refusals()) {
        refused.append(QJsonObject{ { QStringLiteral("address"), refusal.address },
                                    { QStringLiteral("reason"), refusal.reason } });
    }
    report.insert(QStringLiteral("refusedAddresses"), refused);
}

QStringList unmetNeedLines(const RuleHealth &health, const QString &url)
{
    const QStringList unmet = health.unmetNeeds();
    if (unmet.isEmpty())
        return {};
    if (!health.hasRuleSet())
        return { QStringLiteral("no rule set matches %1").arg(url) };
    QStringList lines;
    for (const QString &need : unmet) {
        QStringList rules;
        for (const RuleHealth::Check &check : health.checks()) {
            if (!RuleHealth::serves(check.key, need))
                continue;
            rules.append(
                check.query.isNull()
                    ? QStringLiteral("%1 (no rule)").arg(check.key)
                    : QStringLiteral("%1 (%2: %3)")
                          .arg(check.key, RuleHealth::verdictText(check.verdict), check.query));
        }
        if (rules.isEmpty())
            rules.append(QStringLiteral("no %1 rule").arg(need));
        lines.append(QStringLiteral("%1: rule set \"%2\" found no %3: %4")
                         .arg(url, health.ruleSetName(), need, rules.join(QStringLiteral("; "))));
    }
    return lines;
}

} // namespace ScrapeReport
