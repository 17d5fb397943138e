#pragma once

#include "query/tfhpple.h"

#include <QHash>
#include <QList>
#include <QString>

// Gives each listing of a results page the value a per-row rule ("price", "date") found in its
// row. Query results carry no place in the page, so the link and value queries are asked once
// more as one union, which XPath returns in document order; a value then belongs either to the
// listing whose link comes before it or to the one whose link comes after it. Of the two
// readings the one that leaves fewer values without a listing, or gives fewer listings two
// values, is taken (a tie: the link before, as a title usually precedes its price). A listing
// whose row has no value gets none.
namespace RowValues {

// linkListings: for each node of the link query in page order, its listing's index, or -1 for
// a node that made no listing. Returns listing index to value text.
QHash<int, QString> match(const TFHpple &document, const QString &linkQuery,
                          const QList<int> &linkListings, const QString &valueQuery,
                          const QString &valueExtract);

} // namespace RowValues
