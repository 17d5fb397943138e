#include "platform/regularexpression.h"

#include <unicode/regex.h>
#include <unicode/unistr.h>

namespace {

constexpr int32_t timeLimitSteps = 500;

icu::UnicodeString toUnicode(const QString &text)
{
    return icu::UnicodeString(reinterpret_cast<const UChar *>(text.utf16()), int32_t(text.size()));
}

} // namespace

RegularExpression::RegularExpression(const QString &text, bool caseInsensitive)
{
    UErrorCode status = U_ZERO_ERROR;
    UParseError parseError;
    std::unique_ptr<icu::RegexPattern> compiled(icu::RegexPattern::compile(
        toUnicode(text), caseInsensitive ? UREGEX_CASE_INSENSITIVE : 0, parseError, status));
    if (U_SUCCESS(status))
        pattern = std::move(compiled);
}

RegularExpression::~RegularExpression() = default;

RegularExpression::Outcome RegularExpression::match(const QString &text) const
{
    if (!pattern)
        return Outcome::NoMatch;
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString input = toUnicode(text);
    std::unique_ptr<icu::RegexMatcher> matcher(pattern->matcher(input, status));
    if (U_FAILURE(status) || !matcher)
        return Outcome::NoMatch;
    // Patterns come from a downloaded document: bound the work a pathological one can cause.
    matcher->setTimeLimit(timeLimitSteps, status);
    const bool found = matcher->find(status);
    if (status == U_REGEX_TIME_OUT)
        return Outcome::TooCostly;
    return U_SUCCESS(status) && found ? Outcome::Match : Outcome::NoMatch;
}
