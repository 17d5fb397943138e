#include "common/testregistry.h"

#include "platform/defaultskeys.h"
#include "platform/storeproblems.h"
#include "platform/userdefaults.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestUserDefaults : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;

private Q_SLOTS:
    void init() { UserDefaults::setStoreFile(dir.filePath(QStringLiteral("defaults.ini"))); }
    void cleanup()
    {
        QFile::remove(dir.filePath(QStringLiteral("defaults.ini")));
        UserDefaults::setStoreFile({});
    }

    void lists_roundTripWhateverTheirLength_data()
    {
        QTest::addColumn<QVariantList>("list");
        QTest::newRow("empty") << QVariantList();
        QTest::newRow("one") << QVariantList{ QByteArray("\x01\x02\x00\xff", 4) };
        QTest::newRow("three") << QVariantList{ QByteArray("a"), QByteArray("b,c"),
                                                QByteArray("\n=\\") };
    }
    void lists_roundTripWhateverTheirLength()
    {
        QFETCH(QVariantList, list);
        UserDefaults::standard().setObject(list, DefaultsKeys::favorites);
        const QVariantList back = UserDefaults::standard().arrayForKey(DefaultsKeys::favorites);
        QCOMPARE(back.size(), list.size());
        for (qsizetype i = 0; i < list.size(); ++i)
            QCOMPARE(back.at(i).toByteArray(), list.at(i).toByteArray());
    }

    void missingOrWrongType_readsAsEmpty()
    {
        UserDefaults &defaults = UserDefaults::standard();
        QVERIFY(defaults.arrayForKey(DefaultsKeys::bookmarks).isEmpty());
        QVERIFY(defaults.dataForKey(DefaultsKeys::scrapeSettings).isNull());
        QCOMPARE(defaults.floatForKey(DefaultsKeys::scrapeVersion), 0.0f);
        QVERIFY(!defaults.boolForKey(DefaultsKeys::howtoPopoverOkayed));
        defaults.setObject(QStringLiteral("not a number"), DefaultsKeys::scrapeVersion);
        QCOMPARE(defaults.floatForKey(DefaultsKeys::scrapeVersion), 0.0f);
    }

    void scalars_roundTripAndSurviveANewReader()
    {
        UserDefaults &defaults = UserDefaults::standard();
        defaults.setFloat(1.1f, DefaultsKeys::scrapeVersion);
        defaults.setBool(true, DefaultsKeys::howtoPopoverOkayed);
        defaults.setObject(QByteArray("\0cbor", 5), DefaultsKeys::scrapeSettings);
        QCOMPARE(defaults.floatForKey(DefaultsKeys::scrapeVersion), 1.1f);
        QVERIFY(defaults.boolForKey(DefaultsKeys::howtoPopoverOkayed));
        QCOMPARE(defaults.dataForKey(DefaultsKeys::scrapeSettings), QByteArray("\0cbor", 5));
        defaults.removeObjectForKey(DefaultsKeys::howtoPopoverOkayed);
        QVERIFY(!defaults.boolForKey(DefaultsKeys::howtoPopoverOkayed));
    }

    void unwritableFile_keepsValuesForTheRunAndTellsOnce()
    {
        QFile blocker(dir.filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString unwritable = dir.filePath(QStringLiteral("blocker/defaults.ini"));
        UserDefaults::setStoreFile(unwritable);
        StoreProblems::instance().reset();
        QSignalSpy reported(&StoreProblems::instance(), &StoreProblems::reported);
        UserDefaults &defaults = UserDefaults::standard();
        QVERIFY(!defaults.setBool(true, DefaultsKeys::howtoPopoverOkayed));
        QVERIFY(!defaults.setDouble(2.5, DefaultsKeys::scrapeVersion));
        QVERIFY(!defaults.synchronize());
        QVERIFY(defaults.boolForKey(DefaultsKeys::howtoPopoverOkayed));
        QCOMPARE(defaults.doubleForKey(DefaultsKeys::scrapeVersion), 2.5);
        QCOMPARE(reported.size(), 1);
        QCOMPARE(StoreProblems::instance().takeUnshown(),
                 QStringList{ StoreProblems::message(StoreProblems::Store::Settings, unwritable) });
        QVERIFY(StoreProblems::instance().takeUnshown().isEmpty());

        // A writable file again writes.
        UserDefaults::setStoreFile(dir.filePath(QStringLiteral("defaults.ini")));
        QVERIFY(!defaults.boolForKey(DefaultsKeys::howtoPopoverOkayed));
        QVERIFY(defaults.setBool(true, DefaultsKeys::howtoPopoverOkayed));
        StoreProblems::instance().reset();
    }

    void corruptStore_readsAsEmpty()
    {
        QFile file(dir.filePath(QStringLiteral("defaults.ini")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\x00\xff garbage [[[ =\n favorites=@ByteArray(\n", 40);
        file.close();
        QVERIFY(UserDefaults::standard().arrayForKey(DefaultsKeys::favorites).isEmpty());
        QCOMPARE(UserDefaults::standard().floatForKey(DefaultsKeys::scrapeVersion), 0.0f);
    }
};

LISTORO_TEST(TestUserDefaults)
#include "tst_userdefaults.moc"
