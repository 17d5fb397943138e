#pragma once

#include <QString>

#include <unicode/uversion.h>

#include <memory>

U_NAMESPACE_BEGIN
class RegexPattern;
U_NAMESPACE_END

// An ICU regular expression, the engine and syntax the scrape rule sets are written for.
// Matching is unanchored: a match anywhere in the text counts.
class RegularExpression
{
public:
    // A pattern that does not compile gives an invalid expression that matches nothing.
    explicit RegularExpression(const QString &pattern, bool caseInsensitive = true);
    ~RegularExpression();
    RegularExpression(const RegularExpression &) = delete;
    RegularExpression &operator=(const RegularExpression &) = delete;

    enum class Outcome { NoMatch, Match, TooCostly };

    bool isValid() const { return pattern != nullptr; }
    // A search that takes more than a bounded number of steps is abandoned: TooCostly.
    Outcome match(const QString &text) const;
    bool hasMatch(const QString &text) const { return match(text) == Outcome::Match; }

private:
    std::unique_ptr<icu::RegexPattern> pattern;
};
