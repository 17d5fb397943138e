#include "common/testregistry.h"

#include "query/parseddocument.h"
#include "query/tfhpple.h"
#include "query/xpathquery.h"

#include <QElapsedTimer>
#include <QTest>

#include <libxml/tree.h>

class TestTFHpple : public QObject
{
    Q_OBJECT

private:
    static TFHpple page(const char *body)
    {
        return TFHpple::hppleWithHTMLData(QByteArray("<html><body>") + body + "</body></html>");
    }

private Q_SLOTS:
    void elementQuery_attributeTrimmedAndTextChild()
    {
        const TFHpple doc = page("<a href=' /cars/1.html '>Car</a>");
        const auto nodes = doc.searchWithXPathQuery(QStringLiteral("//a"));
        QCOMPARE(nodes.size(), 1);
        const auto &a = nodes.first();
        QCOMPARE(a->tagName(), QStringLiteral("a"));
        QVERIFY(a->content().isNull());
        QCOMPARE(a->objectForKey(QStringLiteral("href")), QStringLiteral("/cars/1.html"));
        QCOMPARE(a->attributes().value(QStringLiteral("href")), QStringLiteral("/cars/1.html"));
        QCOMPARE(a->firstChild()->content(), QStringLiteral("Car"));
        QVERIFY(a->firstChild()->isTextNode());
        QCOMPARE(a->text(), QStringLiteral("Car"));
    }

    void attributeQuery_nameAndUntrimmedValue()
    {
        const TFHpple doc = page("<a href=' /cars/1.html '>Car</a>");
        const auto nodes = doc.searchWithXPathQuery(QStringLiteral("//a/@href"));
        QCOMPARE(nodes.size(), 1);
        QCOMPARE(nodes.first()->tagName(), QStringLiteral("href"));
        QVERIFY(nodes.first()->content().isNull());
        QCOMPARE(nodes.first()->firstChild()->content(), QStringLiteral(" /cars/1.html "));
    }

    void whitespaceTextChild_isStillAChild()
    {
        const TFHpple doc = page("<a href='x'>   </a>");
        const auto a = doc.peekAtSearchWithXPathQuery(QStringLiteral("//a"));
        QVERIFY(a);
        const auto children = a->children();
        QCOMPARE(children.size(), 1);
        QCOMPARE(children.first()->content(), QStringLiteral("   "));
    }

    void childrenWithClassName_matchesWholeAttributeOnly()
    {
        const TFHpple doc
            = page("<div><p class='row'>a</p><p class='row big'>b</p><p class='row'>c</p></div>");
        const auto div = doc.peekAtSearchWithXPathQuery(QStringLiteral("//div"));
        QVERIFY(div);
        const auto rows = div->childrenWithClassName(QStringLiteral("row"));
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows.at(0)->text(), QStringLiteral("a"));
        QCOMPARE(rows.at(1)->text(), QStringLiteral("c"));
        QCOMPARE(div->firstChildWithClassName(QStringLiteral("row big"))->text(),
                 QStringLiteral("b"));
        QCOMPARE(div->childrenWithTagName(QStringLiteral("p")).size(), 3);
        QVERIFY(!div->firstChildWithTagName(QStringLiteral("span")));
    }

    void queriesWithoutNodeSet_giveEmptyList_data()
    {
        QTest::addColumn<QString>("query");
        QTest::newRow("count") << QStringLiteral("count(//a)");
        QTest::newRow("string") << QStringLiteral("string(//a)");
        QTest::newRow("boolean") << QStringLiteral("boolean(//a)");
        QTest::newRow("malformed") << QStringLiteral("//a[@href=");
        QTest::newRow("empty") << QStringLiteral("");
        QTest::newRow("absent") << QString();
        QTest::newRow("no match") << QStringLiteral("//table");
    }
    void queriesWithoutNodeSet_giveEmptyList()
    {
        QFETCH(QString, query);
        const TFHpple doc = page("<a href='x'>y</a>");
        QVERIFY(doc.searchWithXPathQuery(query).isEmpty());
        QVERIFY(!doc.peekAtSearchWithXPathQuery(query));
    }

    void children_areNewObjectsWithEqualDataAndWeakParent()
    {
        const TFHpple doc = page("<ul><li>1</li><li>2</li></ul>");
        auto ul = doc.peekAtSearchWithXPathQuery(QStringLiteral("//ul"));
        const auto first = ul->children();
        const auto second = ul->children();
        QCOMPARE(first.size(), 2);
        QVERIFY(first.at(0) != second.at(0));
        QCOMPARE(first.at(0)->text(), second.at(0)->text());
        QCOMPARE(first.at(0)->parent(), ul);
        ul.reset();
        QVERIFY(!first.at(0)->parent());
        QCOMPARE(first.at(1)->text(), QStringLiteral("2"));
    }

    void nodeMatchedWithAncestor_isConvertedTwice()
    {
        const TFHpple doc = page("<div><span>x</span></div>");
        const auto nodes = doc.searchWithXPathQuery(QStringLiteral("//div | //span"));
        QCOMPARE(nodes.size(), 2);
        QCOMPARE(nodes.at(0)->tagName(), QStringLiteral("div"));
        QCOMPARE(nodes.at(0)->firstChild()->tagName(), QStringLiteral("span"));
        QCOMPARE(nodes.at(1)->tagName(), QStringLiteral("span"));
    }

    void duplicateAttributes_lastWins()
    {
        // libxml2 keeps one of two same-named attributes, so the node is made by hand.
        auto node = std::make_shared<NodeDictionary>();
        node->nodeName = QStringLiteral("a");
        node->nodeAttributeArray = { { QStringLiteral("k"), QStringLiteral("1"), nullptr },
                                     { QStringLiteral("j"), QStringLiteral("2"), nullptr },
                                     { QStringLiteral("k"), QStringLiteral("3"), nullptr } };
        const TFHppleElement a(node);
        QCOMPARE(a.attributes().size(), 2);
        QCOMPARE(a.attributes().value(QStringLiteral("k")), QStringLiteral("3"));
        QCOMPARE(a.objectForKey(QStringLiteral("k")), QStringLiteral("3"));
        QVERIFY(a.objectForKey(QStringLiteral("missing")).isNull());
    }

    void nodeWithoutSharedOwner_hasChildrenWithoutParent()
    {
        auto text = std::make_shared<NodeDictionary>();
        text->nodeName = QStringLiteral("text");
        text->nodeContent = QStringLiteral("t");
        auto node = std::make_shared<NodeDictionary>();
        node->nodeChildArray = { text };
        TFHppleElement element(node);
        QCOMPARE(element.children().size(), 1);
        QVERIFY(!element.firstChild()->parent());
        QCOMPARE(element.text(), QStringLiteral("t"));
    }

    void brokenHtml_isRepairedAndQueried()
    {
        const TFHpple doc = TFHpple::hppleWithHTMLData(
            "<html><body><ul><li><a href='/1'>one<li><a href='/2'>two</ul><p>unclosed");
        const auto links = doc.searchWithXPathQuery(QStringLiteral("//li/a"));
        QCOMPARE(links.size(), 2);
        QCOMPARE(links.at(1)->objectForKey(QStringLiteral("href")), QStringLiteral("/2"));
    }

    void unparseableBytes_giveEmptyList()
    {
        QVERIFY(TFHpple::hppleWithHTMLData(QByteArray())
                    .searchWithXPathQuery(QStringLiteral("//a"))
                    .isEmpty());
        QVERIFY(TFHpple::hppleWithXMLData(QByteArray("\0\0\0", 3))
                    .searchWithXPathQuery(QStringLiteral("//a"))
                    .isEmpty());
    }

    void documentAndCommentNodes_areConvertedSafely()
    {
        const TFHpple doc = TFHpple::hppleWithHTMLData(
            "<!DOCTYPE html><html><body><!-- note --><p>t</p></body></html>");
        const auto root = doc.searchWithXPathQuery(QStringLiteral("/"));
        QCOMPARE(root.size(), 1);
        QVERIFY(root.first()->hasChildren());
        const auto comments = doc.searchWithXPathQuery(QStringLiteral("//comment()"));
        QCOMPARE(comments.size(), 1);
        QCOMPARE(comments.first()->content(), QStringLiteral(" note "));
        // Namespace nodes are another structure in libxml2: left out, never read as elements.
        QueryOutcome outcome;
        const auto namespaces
            = ParsedDocument::html(doc.data()).query(QStringLiteral("//p/namespace::*"), &outcome);
        QVERIFY(outcome.matchedNodes > 0);
        QVERIFY(namespaces && namespaces->isEmpty());
    }

    // libxml2's parsers stop nesting at 256 levels, but a tree built otherwise has no bound:
    // 200,000 levels would overflow the stack without the cut.
    void deepTree_isCutInsteadOfExhaustingTheStack()
    {
        xmlDocPtr document = xmlNewDoc(BAD_CAST "1.0");
        xmlNodePtr root = xmlNewNode(nullptr, BAD_CAST "div");
        xmlDocSetRootElement(document, root);
        xmlNodePtr parent = root;
        for (int i = 0; i < 200000; ++i)
            parent = xmlNewChild(parent, nullptr, BAD_CAST "div", nullptr);
        const auto dictionary = DictionaryForNode(root, nullptr, false);
        xmlFreeDoc(document);
        QVERIFY(dictionary);
        int depth = 0;
        for (const NodeDictionary *node = dictionary.get(); !node->nodeChildArray.isEmpty();
             node = node->nodeChildArray.first().get())
            ++depth;
        QVERIFY2(depth > 100 && depth <= 1025, qPrintable(QString::number(depth)));
    }

    // A page of n paragraphs under one root.
    static QByteArray paragraphs(int n, const QByteArray &inner = "x")
    {
        QByteArray html = "<html><body>";
        html.reserve(n * (inner.size() + 7) + 100);
        for (int i = 0; i < n; ++i)
            html += "<p>" + inner + "</p>";
        return html + "</body></html>";
    }

    void manyMatchedSubtrees_areCutButKeepTheirFirstChild()
    {
        // Eight nodes a paragraph: the root's subtree alone is over the budget.
        const int n = maxConvertedNodes / 5;
        QueryOutcome outcome;
        const auto nodes = ParsedDocument::html(paragraphs(n, "x<b>y</b><i>z</i><u>w</u>"))
                               .query(QStringLiteral("/html | //p"), &outcome);
        QVERIFY(nodes);
        QCOMPARE(nodes->size(), n + 1);
        QVERIFY(outcome.cut);
        QCOMPARE(outcome.status, QueryOutcome::Status::Matched);
        // The last paragraph came after the budget: still its name and its text.
        TFHppleElement last(nodes->last());
        QCOMPARE(last.tagName(), QStringLiteral("p"));
        QCOMPARE(last.firstChild()->content(), QStringLiteral("x"));
    }

    // 200 nested divs around 5,000 links (140 KB): each step's node sets are merged at a cost
    // that grows with the square of the page, which the step count does not see.
    static QByteArray nestedLinks()
    {
        QByteArray html = "<html><body>";
        for (int i = 0; i < 200; ++i)
            html += "<div>";
        for (int i = 0; i < 5000; ++i)
            html += "<a href='/" + QByteArray::number(i) + "'>x</a>";
        return html + "</body></html>";
    }

    void expensiveQueries_matchNothing_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<QString>("query");
        QTest::newRow("quadratic") << paragraphs(8000) << QStringLiteral("//*[count(//*) > 0]");
        QTest::newRow("too many matches")
            << paragraphs(maxMatchedNodes + 10) << QStringLiteral("//p");
        QTest::newRow("merges between steps") << nestedLinks() << QStringLiteral("//*//*//a");
    }
    void expensiveQueries_matchNothing()
    {
        QFETCH(QByteArray, page);
        QFETCH(QString, query);
        QueryOutcome outcome;
        QElapsedTimer timer;
        timer.start();
        const auto nodes = ParsedDocument::html(page).query(query, &outcome);
        QCOMPARE(outcome.status, QueryOutcome::Status::OverBudget);
        QVERIFY(nodes);
        QVERIFY(nodes->isEmpty());
        // The time bound and what one merge under way may add, with room for a loaded machine.
        QCOMPARE_LT(timer.elapsed(), maxXPathTime.count() + 8000);
        QVERIFY(TFHpple::hppleWithHTMLData(page).searchWithXPathQuery(query).isEmpty());
    }

    void embeddedJson_readsAsElements_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("json-ld member")
            << QStringLiteral("//script[1]/json/offers/price") << QStringList{ "2010" };
        QTest::newRow("key that is no name")
            << QStringLiteral("//script[@id='state']/json/_[@key='Listing:17']/posted")
            << QStringList{ "2026-03-16T13:29:54Z" };
        QTest::newRow("array items, numbers, booleans")
            << QStringLiteral("//script[@id='state']/json/photos/item | //json/n/item")
            << QStringList{ "201000", "0.5", "true", "", "a.jpg", "b.jpg" }; // members by key
        QTest::newRow("broken json adds nothing")
            << QStringLiteral("//script[@id='broken']/json") << QStringList();
        QTest::newRow("queries that name no json see the page only")
            << QStringLiteral("//script/*") << QStringList();
    }
    void embeddedJson_readsAsElements()
    {
        QFETCH(QString, query);
        QFETCH(QStringList, texts);
        const TFHpple doc = page(
            "<script type=' Application/LD+JSON '>{\"@type\":\"Offer\",\"offers\":{\"price\":"
            "\"2010\"}}</script><script id='state' type='application/json'>{\"Listing:17\":"
            "{\"posted\":\"2026-03-16T13:29:54Z\"},\"photos\":[\"a.jpg\",\"b.jpg\"],\"n\":"
            "[201000,0.5,true,null]}</script><script id='broken' type='application/json'>"
            "{\"a\":</script><p>text</p>");
        QStringList found;
        for (const auto &node : doc.searchWithXPathQuery(query))
            found << node->text();
        QCOMPARE(found, texts);
    }

    void encoding_textReadsAsThePageIsWritten_data()
    {
        QTest::addColumn<QByteArray>("html");
        QTest::addColumn<QString>("title");
        QTest::newRow("undeclared utf-8")
            << QByteArray("<html><body><h2>Caf\xC3\xA9 \xE2\x82\xAC 5</h2></body></html>")
            << QStringLiteral("Café € 5");
        QTest::newRow("declared latin-1")
            << QByteArray("<html><head><meta charset='iso-8859-1'></head><body><h2>Caf\xE9</h2>"
                          "</body></html>")
            << QStringLiteral("Café");
        QTest::newRow("undeclared latin-1 bytes")
            << QByteArray("<html><body><h2>Caf\xE9</h2></body></html>") << QStringLiteral("Café");
        // One stray byte in a UTF-8 page is one replacement character, and the rest stays UTF-8.
        const QString stray = QStringLiteral("a\uFFFD b|Café €");
        QTest::newRow("declared utf-8, stray byte")
            << QByteArray("<html><head><meta charset=\"UTF-8\"></head><body><h2>a\xFF b</h2>"
                          "<h2>Caf\xC3\xA9 \xE2\x82\xAC</h2></body></html>")
            << stray;
        QTest::newRow("http-equiv utf-8, stray byte")
            << QByteArray("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
                          "charset=utf-8\"></head><body><h2>a\xFF b</h2><h2>Caf\xC3\xA9 "
                          "\xE2\x82\xAC</h2></body></html>")
            << stray;
        QTest::newRow("undeclared, mostly utf-8, truncated sequence")
            << QByteArray("<html><body><h2>a\xE2\x82 b</h2><h2>Caf\xC3\xA9 \xE2\x82\xAC</h2>"
                          "</body></html>")
            << QStringLiteral("a\uFFFD\uFFFD b|Café €");
        QTest::newRow("byte order mark")
            << QByteArray("\xEF\xBB\xBF<html><body><h2>Caf\xC3\xA9</h2></body></html>")
            << QStringLiteral("Café");
        QTest::newRow("overlong and surrogate are invalid")
            << QByteArray("<html><head><meta charset=utf-8></head><body><h2>\xC0\xAF|\xED\xA0\x80"
                          "</h2></body></html>")
            << QStringLiteral("\uFFFD\uFFFD|\uFFFD\uFFFD\uFFFD");
    }
    void encoding_textReadsAsThePageIsWritten()
    {
        QFETCH(QByteArray, html);
        QFETCH(QString, title);
        QStringList texts;
        for (const auto &h2 :
             TFHpple::hppleWithHTMLData(html).searchWithXPathQuery(QStringLiteral("//h2")))
            texts << h2->text();
        QCOMPARE(texts.join(u'|'), title);
    }
};

LISTORO_TEST(TestTFHpple)
#include "tst_tfhpple.moc"
