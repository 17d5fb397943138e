#pragma once

#include "query/nodedictionary.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <chrono>
#include <memory>
#include <optional>

#include <libxml/tree.h>

// XPath over HTML or XML held in memory, with libxml2. Every call parses the bytes, copies the
// matched nodes out as NodeDictionary trees and frees the parsed document before it returns.
// Absent (std::nullopt) stands for "no list": unparseable bytes, a malformed expression, a
// result that is not a node set.
using NodeList = QList<std::shared_ptr<const NodeDictionary>>;

// How one evaluation went. Rules come from a downloaded document and from users, so the work
// one query may cost is bounded: an expression that needs too many steps or matches too many
// nodes matches nothing, and once a query has copied out many nodes, further matched nodes keep
// only their attributes and first child.
struct QueryOutcome
{
    enum class Status {
        Matched, // a node set, possibly empty
        NoDocument, // the bytes did not parse
        Malformed, // the expression does not compile or fails to evaluate
        NotANodeSet, // a number, string or boolean
        OverBudget, // too many evaluation steps or matched nodes, or too long
    };
    Status status = Status::Matched;
    // Nodes the expression selected (before the budget's cut).
    int matchedNodes = 0;
    // Subtrees were left out to keep within the budget.
    bool cut = false;
    // The evaluation was still running at its deadline and was left behind.
    bool abandoned = false;
};

// Evaluation steps and time one query may take, matched nodes it may yield, and nodes of their
// subtrees it copies out in full. The time also bounds what the steps do not count (merging the
// node sets between steps).
inline constexpr unsigned long maxXPathOperations = 20'000'000;
inline constexpr std::chrono::milliseconds maxXPathTime{ 2000 };
inline constexpr int maxMatchedNodes = 50'000;
inline constexpr int maxConvertedNodes = 200'000;

std::optional<NodeList> PerformHTMLXPathQuery(const QByteArray &document, const QString &query);
std::optional<NodeList> PerformXMLXPathQuery(const QByteArray &document, const QString &query);
std::optional<NodeList> PerformXPathQuery(const std::shared_ptr<xmlDoc> &document,
                                          const QString &query, QueryOutcome *outcome = nullptr);

// The dictionary of node and its subtree. With a parent dictionary and contentToParent, a text
// node gives its trimmed text to the parent as "nodeContent" and yields nothing itself.
std::shared_ptr<NodeDictionary> DictionaryForNode(xmlNode *node, NodeDictionary *parentDictionary,
                                                  bool contentToParent);
