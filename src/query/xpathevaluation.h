#pragma once

#include "query/xpathwatchdog.h"

#include <QByteArray>

#include <memory>

#include <libxml/tree.h>
#include <libxml/xpath.h>

// One XPath evaluation on a thread of its own, waited for until its deadline. libxml2 checks its
// step limit between steps, and the watchdog lowers it at the deadline, but one merge of node
// sets already under way (quadratic in the nodes a step yields) runs to its end: the caller gives
// up on it, and the evaluation, left behind, frees what it made and lets the document go when it
// ends. The document is shared for that reason.
struct XPathEvaluation
{
    enum class Status {
        Done, // result holds what libxml2 gave (null when the expression failed)
        OverBudget, // past the step limit or the deadline; result is null
        Abandoned, // still running at the deadline and left behind; result is null
    };

    // Evaluates expression on document from node (the document when null), with at most opLimit
    // steps and budget time.
    static XPathEvaluation run(const std::shared_ptr<xmlDoc> &document, xmlNode *from,
                               const QByteArray &expression, unsigned long opLimit,
                               XPathWatchdog::Clock::duration budget);

    XPathEvaluation() = default;
    XPathEvaluation(XPathEvaluation &&other) noexcept;
    XPathEvaluation &operator=(XPathEvaluation &&other) noexcept;
    ~XPathEvaluation();

    Status status = Status::Done;
    // Owned: freed with this evaluation.
    xmlXPathObjectPtr result = nullptr;
};
