#pragma once

#include "scrape/zestoscrapesetting.h"

#include <QList>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class RegularExpression;

// Rule sets with their address patterns compiled once, for choosing among them many times. A
// rule set whose pattern does not compile is never chosen, and is named by unusable().
class CompiledRuleSets
{
public:
    explicit CompiledRuleSets(const QList<ZestoScrapeSetting> &list);
    ~CompiledRuleSets();
    CompiledRuleSets(const CompiledRuleSets &) = delete;
    CompiledRuleSets &operator=(const CompiledRuleSets &) = delete;

    // The first rule set whose pattern matches anywhere in url, case-insensitively.
    std::optional<ZestoScrapeSetting> first(const QString &url) const;
    // The names of the rule sets skipped because their pattern does not compile.
    const QStringList &unusable() const { return m_unusable; }
    const QList<ZestoScrapeSetting> &list() const { return ruleSets; }

private:
    QList<ZestoScrapeSetting> ruleSets;
    // By index of ruleSets; null where the set has no pattern or it does not compile.
    std::vector<std::unique_ptr<RegularExpression>> patterns;
    QStringList m_unusable;
};
