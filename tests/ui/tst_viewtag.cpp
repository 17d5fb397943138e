#include "common/testregistry.h"

#include "ui/viewtag.h"

#include <QTest>
#include <QTimer>
#include <QWidget>

class TestViewTag : public QObject
{
    Q_OBJECT

private slots:
    void viewWithTag_searchesRootFirstThenDepthFirst_data();
    void viewWithTag_searchesRootFirstThenDepthFirst();
};

void TestViewTag::viewWithTag_searchesRootFirstThenDepthFirst_data()
{
    QTest::addColumn<int>("tag");
    QTest::addColumn<QString>("expected");

    // root(1) { first(2) { timer(4), nested(3) }, second(3), third(2) }
    QTest::newRow("the root itself") << 1 << QStringLiteral("root");
    QTest::newRow("first child before a later one") << 2 << QStringLiteral("first");
    QTest::newRow("a grandchild before a later child") << 3 << QStringLiteral("nested");
    QTest::newRow("objects that are no widgets are skipped") << 4 << QString();
}

void TestViewTag::viewWithTag_searchesRootFirstThenDepthFirst()
{
    QFETCH(int, tag);
    QFETCH(QString, expected);

    QWidget root;
    auto first = new QWidget(&root);
    auto nested = new QWidget(first);
    const QList<std::pair<QObject *, int>> tags{ { &root, 1 },
                                                 { first, 2 },
                                                 { new QTimer(first), 4 },
                                                 { nested, 3 },
                                                 { new QWidget(&root), 3 },
                                                 { new QWidget(&root), 2 } };
    for (const auto &[object, value] : tags)
        setViewTag(object, value);
    root.setObjectName(QStringLiteral("root"));
    first->setObjectName(QStringLiteral("first"));
    nested->setObjectName(QStringLiteral("nested"));

    QWidget *found = viewWithTag(&root, tag);
    QCOMPARE(found ? found->objectName() : QString(), expected);
}

LISTORO_TEST(TestViewTag)
#include "tst_viewtag.moc"
