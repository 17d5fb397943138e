#include "common/testregistry.h"

#include "query/tfhpple.h"
#include "query/xpathliteral.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestXPathLiteral : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The literal selects the one element holding exactly that value, beside a script and
    // elements the value's quotes would reach if pasted.
    void quoted_selectsExactlyTheValue_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("plain") << u"listing"_s;
        QTest::newRow("apostrophe") << u"Joe's ')or(' bikes"_s;
        QTest::newRow("double quote") << u"19\" wheels \")or(\""_s;
        QTest::newRow("both") << u"a'] | //script | //x[@a='\"'"_s;
        QTest::newRow("both, at the ends") << u"'\"x\"'"_s;
        QTest::newRow("empty") << QString();
    }

    void quoted_selectsExactlyTheValue()
    {
        QFETCH(QString, value);
        const QByteArray html
            = u"<html><body><script>var s;</script><p title='x'>decoy</p>"
              u"<p title=\"%1\">hit</p><x a=''>decoy</x></body></html>"_s.arg(value.toHtmlEscaped())
                  .toUtf8();
        const TFHpple page = TFHpple::hppleWithHTMLData(html);
        const auto found
            = page.searchWithXPathQuery(u"//*[@title=%1]"_s.arg(XPathLiteral::quoted(value)));
        QCOMPARE(found.size(), 1);
        QCOMPARE(found.first()->text(), u"hit"_s);
    }
};

LISTORO_TEST(TestXPathLiteral)
#include "tst_xpathliteral.moc"
