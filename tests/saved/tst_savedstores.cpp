#include "common/testregistry.h"

#include "platform/defaultskeys.h"
#include "platform/userdefaults.h"
#include "saved/savedrecordstore.h"
#include "saved/seenlistings.h"
#include "saved/zestobookmark.h"
#include "saved/zestofavorite.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

class TestSavedStores : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString storeFile() const { return dir.filePath("defaults.ini"); }

    static QStringList urls(const QList<ZestoFavorite> &list)
    {
        QStringList result;
        for (const auto &f : list)
            result << f.url();
        return result;
    }
    static QStringList titles(const QList<ZestoBookmark> &list)
    {
        QStringList result;
        for (const auto &b : list)
            result << b.title();
        return result;
    }

private Q_SLOTS:
    void init() { UserDefaults::setStoreFile(storeFile()); }
    void cleanup()
    {
        QFile::remove(storeFile());
        UserDefaults::setStoreFile({});
    }

    void seenListings_keptBesideTheStoreAndNeverOverAForeignFile_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<bool>("written");
        QTest::newRow("no file yet") << QByteArray() << true;
        QTest::newRow("a seen file") << QByteArray(R"({"seen": ["k0"]})") << true;
        QTest::newRow("not a seen file") << QByteArray("my notes, not JSON") << false;
    }
    void seenListings_keptBesideTheStoreAndNeverOverAForeignFile()
    {
        QFETCH(QByteArray, before);
        QFETCH(bool, written);
        const QString path = dir.filePath("seen.json");
        QFile::remove(path);
        if (!before.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(before);
        }
        // Another store file first, so that the seen listings are read again from path.
        UserDefaults::setStoreFile(dir.filePath("elsewhere/defaults.ini"));
        QVERIFY(!SeenListings::instance().contains("k1"));
        UserDefaults::setStoreFile(storeFile());
        SeenListings &seen = SeenListings::instance();
        QCOMPARE(seen.contains("k0"), before.contains("k0"));
        QCOMPARE(seen.add("k1"), written);
        QVERIFY(seen.contains("k1"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray after = file.readAll();
        QCOMPARE(after.contains("\"k1\""), written);
        if (!written)
            QCOMPARE(after, before);
        QCOMPARE(seen.forget(), written);
        QVERIFY(!seen.contains("k0") && !seen.contains("k1"));
    }

    void freshStore_isEmpty()
    {
        QVERIFY(ZestoFavorite::getFavorites().isEmpty());
        QVERIFY(!ZestoFavorite::isFavorited("http://a"));
        QVERIFY(ZestoBookmark::getBookmarks().isEmpty());
    }

    void favorites_keepOrderAndRemoveByUrl()
    {
        ZestoFavorite("A", "http://a").addToFavorites();
        ZestoFavorite("B", "http://b").addToFavorites();
        ZestoFavorite("C", "http://c").addToFavorites();
        ZestoFavorite::removeFavoriteWithUrl("http://b");
        QCOMPARE(urls(ZestoFavorite::getFavorites()), (QStringList{ "http://a", "http://c" }));
        QCOMPARE(ZestoFavorite::getFavorites().first().title(), "A");
    }

    void favorites_duplicatesGoTogether()
    {
        ZestoFavorite("one", "http://a").addToFavorites();
        ZestoFavorite("two", "http://a").addToFavorites();
        QCOMPARE(ZestoFavorite::getFavorites().size(), 2);
        ZestoFavorite::removeFavoriteWithUrl("http://a");
        QVERIFY(ZestoFavorite::getFavorites().isEmpty());
    }

    void favorites_identityIsTheExactUrl_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<bool>("favorited");
        QTest::newRow("same") << "http://host/item/1.html" << true;
        QTest::newRow("case") << "http://host/Item/1.html" << false;
        QTest::newRow("trailing slash") << "http://host/item/1.html/" << false;
        QTest::newRow("absent") << QString() << false;
    }
    void favorites_identityIsTheExactUrl()
    {
        QFETCH(QString, query);
        QFETCH(bool, favorited);
        ZestoFavorite("t", "http://host/item/1.html").addToFavorites();
        ZestoFavorite("no url", QString()).addToFavorites();
        QCOMPARE(ZestoFavorite::isFavorited(query), favorited);
    }

    void favorites_clearAllStoresAnEmptyList()
    {
        ZestoFavorite("A", "http://a").addToFavorites();
        ZestoFavorite::clearAll();
        QVERIFY(ZestoFavorite::getFavorites().isEmpty());
        // Read as another process would: QSettings keeps what it wrote cached in this one, so
        // the store is read from a copy of the file.
        const QString copy = dir.filePath("copy.ini");
        QFile::remove(copy);
        QVERIFY(QFile::copy(storeFile(), copy));
        UserDefaults::setStoreFile(copy);
        const QVariant stored = UserDefaults::standard().objectForKey(DefaultsKeys::favorites);
        QVERIFY2(stored.isValid(), "an empty list must be stored as a list");
        QVERIFY(UserDefaults::standard().arrayForKey(DefaultsKeys::favorites).isEmpty());
        QVERIFY(ZestoFavorite::getFavorites().isEmpty());
    }

    void favorites_recordsAreCopies()
    {
        ZestoFavorite("A", "http://a").addToFavorites();
        auto list = ZestoFavorite::getFavorites();
        list.first().setTitle("changed");
        QCOMPARE(ZestoFavorite::getFavorites().first().title(), "A");
    }

    void bookmarks_removeByPosition_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("middle") << 1 << QStringList{ "A", "C" };
        QTest::newRow("first") << 0 << QStringList{ "B", "C" };
        QTest::newRow("beyond") << 5 << QStringList{ "A", "B", "C" };
        QTest::newRow("negative") << -1 << QStringList{ "A", "B", "C" };
    }
    void bookmarks_removeByPosition()
    {
        QFETCH(int, position);
        QFETCH(QStringList, left);
        for (const char *name : { "A", "B", "C" })
            ZestoBookmark(name, "http://host/search").addToBookmarks();
        ZestoBookmark::removeBookmarkAtIndex(position);
        QCOMPARE(titles(ZestoBookmark::getBookmarks()), left);
    }

    void bookmarks_absentAndEmptyTitlesSurvive()
    {
        ZestoBookmark(QString(), "http://a").addToBookmarks();
        ZestoBookmark(QStringLiteral(""), "http://b").addToBookmarks();
        const auto list = ZestoBookmark::getBookmarks();
        QCOMPARE(list.size(), 2);
        QVERIFY(list.at(0).title().isNull());
        QVERIFY(!list.at(1).title().isNull());
        QVERIFY(list.at(1).title().isEmpty());
    }

    void undecodableElements_areSkippedAndTheRestKept()
    {
        UserDefaults::standard().setObject(
            QVariantList{ SavedRecordStore::archive({ "A", "http://a" }),
                          QByteArray("\xff\x01junk"), QStringLiteral("text"),
                          SavedRecordStore::archive({ "B", "http://b" }) },
            DefaultsKeys::favorites);
        QCOMPARE(urls(ZestoFavorite::getFavorites()), (QStringList{ "http://a", "http://b" }));
        ZestoFavorite("C", "http://c").addToFavorites();
        QCOMPARE(urls(ZestoFavorite::getFavorites()),
                 (QStringList{ "http://a", "http://b", "http://c" }));
        UserDefaults::standard().setObject(QStringLiteral("not a list"), DefaultsKeys::bookmarks);
        QVERIFY(ZestoBookmark::getBookmarks().isEmpty());
    }

    void killedWriter_leavesEveryWrittenElement()
    {
        QProcess writer;
        writer.start(QStringLiteral(LISTORO_STORE_WRITER), { storeFile() });
        QVERIFY(writer.waitForStarted());
        int written = -1;
        QByteArray pending;
        while (written < 150) {
            QVERIFY(writer.waitForReadyRead(10000));
            pending += writer.readAllStandardOutput();
            const auto lines = pending.split('\n');
            for (qsizetype i = 0; i + 1 < lines.size(); ++i)
                written = lines.at(i).toInt();
            pending = lines.last();
        }
        ::kill(pid_t(writer.processId()), SIGKILL);
        QVERIFY(writer.waitForFinished());
        pending += writer.readAllStandardOutput();
        for (const QByteArray &line : pending.split('\n')) {
            if (!line.isEmpty())
                written = qMax(written, line.toInt());
        }

        const auto favorites = ZestoFavorite::getFavorites();
        const auto bookmarks = ZestoBookmark::getBookmarks();
        QVERIFY(favorites.size() >= written + 1);
        QVERIFY(bookmarks.size() >= written + 1);
        for (int i = 0; i <= written; ++i) {
            QCOMPARE(favorites.at(i).url(), "http://host/item/" + QString::number(i) + ".html");
            QCOMPARE(bookmarks.at(i).title(), "bookmark " + QString::number(i));
        }
    }
};

LISTORO_TEST(TestSavedStores)
#include "tst_savedstores.moc"
