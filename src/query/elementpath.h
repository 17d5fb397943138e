#pragma once

#include <QString>

#include <libxml/tree.h>

// Where an element sits in a page, written /html[1]/body[1]/ul[2]/li[3]/a[1]: from the root
// down, each element's tag and its position (from 1) among its parent's elements of that tag,
// as a browser gives it for the element a user clicked. The steps are read as names and
// numbers, never evaluated as a query, so odd tag names cannot make the path select anything.
namespace ElementPath {

// The element path leads to in document; null when there is none or path is no such path.
// A tbody step the document lacks is passed over: browsers add it to tables written without.
xmlNode *find(xmlDoc *document, const QString &path);

} // namespace ElementPath
