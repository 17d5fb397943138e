#include "scrape/userrulesets.h"

#include "platform/defaultskeys.h"
#include "platform/regularexpression.h"
#include "platform/userdefaults.h"
#include "query/parseddocument.h"
#include "scrape/rulesdocumentcheck.h"

#include <QCborArray>
#include <QCborValue>
#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

using namespace Qt::StringLiterals;

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("UserRuleSets", text);
}

// The query's status on an empty page: libxml2 reports an unknown function or a result that is
// no node set only when it evaluates the query.
QueryOutcome::Status statusOf(const QString &query)
{
    static const ParsedDocument empty = ParsedDocument::html("<html><body></body></html>");
    QueryOutcome outcome;
    empty.query(query, &outcome);
    return outcome.status;
}

// A function the query calls that XPath 1.0 does not have; null when there is none. libxml2
// finds an unknown function only when a node reaches it, which a page may never do.
QString unknownFunction(const QString &query)
{
    static const QSet<QString> known{
        u"last"_s,
        u"position"_s,
        u"count"_s,
        u"id"_s,
        u"local-name"_s,
        u"namespace-uri"_s,
        u"name"_s,
        u"string"_s,
        u"concat"_s,
        u"starts-with"_s,
        u"contains"_s,
        u"substring-before"_s,
        u"substring-after"_s,
        u"substring"_s,
        u"string-length"_s,
        u"normalize-space"_s,
        u"translate"_s,
        u"boolean"_s,
        u"not"_s,
        u"true"_s,
        u"false"_s,
        u"lang"_s,
        u"number"_s,
        u"sum"_s,
        u"floor"_s,
        u"ceiling"_s,
        u"round"_s,
        u"text"_s,
        u"node"_s,
        u"comment"_s,
        u"processing-instruction"_s,
    };
    static const QRegularExpression literal(QStringLiteral(R"('[^']*'|"[^"]*")"));
    static const QRegularExpression call(
        QStringLiteral(R"(([A-Za-z_][-\w.]*(?::[A-Za-z_][-\w.]*)?)\s*\()"));
    QString code = query;
    code.replace(literal, QStringLiteral("''"));
    for (const QRegularExpressionMatch &match : call.globalMatch(code)) {
        if (!known.contains(match.captured(1)))
            return match.captured(1);
    }
    return {};
}

} // namespace

QList<ZestoScrapeSetting> UserRuleSets::all()
{
    const QByteArray stored = UserDefaults::standard().dataForKey(DefaultsKeys::userScrapeSettings);
    QList<ZestoScrapeSetting> list;
    if (stored.isEmpty())
        return list;
    QCborParserError error;
    const QCborValue archive = QCborValue::fromCbor(stored, &error);
    if (error.error != QCborError::NoError || !archive.isArray())
        return list;
    for (const auto &element : archive.toArray()) {
        if (element.isMap())
            list.append(ZestoScrapeSetting::decode(element.toMap()));
    }
    return list;
}

bool UserRuleSets::saveAll(const QList<ZestoScrapeSetting> &list)
{
    QCborArray archive;
    for (const ZestoScrapeSetting &rules : list)
        archive.append(rules.encode());
    UserDefaults &defaults = UserDefaults::standard();
    const bool written
        = defaults.setObject(QCborValue(archive).toCbor(), DefaultsKeys::userScrapeSettings);
    return defaults.synchronize() && written;
}

QString UserRuleSets::save(const ZestoScrapeSetting &rules, bool *written)
{
    if (QString problem = problemWith(rules); !problem.isNull())
        return problem;
    QList<ZestoScrapeSetting> list = all();
    const auto same = std::find_if(list.begin(), list.end(), [&rules](const auto &stored) {
        return stored.name() == rules.name();
    });
    if (same != list.end())
        *same = rules;
    else
        list.append(rules);
    const bool stored = saveAll(list);
    if (written)
        *written = stored;
    return {};
}

bool UserRuleSets::remove(const QString &name)
{
    QList<ZestoScrapeSetting> list = all();
    const qsizetype removed
        = list.removeIf([&name](const ZestoScrapeSetting &rules) { return rules.name() == name; });
    if (removed > 0)
        saveAll(list);
    return removed > 0;
}

bool UserRuleSets::rename(const QString &name, const QString &newName)
{
    if (newName.trimmed().isEmpty())
        return false;
    QList<ZestoScrapeSetting> list = all();
    bool renamed = false;
    for (ZestoScrapeSetting &rules : list) {
        if (rules.name() == newName && name != newName)
            return false;
    }
    for (ZestoScrapeSetting &rules : list) {
        if (rules.name() == name) {
            rules.setName(newName.trimmed());
            renamed = true;
        }
    }
    if (renamed)
        saveAll(list);
    return renamed;
}

QString UserRuleSets::problemWith(const ZestoScrapeSetting &rules)
{
    if (rules.name().trimmed().isEmpty())
        return tr("The rule set has no name.");
    if (rules.regex().isEmpty() || !RegularExpression(rules.regex()).isValid())
        return tr("The address pattern “%1” is not a valid regular expression.").arg(rules.regex());
    if (rules.link().isNull() && rules.title().isNull() && rules.innerImgsWithHref().isNull()
        && rules.innerImgsWithSrc().isNull())
        return tr("The rule set has no listing-link, title or photo rule.");
    static const QRegularExpression attribute(QStringLiteral("^[A-Za-z_][-A-Za-z0-9_:.]*$"));
    for (const ZestoScrapeSetting::Rule &rule : rules.rules()) {
        if (rule.select.isNull())
            continue;
        const QString key(rule.key);
        switch (statusOf(rule.select)) {
        case QueryOutcome::Status::Matched:
        case QueryOutcome::Status::OverBudget:
        case QueryOutcome::Status::NoDocument:
            break;
        case QueryOutcome::Status::Malformed:
            return tr("The %1 rule is not a valid XPath query: %2").arg(key, rule.select);
        case QueryOutcome::Status::NotANodeSet:
            return tr("The %1 rule gives no elements (a number, text or true/false): %2")
                .arg(key, rule.select);
        }
        if (const QString function = unknownFunction(rule.select); !function.isNull()) {
            return tr("The %1 rule is not a valid XPath query (no function %2()): %3")
                .arg(key, function, rule.select);
        }
        if (rule.extract != u"@content" && !attribute.match(rule.extract).hasMatch())
            return tr("The %1 rule takes “%2”, which is neither @content nor an attribute name.")
                .arg(key, rule.extract);
    }
    return {};
}

QString UserRuleSets::exportDocument()
{
    return ZestoScrapeSetting::writeSettings(all(), 1);
}

UserRuleSets::Import UserRuleSets::importDocument(const QString &document, Clash clash)
{
    Import result;
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(document.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !json.isObject()) {
        result.error = tr("This is not a settings document: %1.")
                           .arg(error.error != QJsonParseError::NoError ? error.errorString()
                                                                        : tr("no JSON object"));
        return result;
    }
    QList<ZestoScrapeSetting> sets = ZestoScrapeSetting::readSettings(document);
    if (sets.isEmpty()) {
        result.error = tr("The document holds no rule sets.");
        return result;
    }
    const RulesDocumentCheck::Verdict verdict
        = RulesDocumentCheck::check(document, RulesDocumentCheck::Origin::Import);
    if (!verdict.accepted()) {
        result.error = verdict.refusal;
        return result;
    }
    for (ZestoScrapeSetting &rules : sets) {
        if (rules.name().trimmed().isEmpty())
            rules.setName(rules.regex());
        if (const QString problem = problemWith(rules); !problem.isNull()) {
            result.error = tr("“%1”: %2").arg(rules.name(), problem);
            return result;
        }
    }
    QList<ZestoScrapeSetting> list = all();
    for (const ZestoScrapeSetting &rules : std::as_const(sets)) {
        const bool taken = std::any_of(list.cbegin(), list.cend(), [&rules](const auto &stored) {
            return stored.name() == rules.name();
        });
        if (taken && !result.clashes.contains(rules.name()))
            result.clashes.append(rules.name());
    }
    if (clash == Clash::Ask && !result.clashes.isEmpty())
        return result;
    for (const ZestoScrapeSetting &rules : std::as_const(sets)) {
        if (clash == Clash::Keep && result.clashes.contains(rules.name()))
            continue;
        // A later rule set of the same name in the document stands for the earlier one.
        list.removeIf([&rules](const auto &stored) { return stored.name() == rules.name(); });
        list.append(rules);
        ++result.added;
    }
    result.written = saveAll(list);
    return result;
}
