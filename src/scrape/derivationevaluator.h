#pragma once

#include "query/parseddocument.h"
#include "query/tfhpple.h"
#include "query/xpathwatchdog.h"
#include "scrape/rulederivation.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>

#include <libxml/tree.h>

// The derivation's queries share one deadline: candidates are tried query by query, and a page
// built to make each of them costly must still give an answer within a few seconds.
class DerivationEvaluator
{
public:
    using Clock = XPathWatchdog::Clock;

    explicit DerivationEvaluator(const ParsedDocument &document);

    // Parses page once, for the derivation and for the scrapes that try its rules, and settles
    // what derive gives on it; a page that does not parse cannot be read.
    static RuleDerivation::Result onPage(
        const QByteArray &page,
        const std::function<RuleDerivation::Result(const TFHpple &, DerivationEvaluator &)>
            &derive);

    xmlDoc *document() const { return doc.get(); }

    // The nodes query selects from node (the document when null); empty when it fails, and
    // for every query once the deadline has passed.
    QList<xmlNode *> nodes(const QString &query, xmlNode *from = nullptr);

    // What derive gives, or that the page is too costly to learn from once the deadline passed
    // on the way (what was derived by then rests on queries that came back empty).
    RuleDerivation::Result settle(const std::function<RuleDerivation::Result()> &derive);

private:
    std::shared_ptr<xmlDoc> doc;
    Clock::time_point deadline;
    bool timedOut = false;
};
