#include "scrape/derivationevaluator.h"

#include "query/xpathevaluation.h"
#include "scrape/derivationmarkup.h"

#include <libxml/xpath.h>

DerivationEvaluator::DerivationEvaluator(const ParsedDocument &document)
    : doc(document.shared())
    , deadline(Clock::now() + RuleDerivation::timeBudget())
{
}

RuleDerivation::Result DerivationEvaluator::onPage(
    const QByteArray &page,
    const std::function<RuleDerivation::Result(const TFHpple &, DerivationEvaluator &)> &derive)
{
    const TFHpple parsed = TFHpple::hppleWithHTMLData(page);
    if (!parsed.document().isValid()) {
        RuleDerivation::Result unread;
        unread.error = DerivationMarkup::tr("The page could not be read.");
        return unread;
    }
    DerivationEvaluator evaluate(parsed.document());
    return evaluate.settle([&] { return derive(parsed, evaluate); });
}

QList<xmlNode *> DerivationEvaluator::nodes(const QString &query, xmlNode *from)
{
    QList<xmlNode *> found;
    if (!doc || timedOut)
        return found;
    const Clock::duration left = deadline - Clock::now();
    if (left <= Clock::duration::zero()) {
        timedOut = true;
        return found;
    }
    const XPathEvaluation evaluation
        = XPathEvaluation::run(doc, from, query.toUtf8(), 5'000'000, left);
    // A query over its step limit matches nothing; one past the deadline ends the
    // derivation.
    timedOut = evaluation.status == XPathEvaluation::Status::Abandoned || Clock::now() >= deadline;
    const xmlXPathObjectPtr result = evaluation.result;
    if (!timedOut && result && result->type == XPATH_NODESET && result->nodesetval) {
        for (int i = 0; i < result->nodesetval->nodeNr; ++i)
            found.append(result->nodesetval->nodeTab[i]);
    }
    return found;
}

RuleDerivation::Result DerivationEvaluator::settle(
    const std::function<RuleDerivation::Result()> &derive)
{
    RuleDerivation::Result result = derive();
    if (timedOut) {
        qCDebug(lcDerivation) << "derivation over its budget of"
                              << RuleDerivation::timeBudget().count() << "ms";
        result = {};
        result.error = DerivationMarkup::tr(
            "This page is too irregular to learn from: try another page of the "
            "site.");
    }
    return result;
}
