#include "saved/watchedbookmarks.h"

#include "platform/defaultskeys.h"
#include "platform/userdefaults.h"
#include "saved/zestobookmark.h"

#include <QVariantMap>

#include <algorithm>

namespace {

QVariantMap stored()
{
    return UserDefaults::standard().objectForKey(DefaultsKeys::watchedBookmarks).toMap();
}

int minutesOf(const QVariant &value)
{
    bool ok = false;
    const int minutes = value.toInt(&ok);
    return std::clamp(ok ? minutes : WatchedBookmarks::defaultMinutes,
                      WatchedBookmarks::minimumMinutes, WatchedBookmarks::maximumMinutes);
}

} // namespace

namespace WatchedBookmarks {

QList<Watch> all()
{
    const QVariantMap watches = stored();
    QList<Watch> list;
    for (const ZestoBookmark &bookmark : ZestoBookmark::getBookmarks()) {
        const auto it = watches.constFind(bookmark.url());
        if (it != watches.cend() && std::none_of(list.cbegin(), list.cend(), [&](const Watch &w) {
                return w.address == bookmark.url();
            }))
            list.append({ bookmark.url(), minutesOf(*it) });
    }
    return list;
}

bool isWatched(const QString &address)
{
    const QList<Watch> watches = all();
    return std::any_of(watches.cbegin(), watches.cend(),
                       [&address](const Watch &w) { return w.address == address; });
}

void setWatched(const QString &address, bool watched, int minutes)
{
    QVariantMap watches = ZestoBookmark::onlyBookmarked(stored());
    if (watched)
        watches.insert(address, minutesOf(minutes));
    else
        watches.remove(address);
    UserDefaults::standard().setObject(watches, DefaultsKeys::watchedBookmarks);
}

} // namespace WatchedBookmarks
