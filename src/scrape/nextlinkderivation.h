#pragma once

#include "scrape/rulederivation.h"

#include <QString>

class DerivationEvaluator;

// The next-page rule of a results page: from the link the user names, or from the link the page
// itself marks as leading to the next page.
namespace NextLinkDerivation {

// The rule that finds the link next names (its target as the result's value).
RuleDerivation::Result fromExample(DerivationEvaluator &evaluate, const QString &url,
                                   const RuleDerivation::Example &next);

// The rule of the link the page marks as its next page, when one is marked; an error when none
// is.
RuleDerivation::Result fromPage(DerivationEvaluator &evaluate, const QString &url);

} // namespace NextLinkDerivation
