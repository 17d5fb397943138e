#include "common/testregistry.h"

#include "query/tfhpple.h"
#include "query/xpathquery.h"

#include <QTest>

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
        // libxml2 keeps only the first of duplicate attributes in HTML; XML recovery keeps both
        // or drops one. Either way attributes() and objectForKey() agree.
        const TFHpple doc = TFHpple::hppleWithXMLData("<r><a k='1' j='2'/></r>");
        const auto a = doc.peekAtSearchWithXPathQuery(QStringLiteral("//a"));
        QVERIFY(a);
        QCOMPARE(a->attributes().size(), 2);
        QCOMPARE(a->objectForKey(QStringLiteral("j")), QStringLiteral("2"));
        QVERIFY(a->objectForKey(QStringLiteral("missing")).isNull());
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
        QVERIFY(doc.searchWithXPathQuery(QStringLiteral("//namespace::*")).size() >= 0);
    }

    void deepNesting_doesNotExhaustTheStack()
    {
        QByteArray html = "<html><body>";
        for (int i = 0; i < 5000; ++i)
            html += "<div>";
        html += "deep";
        const TFHpple doc = TFHpple::hppleWithHTMLData(html);
        QVERIFY(!doc.searchWithXPathQuery(QStringLiteral("//body")).isEmpty());
    }

    void encoding_undeclaredUtf8IsReadAsUtf8_data()
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
    }
    void encoding_undeclaredUtf8IsReadAsUtf8()
    {
        QFETCH(QByteArray, html);
        QFETCH(QString, title);
        const auto h2
            = TFHpple::hppleWithHTMLData(html).peekAtSearchWithXPathQuery(QStringLiteral("//h2"));
        QVERIFY(h2);
        QCOMPARE(h2->text(), title);
    }

    void undeclaredEncoding_detection_data()
    {
        QTest::addColumn<QByteArray>("html");
        QTest::addColumn<QByteArray>("encoding");
        QTest::newRow("ascii") << QByteArray("<p>x</p>") << QByteArray("UTF-8");
        QTest::newRow("meta charset")
            << QByteArray("<meta charset=\"utf-8\"><p>x</p>") << QByteArray();
        QTest::newRow("http-equiv") << QByteArray("<meta http-equiv='Content-Type' "
                                                  "content='text/html; charset=windows-1252'>")
                                    << QByteArray();
        QTest::newRow("bom") << QByteArray("\xEF\xBB\xBF<p>x</p>") << QByteArray();
        QTest::newRow("invalid utf-8") << QByteArray("<p>\xFF\xFE x</p>") << QByteArray();
    }
    void undeclaredEncoding_detection()
    {
        QFETCH(QByteArray, html);
        QFETCH(QByteArray, encoding);
        QCOMPARE(undeclaredHtmlEncoding(html), encoding);
    }
};

LISTORO_TEST(TestTFHpple)
#include "tst_tfhpple.moc"
