#include "common/testregistry.h"

#include "platform/cachedirectory.h"
#include "platform/cachelimit.h"
#include "platform/pagecache.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestCacheLimit : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;

    // A file of kilobytes, last used minutesAgo.
    void put(const QString &name, int kilobytes, int minutesAgo)
    {
        QFile file(CacheDirectory::ensureExists() + u'/' + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(kilobytes * 1024, 'x'));
        QVERIFY(file.flush());
        QVERIFY(file.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-60 * minutesAgo),
                                 QFileDevice::FileModificationTime));
    }

private Q_SLOTS:
    void init() { CacheDirectory::setPath(dir.filePath(u"cache"_s)); }
    void cleanup()
    {
        PageCache::clean();
        CacheDirectory::setPath({});
    }

    // Files a (oldest) to d (newest), 10 KB each.
    void trim_removesLeastRecentlyUsedAndNeverKept_data()
    {
        QTest::addColumn<int>("limitKb");
        QTest::addColumn<QStringList>("kept");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("under the limit")
            << 40 << QStringList() << QStringList{ "a", "b", "c", "d" };
        QTest::newRow("oldest first") << 25 << QStringList() << QStringList{ "c", "d" };
        QTest::newRow("a kept file stays") << 25 << QStringList{ "a" } << QStringList{ "a", "d" };
        QTest::newRow("only kept files left")
            << 0 << QStringList{ "b", "c" } << QStringList{ "b", "c" };
    }
    void trim_removesLeastRecentlyUsedAndNeverKept()
    {
        QFETCH(int, limitKb);
        QFETCH(QStringList, kept);
        QFETCH(QStringList, left);
        put(u"a"_s, 10, 40);
        put(u"b"_s, 10, 30);
        put(u"c"_s, 10, 20);
        put(u"d"_s, 10, 10);
        CacheLimit::trim(limitKb * 1024, QSet<QString>(kept.cbegin(), kept.cend()));
        QCOMPARE(QDir(CacheDirectory::path()).entryList(QDir::Files, QDir::Name), left);
        QCOMPARE(CacheLimit::size(), left.size() * 10 * 1024);
    }

    // A lookup counts as a use: the page looked up outlives a newer one.
    void lookup_makesAnEntryRecent()
    {
        const QString old = u"http://example.com/old"_s;
        put(PageCache::fileName(old), 10, 60);
        put(u"newer"_s, 10, 5);
        QVERIFY(PageCache::hasPage(old));
        CacheLimit::trim(10 * 1024, {});
        QVERIFY(PageCache::hasPage(old));
        QVERIFY(!QFile::exists(CacheDirectory::path() + u"/newer"_s));
    }

    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("bytes"); // -1: not a size
        QTest::newRow("bytes") << u"1500"_s << qint64(1500);
        QTest::newRow("kilobytes") << u"2K"_s << qint64(2048);
        QTest::newRow("megabytes, with B") << u"500MB"_s << qint64(500) * 1024 * 1024;
        QTest::newRow("gigabytes, lower case") << u" 1g "_s << (qint64(1) << 30);
        QTest::newRow("zero") << u"0"_s << qint64(0);
        QTest::newRow("negative") << u"-1G"_s << qint64(-1);
        QTest::newRow("fraction") << u"1.5G"_s << qint64(-1);
        QTest::newRow("unknown unit") << u"3T"_s << qint64(-1);
        QTest::newRow("overflow") << u"999999999999999G"_s << qint64(-1);
        QTest::newRow("empty") << QString() << qint64(-1);
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(qint64, bytes);
        QCOMPARE(CacheLimit::parse(text).value_or(-1), bytes);
    }
};

LISTORO_TEST(TestCacheLimit)
#include "tst_cachelimit.moc"
