#include "saved/zestofavorite.h"

#include "platform/defaultskeys.h"
#include "saved/savedrecordstore.h"

QList<ZestoFavorite> ZestoFavorite::getFavorites()
{
    return SavedRecordStore::readAll<ZestoFavorite>(DefaultsKeys::favorites);
}

void ZestoFavorite::setFavorites(const QList<ZestoFavorite> &favorites)
{
    SavedRecordStore::writeAll(DefaultsKeys::favorites, favorites);
}

void ZestoFavorite::addToFavorites() const
{
    SavedRecordStore::append(DefaultsKeys::favorites, *this);
}

void ZestoFavorite::removeFavoriteWithUrl(const QString &url)
{
    QList<ZestoFavorite> kept;
    for (const ZestoFavorite &favorite : getFavorites()) {
        if (favorite.url().isNull() || url.isNull() || favorite.url() != url)
            kept.append(favorite);
    }
    setFavorites(kept);
}

bool ZestoFavorite::isFavorited(const QString &url)
{
    if (url.isNull())
        return false;
    const QList<ZestoFavorite> favorites = getFavorites();
    return std::any_of(favorites.cbegin(), favorites.cend(), [&url](const ZestoFavorite &f) {
        return !f.url().isNull() && f.url() == url;
    });
}

void ZestoFavorite::clearAll()
{
    setFavorites({});
}
