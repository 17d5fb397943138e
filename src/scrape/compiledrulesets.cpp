#include "scrape/compiledrulesets.h"

#include "platform/regularexpression.h"

CompiledRuleSets::CompiledRuleSets(const QList<ZestoScrapeSetting> &list)
    : ruleSets(list)
{
    patterns.reserve(size_t(list.size()));
    for (const ZestoScrapeSetting &setting : list) {
        std::unique_ptr<RegularExpression> pattern;
        if (!setting.regex().isNull()) {
            pattern = std::make_unique<RegularExpression>(setting.regex());
            if (!pattern->isValid()) {
                m_unusable.append(setting.displayName());
                pattern.reset();
            }
        }
        patterns.push_back(std::move(pattern));
    }
}

CompiledRuleSets::~CompiledRuleSets() = default;

std::optional<ZestoScrapeSetting> CompiledRuleSets::first(const QString &url) const
{
    for (qsizetype i = 0; i < ruleSets.size(); ++i) {
        if (patterns[size_t(i)] && patterns[size_t(i)]->hasMatch(url))
            return ruleSets.at(i);
    }
    return std::nullopt;
}
