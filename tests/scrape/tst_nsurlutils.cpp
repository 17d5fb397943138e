#include "common/testregistry.h"

#include "scrape/nsurlutils.h"
#include "scrape/urlencoding.h"

#include <QTest>

class TestNsUrlUtils : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fixUrl_data()
    {
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("result");
        const QString p = "http://host/search/cars?q=1";
        QTest::newRow("absolute") << p << "http://other/item/1.html"
                                  << "http://other/item/1.html";
        QTest::newRow("scheme-relative") << p << "//other/item/1.html"
                                         << "http://other/item/1.html";
        QTest::newRow("root-relative") << p << "/item/1.html"
                                       << "http://host/item/1.html";
        QTest::newRow("relative") << p << "item/1.html"
                                  << "http://host/search/cars/item/1.html";
        QTest::newRow("dot-dot") << p << "../item/1.html"
                                 << "http://host/search/item/1.html";
        QTest::newRow("query") << p << "?page=2"
                               << "http://host/search/cars/?page=2";
        QTest::newRow("trailing slash") << p << "item/"
                                        << "http://host/search/cars/item";
        QTest::newRow("port, relative") << "http://host:8080/a/b.html"
                                        << "c.html"
                                        << "http://host:8080/a/b.html/c.html";
        QTest::newRow("port, root") << "http://host:8080/a/b.html"
                                    << "/c.html"
                                    << "http://host:8080/c.html";
        QTest::newRow("https root page") << "https://host/"
                                         << "x.html"
                                         << "https://host/x.html";
        QTest::newRow("port 80 dropped") << "https://host:80/"
                                         << "x.html"
                                         << "https://host/x.html";
        QTest::newRow("space") << p << "a b.html" << QString();
        QTest::newRow("absolute keeps dots") << p << "https://other/a/./b/../c.html"
                                             << "https://other/a/./b/../c.html";
        QTest::newRow("ftp") << p << "ftp://files/x.jpg"
                             << "ftp://files/x.jpg";
        // As a browser resolves them: the page's scheme, IPv6 literals in brackets.
        QTest::newRow("scheme-relative on https") << "https://host/a"
                                                  << "//img.host/1.jpg"
                                                  << "https://img.host/1.jpg";
        QTest::newRow("scheme-relative on upper-case HTTPS") << "HTTPS://host/a"
                                                             << "//img.host/1.jpg"
                                                             << "https://img.host/1.jpg";
        QTest::newRow("scheme-relative, no page") << QString() << "//img.host/1.jpg"
                                                  << "http://img.host/1.jpg";
        QTest::newRow("ipv6 absolute") << p << "http://[2001:db8::1]/x"
                                       << "http://[2001:db8::1]/x";
        QTest::newRow("ipv6 scheme-relative") << "https://host/a"
                                              << "//[2001:db8::1]:8080/x"
                                              << "https://[2001:db8::1]:8080/x";
        QTest::newRow("ipv6 page, root-relative") << "http://[2001:db8::1]:8080/a/b"
                                                  << "/x.html"
                                                  << "http://[2001:db8::1]:8080/x.html";
        QTest::newRow("ipv6 page, relative") << "https://[2001:db8::1]/a"
                                             << "x.html"
                                             << "https://[2001:db8::1]/a/x.html";
        QTest::newRow("empty page path") << "http://host"
                                         << "x.html"
                                         << "http://host/x.html";
        QTest::newRow("absent link") << p << QString() << QString();
        QTest::newRow("absent page, relative") << QString() << "x.html" << QString();
        QTest::newRow("absent page, absolute") << QString() << "http://a/b"
                                               << "http://a/b";
        QTest::newRow("upper-case scheme") << p << "HTTP://other/x"
                                           << "http://other/x";
        QTest::newRow("file scheme") << p << "file://host/etc/passwd" << QString();
        QTest::newRow("dot then dot-dot") << p << "./x/../y.html"
                                          << "http://host/search/cars/y.html";
        QTest::newRow("escapes kept") << p << "a%2Fb/./c%20d.html"
                                      << "http://host/search/cars/a%2Fb/c%20d.html";
        QTest::newRow("dot-dot above the root") << "http://host/a"
                                                << "../../../x.html"
                                                << "http://host/x.html";
        // Links that lead to no web page are no address, never a relative path.
        QTest::newRow("javascript") << p << "javascript:void(0)" << QString();
        QTest::newRow("mailto") << p << "mailto:seller@example.com" << QString();
        QTest::newRow("data") << p << "data:image/png;base64,iVBORw0KGgo=" << QString();
        QTest::newRow("file without host") << p << "file:///etc/passwd" << QString();
        QTest::newRow("http without host") << p << "http:item.html" << QString();
    }
    void fixUrl()
    {
        QFETCH(QString, parent);
        QFETCH(QString, link);
        QFETCH(QString, result);
        const QString fixed = NSUrlUtils::fixUrl(link, parent);
        QCOMPARE(fixed, result);
        QCOMPARE(fixed.isNull(), result.isNull());
    }

    void getRelativePathNoFile_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("result");
        QTest::newRow("file and query") << "http://host/a/b.html?x=1"
                                        << "http://host/a";
        QTest::newRow("directory") << "http://host/a/b"
                                   << "http://host/a/b";
        QTest::newRow("trailing slash") << "http://host/a/"
                                        << "http://host/a/";
        QTest::newRow("keeps query without file") << "http://host/search/cars?q=1"
                                                  << "http://host/search/cars?q=1";
        QTest::newRow("does not parse") << "a b.html"
                                        << "a b.html";
        QTest::newRow("bare file") << "b.html"
                                   << "";
        QTest::newRow("encoded file") << "http://host/a/b%20c.html"
                                      << "http://host/a";
        QTest::newRow("absent") << QString() << "";
    }
    void getRelativePathNoFile()
    {
        QFETCH(QString, url);
        QFETCH(QString, result);
        const QString relative = NSUrlUtils::getRelativePathNoFile(url);
        QCOMPARE(relative, result);
        QVERIFY(!relative.isNull());
    }

    void urlEncode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("encoded");
        QTest::newRow("slash and space") << "a/b c"
                                         << "a%2Fb%20c";
        QTest::newRow("unreserved kept") << "AZaz09-._~"
                                         << "AZaz09-._~";
        QTest::newRow("reserved")
            << "!*'\"();:@&=+$,/?%#[] "
            << "%21%2A%27%22%28%29%3B%3A%40%26%3D%2B%24%2C%2F%3F%25%23%5B%5D%20";
        QTest::newRow("url") << "http://h/p?q=1"
                             << "http%3A%2F%2Fh%2Fp%3Fq%3D1";
        QTest::newRow("utf-8 bytes") << "é€"
                                     << "%C3%A9%E2%82%AC";
    }
    void urlEncode()
    {
        QFETCH(QString, text);
        QFETCH(QString, encoded);
        QCOMPARE(urlEncodeUsingEncoding(text), encoded);
        QVERIFY(!urlEncodeUsingEncoding(text).contains(u'/'));
    }
};

LISTORO_TEST(TestNsUrlUtils)
#include "tst_nsurlutils.moc"
