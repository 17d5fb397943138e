#include "common/testregistry.h"

#include "query/parseddocument.h"
#include "query/xpathquery.h"
#include "query/xpathrewrite.h"

#include <QTest>

#include <libxml/xpath.h>

using namespace Qt::StringLiterals;

// Descendant steps: "//" before a position-free step becomes "/descendant::", which selects the
// same nodes, and nothing else is touched.

namespace {

// Nested rows with several links each, so that "//" and descendant differ wherever a rewrite
// would be wrong (positions among siblings, nested matches).
const QByteArray page = R"(<html><body>
<ul><li class="row"><a href="/1">one</a><a>no href</a><div><a href="/1b">deep</a></div></li>
<li class="row x"><p><a href="/2">two</a></p><ul><li class="row"><a href="/3">three</a></li></ul></li>
<li><a href="/4">four</a><a href="/5">five</a></li></ul>
<div id="d"><div><div><span>s1</span><span>s2</span></div><span>s3</span></div></div>
</body></html>)";

// The nodes expression selects on the page, evaluated by libxml2 as written.
QList<const void *> nodes(const ParsedDocument &document, const QByteArray &expression)
{
    QList<const void *> found;
    xmlXPathContextPtr context = xmlXPathNewContext(document.get());
    xmlXPathObjectPtr result = xmlXPathEvalExpression(
        reinterpret_cast<const xmlChar *>(expression.constData()), context);
    if (result && result->nodesetval) {
        for (int i = 0; i < result->nodesetval->nodeNr; ++i)
            found.append(result->nodesetval->nodeTab[i]);
    }
    xmlXPathFreeObject(result);
    xmlXPathFreeContext(context);
    return found;
}

} // namespace

class TestXPathRewrite : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sameNodes_data()
    {
        QTest::addColumn<QByteArray>("expression");
        QTest::addColumn<QByteArray>("rewritten");
        const auto same = [](const char *name, const QByteArray &expression) {
            QTest::newRow(name) << expression << expression;
        };
        QTest::newRow("class test")
            << QByteArray("//li[contains(concat(' ', normalize-space(@class), ' '), ' row ')]"
                          "//a[@href]")
            << QByteArray("/descendant::li[contains(concat(' ', normalize-space(@class), ' '), "
                          "' row ')]/descendant::a[@href]");
        QTest::newRow("comparison, then more") << QByteArray("//*[@id = 'd']//span[. != 's3']")
                                               << QByteArray("/descendant::*[@id = 'd']"
                                                             "/descendant::span[. != 's3']");
        QTest::newRow("relative, two predicates")
            << QByteArray(".//a[@href][not(ancestor::p)]")
            << QByteArray("./descendant::a[@href][not(ancestor::p)]");
        QTest::newRow("nested position stays inside")
            << QByteArray("//li[a[2]]") << QByteArray("/descendant::li[a[2]]");
        QTest::newRow("inside a literal, inside a predicate")
            << QByteArray("//a[@href != '//x[1]' and .//text()]")
            << QByteArray("/descendant::a[@href != '//x[1]' and .//text()]");
        same("number", "//a[1]");
        same("last", "//a[last()]");
        same("position in a comparison", "//a[position() < 2]");
        same("position in a function", "//a[not(position() = 1)]");
        same("positional after a filter", "//a[@href][1]");
        same("count", "//li[count(a)]");
        same("arithmetic", "//a[1 + 0]");
        same("variable-free paren", "//a[(1)]");
        same("no predicate", "//li//a");
        same("axis", "//descendant::a[@href]");
        same("node test", "//text()[contains(., 'o')]");
        same("attribute", "//@href[. = '/1']");
        same("open literal", "//a[@href = 'x]");
    }
    void sameNodes()
    {
        QFETCH(QByteArray, expression);
        QFETCH(QByteArray, rewritten);
        QCOMPARE(XPathRewrite::withDescendantSteps(expression), rewritten);
        const ParsedDocument document = ParsedDocument::html(page);
        if (expression != rewritten)
            QCOMPARE(nodes(document, rewritten), nodes(document, expression));
    }

    // A results page of 5000 rows, each link under its row: linear once rewritten, where
    // libxml2's merges took seconds and the query ended over budget.
    void manyRows_matchWithinBudget()
    {
        QByteArray html("<html><body><ul>");
        for (int i = 0; i < 5000; ++i)
            html += "<li class=\"result-row\"><a class=\"result-image\" href=\"/"
                + QByteArray::number(i)
                + "\"><img src=\"x.jpg\"></a><p><span class=\"date\">now</span><a "
                  "class=\"result-title\" href=\"/"
                + QByteArray::number(i) + "\">Item</a><span><b>$1</b><i>place</i></span></p></li>";
        html += "</ul></body></html>";
        QueryOutcome outcome;
        const auto found = PerformXPathQuery(
            ParsedDocument::html(html).shared(),
            u"//li[contains(concat(' ', normalize-space(@class), ' '), ' result-row ')]"
            u"//a[contains(concat(' ', normalize-space(@class), ' '), ' result-title ')][@href]"_s,
            &outcome);
        QCOMPARE(outcome.status, QueryOutcome::Status::Matched);
        QCOMPARE(found->size(), 5000);
    }
};

LISTORO_TEST(TestXPathRewrite)
#include "tst_xpathrewrite.moc"
