#include "common/testregistry.h"

#include "platform/addresspolicy.h"
#include "platform/hostvetting.h"

#include <QHostInfo>
#include <QTest>

using namespace Qt::StringLiterals;
using Reach = AddressPolicy::Reach;
using Verdict = AddressPolicy::Verdict;

class TestAddressPolicy : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A URL's host as QUrl gives it: literal addresses and names.
    void isLocalHost_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("local"); // 1 local, 0 public, -1 a name to look up
        const QList<std::pair<const char *, int>> rows{
            { "127.0.0.1", 1 },
            { "127.255.0.9", 1 },
            { "10.1.2.3", 1 },
            { "172.16.0.1", 1 },
            { "172.31.255.255", 1 },
            { "172.32.0.1", 0 },
            { "192.168.1.1", 1 },
            { "169.254.169.254", 1 },
            { "100.64.0.1", 1 },
            { "100.128.0.1", 0 },
            { "0.0.0.0", 1 },
            { "255.255.255.255", 1 },
            { "224.0.0.1", 1 },
            { "8.8.8.8", 0 },
            { "93.184.216.34", 0 },
            { "::1", 1 },
            { "::", 1 },
            { "fe80::1", 1 },
            { "fd12:3456::1", 1 },
            { "fc00::1", 1 },
            { "ff02::1", 1 },
            { "2001:db8::1", 0 },
            { "2606:4700::1111", 0 },
            { "::ffff:192.168.1.1", 1 },
            { "::ffff:127.0.0.1", 1 },
            { "::ffff:8.8.8.8", 0 },
            { "::127.0.0.1", 1 },
            { "localhost", 1 },
            { "LocalHost.", 1 },
            { "shop.localhost", 1 },
            { "example.com", -1 },
            { "localhost.example.com", -1 },
        };
        for (const auto &[host, local] : rows)
            QTest::newRow(host) << QString::fromLatin1(host) << local;
    }
    void isLocalHost()
    {
        QFETCH(QString, host);
        QFETCH(int, local);
        const std::optional<bool> found = AddressPolicy::isLocalHost(host);
        QCOMPARE(found.has_value() ? int(*found) : -1, local);
    }

    void check_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("verdict");
        const int allowed = int(Verdict::Allowed);
        const int refused = int(Verdict::Refused);
        const int lookup = int(Verdict::NeedsLookup);
        const QString pub = u"https://shop.example/search"_s;
        const QString demo = u"http://127.0.0.1:8080/search"_s;
        QTest::newRow("public to public") << u"https://93.184.216.34/i/1"_s << pub << allowed;
        QTest::newRow("public to a partner by name")
            << u"https://partner.example/i"_s << pub << lookup;
        QTest::newRow("public to router") << u"http://192.168.1.1/logout"_s << pub << refused;
        QTest::newRow("public to loopback") << u"http://127.0.0.1:631/"_s << pub << refused;
        QTest::newRow("public to localhost") << u"http://localhost/x"_s << pub << refused;
        QTest::newRow("public to mapped") << u"http://[::ffff:10.0.0.1]/x"_s << pub << refused;
        QTest::newRow("public to link-local v6") << u"http://[fe80::1]/x"_s << pub << refused;
        QTest::newRow("public to public v6") << u"http://[2001:db8::1]/x"_s << pub << allowed;
        QTest::newRow("public to metadata") << u"http://169.254.169.254/latest"_s << pub << refused;
        QTest::newRow("loopback to loopback")
            << u"http://127.0.0.1:8080/item/1"_s << demo << allowed;
        QTest::newRow("loopback to private") << u"http://192.168.1.1/"_s << demo << allowed;
        QTest::newRow("localhost page to loopback")
            << u"http://127.0.0.1/x"_s << u"http://localhost:8080/"_s << allowed;
        QTest::newRow("private page to itself")
            << u"http://10.0.0.5/i/2"_s << u"http://10.0.0.5/search"_s << allowed;
        QTest::newRow("ftp") << u"ftp://files.example/1.jpg"_s << pub << refused;
        QTest::newRow("ftp from loopback") << u"ftp://127.0.0.1/1.jpg"_s << demo << refused;
        QTest::newRow("file") << u"file:///etc/passwd"_s << demo << refused;
        QTest::newRow("javascript") << u"javascript:alert(1)"_s << pub << refused;
        QTest::newRow("data") << u"data:image/png;base64,AAAA"_s << pub << refused;
        QTest::newRow("no host") << u"http:item"_s << demo << refused;
    }
    void check()
    {
        QFETCH(QString, target);
        QFETCH(QString, page);
        QFETCH(int, verdict);
        QString reason;
        const Verdict found
            = AddressPolicy::check(QUrl(target), AddressPolicy::reachFrom(page), &reason);
        QCOMPARE(int(found), verdict);
        QCOMPARE(reason.isEmpty(), found != Verdict::Refused);
        QCOMPARE(AddressPolicy::check(QUrl(target), Reach::Any), Verdict::Allowed);
    }

    // A name that resolves only to loopback is refused once looked up; literal and public
    // addresses are left to check().
    void vet_refusesNamesThatResolveLocally()
    {
        const QString name = QHostInfo::localHostName();
        if (!AddressPolicy::allLocal(QHostInfo::fromName(name).addresses()))
            QSKIP("this machine's name does not resolve to a local address");
        const QStringList urls{ u"http://%1:9/a"_s.arg(name), u"http://192.168.1.1/"_s,
                                u"http://localhost/"_s, u"http://%1/b"_s.arg(name.toUpper()) };
        std::optional<QList<AddressPolicy::Refusal>> refused;
        HostVetting::vet(urls, Reach::PublicWeb, this,
                         [&](const QList<AddressPolicy::Refusal> &r) { refused = r; });
        QTRY_VERIFY(refused.has_value());
        QCOMPARE(refused->size(), 2);
        QCOMPARE(refused->at(0).address, urls.at(0));
        QCOMPARE(refused->at(1).address, urls.at(3));

        std::optional<bool> local;
        HostVetting::locate(QUrl(urls.at(0)), this, [&](bool l) { local = l; });
        QTRY_VERIFY(local.has_value());
        QVERIFY(*local);
    }
};

LISTORO_TEST(TestAddressPolicy)
#include "tst_addresspolicy.moc"
