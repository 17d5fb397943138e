#pragma once

#include "platform/addresspolicy.h"
#include "query/tfhpple.h"
#include "scrape/zestoscrapesetting.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// How each rule of a rule set fared on one page: the nodes its query matched, the values its
// directive took from them and a verdict. It tells "this page has nothing" from "the rules no
// longer fit the page": the tool prints it with --check, the browser screen says it when a page
// yields no listing links.
class RuleHealth
{
public:
    enum class PageKind { Results, Listing };
    enum class Verdict {
        Ok,
        // Matched nothing on a page that shows none of what the rule reads: the last page of
        // results for the next rule, a listing without photos for a photo rule.
        NoneOnPage,
        NoMatch,
        NoValue, // nodes matched, but none gave a value
        OnlyRefused, // every address the rule gave is one the system does not fetch
        OverBudget,
        Malformed,
        NotANodeSet,
        NoDocument, // the page did not parse
        NoRule, // the rule set lacks a rule the page needs
    };

    struct Check
    {
        QString key;
        QString query;
        QString extract;
        int matched = 0;
        // Matched nodes that gave a usable value (for links and photos: one that forms a URL the
        // system may fetch).
        int values = 0;
        // Links and photos whose address is out of reach.
        int refused = 0;
        Verdict verdict = Verdict::NoRule;
        // The page kind needs what this rule gives (listing links; a title; photos).
        bool needed = false;
    };

    // Evaluates every rule the set has, and the needed rules it lacks, on the page that came
    // from pageUrl (links and photos resolve against it, and are judged by reach: as the page's
    // address tells without a lookup, unless given).
    static RuleHealth check(const TFHpple &page, const QString &pageUrl, PageKind kind,
                            const std::optional<ZestoScrapeSetting> &rules,
                            std::optional<AddressPolicy::Reach> reach = {});
    static RuleHealth check(const QByteArray &page, const QString &pageUrl, PageKind kind,
                            const std::optional<ZestoScrapeSetting> &rules,
                            std::optional<AddressPolicy::Reach> reach = {});

    PageKind pageKind() const { return kind; }
    bool hasRuleSet() const { return ruleSet.has_value(); }
    // The rule set's name (its pattern when unnamed); null without a rule set.
    QString ruleSetName() const;
    const QList<Check> &checks() const { return rulesChecked; }
    const Check *checkOf(QStringView key) const;
    // The links or photos left out as out of reach, each once, in page order.
    const QList<AddressPolicy::Refusal> &refusals() const { return refusedAddresses; }
    // Adds the addresses the rule of ruleKey gave that a lookup found out of reach, once each;
    // they no longer count as usable values.
    void addRefusals(QStringView ruleKey, const QList<AddressPolicy::Refusal> &refusals);
    // The stored rule sets never chosen for any page because their pattern does not compile.
    const QStringList &skippedRuleSets() const { return skipped; }

    // What the page kind needs that no rule gave: "link" on a results page, "title" and
    // "photos" on a listing page; everything the kind needs when there is no rule set.
    QStringList unmetNeeds() const;
    // Whether the rule of ruleKey gives what need (as unmetNeeds() names it) asks for.
    static bool serves(QStringView ruleKey, QStringView need);

    // The verdict as the tool prints it: "ok", "no match", "matched, but no value" ...
    static QString verdictText(Verdict verdict);
    // One sentence for the user on what the listing-link rule did (results pages).
    QString linkSummary() const;

private:
    QString linkSentence() const;

    PageKind kind = PageKind::Results;
    std::optional<ZestoScrapeSetting> ruleSet;
    QList<Check> rulesChecked;
    QList<AddressPolicy::Refusal> refusedAddresses;
    QStringList skipped;
};
