#include "saved/bookmarkvisits.h"

#include "platform/defaultskeys.h"
#include "platform/userdefaults.h"
#include "saved/zestobookmark.h"

#include <QVariantMap>

namespace {

const QString listingsKey = QStringLiteral("listings");
const QString newKey = QStringLiteral("new");

QVariantMap stored()
{
    return UserDefaults::standard().objectForKey(DefaultsKeys::bookmarkVisits).toMap();
}

} // namespace

namespace BookmarkVisits {

Visit last(const QString &address)
{
    const QVariant value = stored().value(address);
    if (value.typeId() != QMetaType::QVariantMap)
        return {};
    const QVariantMap map = value.toMap();
    Visit visit;
    visit.known = true;
    visit.listings = map.value(listingsKey).toStringList().mid(0, maxListings);
    visit.newCount = std::max(0, map.value(newKey).toInt());
    return visit;
}

void record(const QString &address, const QStringList &listings, int newCount)
{
    QVariantMap visits = ZestoBookmark::onlyBookmarked(stored());
    visits.insert(address,
                  QVariantMap{ { listingsKey, QStringList(listings.mid(0, maxListings)) },
                               { newKey, newCount } });
    UserDefaults::standard().setObject(visits, DefaultsKeys::bookmarkVisits);
}

} // namespace BookmarkVisits
