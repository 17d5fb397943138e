#include "saved/seenlistings.h"

#include "platform/storeproblems.h"
#include "platform/userdefaults.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcSeen, "listoro.saved.seen")

namespace {

QString seenPath()
{
    const QString store = UserDefaults::storeFile();
    return store.isEmpty() ? QString()
                           : QFileInfo(store).absoluteDir().filePath(QStringLiteral("seen.json"));
}

} // namespace

SeenListings &SeenListings::instance()
{
    static SeenListings seen;
    return seen;
}

void SeenListings::loadIfMoved()
{
    const QString path = seenPath();
    if (loaded && path == loadedFor)
        return;
    loaded = true;
    loadedFor = path;
    state = SeenState();
    writable = false;
    if (path.isEmpty())
        return;
    QString error;
    writable = state.load(path, &error);
    if (!writable) {
        qCWarning(lcSeen) << error;
        state = SeenState();
    }
}

bool SeenListings::contains(const QString &key)
{
    loadIfMoved();
    return !key.isEmpty() && state.seen().contains(key);
}

qsizetype SeenListings::count()
{
    loadIfMoved();
    return state.seen().size();
}

bool SeenListings::add(const QString &key)
{
    if (key.isEmpty() || contains(key))
        return true;
    state.seen().insert(key);
    const bool saved = save();
    emit changed();
    return saved;
}

bool SeenListings::forget()
{
    loadIfMoved();
    state.clear();
    const bool saved = save();
    emit changed();
    return saved;
}

bool SeenListings::save()
{
    if (!writable)
        return loadedFor.isEmpty();
    QString error;
    if (state.save(&error))
        return true;
    qCWarning(lcSeen) << error;
    StoreProblems::instance().report(StoreProblems::Store::Settings, loadedFor);
    return false;
}
