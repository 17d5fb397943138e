#pragma once

#include <QByteArray>

// Rewrites an XPath expression into an equivalent one that libxml2 evaluates in time linear in
// the page. libxml2 evaluates "//a[p]" as "/descendant-or-self::node()/child::a[p]": every node
// under every context node goes into one set, merged with a duplicate check that grows with the
// set, so "//li[p]//a[q]" on a page of 5000 rows takes seconds. Where the step's predicates do
// not depend on the node's position among its siblings, "//a[p]" selects the same nodes as
// "/descendant::a[p]", which libxml2 walks once. Any other "//" is left as written.
namespace XPathRewrite {

QByteArray withDescendantSteps(const QByteArray &expression);

} // namespace XPathRewrite
