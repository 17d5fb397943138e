#include "platform/storeproblems.h"

#include <QCoreApplication>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcStoreProblems, "listoro.storeproblems")

StoreProblems::StoreProblems(QObject *parent)
    : QObject(parent)
{
}

StoreProblems &StoreProblems::instance()
{
    static StoreProblems *problems = [] {
        auto *created = new StoreProblems;
        // Created by whichever thread fails first; receivers expect it on the GUI thread.
        if (QCoreApplication *app = QCoreApplication::instance())
            created->moveToThread(app->thread());
        return created;
    }();
    return *problems;
}

QString StoreProblems::message(Store store, const QString &path)
{
    return store == Store::Cache
        ? QCoreApplication::translate("StoreProblems",
                                      "Listoro cannot write its cache in %1; photos are not kept.")
              .arg(path)
        : QCoreApplication::translate("StoreProblems",
                                      "Listoro cannot write its settings in %1; bookmarks, "
                                      "favorites and rule sets are kept only until it quits.")
              .arg(path);
}

void StoreProblems::report(Store store, const QString &path)
{
    const QString text = message(store, path);
    {
        QMutexLocker lock(&mutex);
        bool &seen = failed[store == Store::Cache ? 0 : 1];
        if (seen) {
            qCDebug(lcStoreProblems) << "write failed again:" << path;
            return;
        }
        seen = true;
        unshown.append(text);
    }
    qCWarning(lcStoreProblems).noquote() << text;
    emit reported();
}

bool StoreProblems::hasFailed(Store store) const
{
    QMutexLocker lock(&mutex);
    return failed[store == Store::Cache ? 0 : 1];
}

QStringList StoreProblems::takeUnshown()
{
    QMutexLocker lock(&mutex);
    return std::exchange(unshown, {});
}

void StoreProblems::reset()
{
    QMutexLocker lock(&mutex);
    failed[0] = failed[1] = false;
    unshown.clear();
}
