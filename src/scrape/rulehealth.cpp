#include "scrape/rulehealth.h"

#include "scrape/extractdirective.h"
#include "scrape/nsurlutils.h"
#include "scrape/pagesigns.h"

#include <QCoreApplication>

namespace {

using Verdict = RuleHealth::Verdict;

bool isPhotoRule(QStringView key)
{
    return key == u"innerImgsWithHref" || key == u"innerImgsWithSrc";
}

bool isNeeded(QStringView key, RuleHealth::PageKind kind)
{
    if (kind == RuleHealth::PageKind::Results)
        return key == u"link";
    return key == u"title" || isPhotoRule(key);
}

// What the rule's directive takes from the node, as the scrapers take it: the text rules
// (title, date, price) read "@content" as the node's own text; links and photos read it from the
// node's first child and must form a URL within reach.
enum class Value { None, Usable, Refused };

Value valueOf(const ZestoScrapeSetting::Rule &rule, const TFHppleElement::Ptr &node,
              const QString &pageUrl, AddressPolicy::Reach reach,
              QList<AddressPolicy::Refusal> &refusals)
{
    const QString key(rule.key);
    const bool textRule = key == u"title" || key == u"date" || key == u"price";
    const QString value = textRule && ExtractDirective::isContent(rule.extract)
        ? node->content()
        : ExtractDirective::valueOf(node, rule.extract);
    if (value.isEmpty())
        return Value::None;
    if (textRule)
        return Value::Usable;
    const QString url = NSUrlUtils::fixUrl(value, pageUrl);
    if (url.isNull())
        return Value::None;
    // The next-page link is followed only when the user asks for it.
    if (key == u"next")
        return Value::Usable;
    QString reason;
    if (AddressPolicy::check(QUrl(url), reach, &reason) == AddressPolicy::Verdict::Refused) {
        if (!std::any_of(refusals.cbegin(), refusals.cend(),
                         [&url](const AddressPolicy::Refusal &r) { return r.address == url; }))
            refusals.append({ url, reason });
        return Value::Refused;
    }
    return Value::Usable;
}

Verdict verdictOf(QueryOutcome::Status status, int matched, int values, int refused)
{
    switch (status) {
    case QueryOutcome::Status::NoDocument:
        return Verdict::NoDocument;
    case QueryOutcome::Status::Malformed:
        return Verdict::Malformed;
    case QueryOutcome::Status::NotANodeSet:
        return Verdict::NotANodeSet;
    case QueryOutcome::Status::OverBudget:
        return Verdict::OverBudget;
    case QueryOutcome::Status::Matched:
        break;
    }
    if (matched == 0)
        return Verdict::NoMatch;
    if (values > 0)
        return Verdict::Ok;
    return refused > 0 ? Verdict::OnlyRefused : Verdict::NoValue;
}

// Whether the page has nothing of what the rule of key reads, so that matching nothing is right.
bool showsNoneOf(QStringView key, const TFHpple &page, RuleHealth::PageKind kind)
{
    if (key == u"next")
        return kind == RuleHealth::PageKind::Results && !PageSigns::hasNextLink(page);
    if (isPhotoRule(key))
        return kind == RuleHealth::PageKind::Listing && !PageSigns::showsPhotos(page);
    return false;
}

QString tr(const char *text, int n = -1)
{
    return QCoreApplication::translate("RuleHealth", text, nullptr, n);
}

} // namespace

RuleHealth RuleHealth::check(const QByteArray &page, const QString &pageUrl, PageKind kind,
                             const std::optional<ZestoScrapeSetting> &rules,
                             std::optional<AddressPolicy::Reach> reach)
{
    return check(TFHpple::hppleWithHTMLData(page), pageUrl, kind, rules, reach);
}

RuleHealth RuleHealth::check(const TFHpple &page, const QString &pageUrl, PageKind kind,
                             const std::optional<ZestoScrapeSetting> &rules,
                             std::optional<AddressPolicy::Reach> reach)
{
    const AddressPolicy::Reach linkReach = reach.value_or(AddressPolicy::reachFrom(pageUrl));
    RuleHealth health;
    health.kind = kind;
    health.ruleSet = rules;
    health.skipped = ZestoScrapeSetting::unusableRuleSets();
    if (!rules)
        return health;
    for (const ZestoScrapeSetting::Rule &rule : rules->rules()) {
        Check check;
        check.key = QString(rule.key);
        check.query = rule.select;
        check.extract = rule.extract;
        check.needed = isNeeded(check.key, kind);
        if (rule.select.isNull()) {
            if (check.needed)
                health.rulesChecked.append(check);
            continue;
        }
        QueryOutcome outcome;
        const QList<TFHppleElement::Ptr> nodes = page.searchWithXPathQuery(rule.select, outcome);
        check.matched = outcome.matchedNodes;
        for (const TFHppleElement::Ptr &node : nodes) {
            switch (valueOf(rule, node, pageUrl, linkReach, health.refusedAddresses)) {
            case Value::Usable:
                ++check.values;
                break;
            case Value::Refused:
                ++check.refused;
                break;
            case Value::None:
                break;
            }
        }
        check.verdict = verdictOf(outcome.status, check.matched, check.values, check.refused);
        if (check.verdict == Verdict::NoMatch && showsNoneOf(check.key, page, kind))
            check.verdict = Verdict::NoneOnPage;
        health.rulesChecked.append(check);
    }
    return health;
}

void RuleHealth::addRefusals(QStringView ruleKey, const QList<AddressPolicy::Refusal> &refusals)
{
    Check *check = nullptr;
    for (Check &candidate : rulesChecked) {
        if (candidate.key == ruleKey)
            check = &candidate;
    }
    for (const AddressPolicy::Refusal &refusal : refusals) {
        if (refusedAddresses.contains(refusal))
            continue;
        refusedAddresses.append(refusal);
        if (check && check->values > 0) {
            --check->values;
            ++check->refused;
            if (check->values == 0 && check->verdict == Verdict::Ok)
                check->verdict = Verdict::OnlyRefused;
        }
    }
}

QString RuleHealth::ruleSetName() const
{
    return ruleSet ? ruleSet->displayName() : QString();
}

const RuleHealth::Check *RuleHealth::checkOf(QStringView key) const
{
    for (const Check &check : rulesChecked) {
        if (check.key == key)
            return &check;
    }
    return nullptr;
}

QStringList RuleHealth::unmetNeeds() const
{
    QStringList needs = kind == PageKind::Results
        ? QStringList{ QStringLiteral("link") }
        : QStringList{ QStringLiteral("title"), QStringLiteral("photos") };
    if (!ruleSet)
        return needs;
    QStringList unmet;
    for (const QString &need : needs) {
        bool met = false;
        for (const Check &check : rulesChecked) {
            met = met
                || (serves(check.key, need)
                    && (check.values > 0 || check.verdict == Verdict::NoneOnPage));
        }
        if (!met)
            unmet.append(need);
    }
    return unmet;
}

bool RuleHealth::serves(QStringView ruleKey, QStringView need)
{
    return need == u"photos" ? isPhotoRule(ruleKey) : ruleKey == need;
}

QString RuleHealth::verdictText(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Ok:
        return QStringLiteral("ok");
    case Verdict::NoneOnPage:
        return QStringLiteral("ok, none on this page");
    case Verdict::NoMatch:
        return QStringLiteral("no match");
    case Verdict::NoValue:
        return QStringLiteral("matched, but no value");
    case Verdict::OnlyRefused:
        return QStringLiteral("only refused addresses");
    case Verdict::OverBudget:
        return QStringLiteral("over budget");
    case Verdict::Malformed:
        return QStringLiteral("malformed query");
    case Verdict::NotANodeSet:
        return QStringLiteral("not a node set");
    case Verdict::NoDocument:
        return QStringLiteral("page did not parse");
    case Verdict::NoRule:
        return QStringLiteral("no rule");
    }
    return {};
}

QString RuleHealth::linkSummary() const
{
    QString skippedNote;
    if (!skipped.isEmpty()) {
        // A few names say enough; a document may hold thousands of broken patterns.
        constexpr qsizetype named = 3;
        skippedNote = u' '
            + tr("%n rule set(s) skipped, their address pattern does not compile: %1.",
                 int(skipped.size()))
                  .arg(QStringList(skipped.mid(0, named)).join(QStringLiteral(", "))
                       + (skipped.size() > named ? QStringLiteral(", …") : QString()));
    }
    return linkSentence() + skippedNote;
}

QString RuleHealth::linkSentence() const
{
    if (!ruleSet)
        return tr("No rule set knows this address, so Zesto cannot read its listings.");
    const Check *link = checkOf(u"link");
    const QString used = tr("Rules used: “%1”. ").arg(ruleSetName());
    switch (link ? link->verdict : Verdict::NoRule) {
    case Verdict::Ok:
        return used
            + (link->values == 1
                   ? tr("Their listing-link rule found 1 link on this page.")
                   : tr("Their listing-link rule found %1 links on this page.").arg(link->values))
            + (link->refused > 0
                   ? tr(" %1 more led to local addresses and were left out.").arg(link->refused)
                   : QString());
    case Verdict::NoneOnPage:
    case Verdict::NoMatch:
    case Verdict::NoDocument:
        return used
            + tr("Their listing-link rule matched nothing on this page; if the page shows "
                 "listings, these rules are out of date.");
    case Verdict::NoValue:
        return used
            + (link->matched == 1 ? tr("Their listing-link rule matched 1 element on this page, "
                                       "but it gave no link: these rules are out of date.")
                                  : tr("Their listing-link rule matched %1 elements on this "
                                       "page, but none gave a link: these rules are out of "
                                       "date.")
                                        .arg(link->matched));
    case Verdict::OnlyRefused:
        return used
            + tr("Their listing-link rule found only links to addresses on this computer or its "
                 "local network, which a page on the internet may not lead Listoro to.");
    case Verdict::OverBudget:
        return used
            + tr("Their listing-link rule took too much work on this page and was stopped.");
    case Verdict::Malformed:
    case Verdict::NotANodeSet:
        return used + tr("Their listing-link rule is not a valid query.");
    case Verdict::NoRule:
        break;
    }
    return used + tr("They have no listing-link rule.");
}
