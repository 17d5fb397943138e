#include "saved/zestofavorite.h"

#include "platform/defaultskeys.h"
#include "platform/userdefaults.h"
#include "saved/savedrecordstore.h"

QList<ZestoFavorite> ZestoFavorite::getFavorites()
{
    QList<ZestoFavorite> favorites;
    for (const SavedRecordStore::Record &record : SavedRecordStore::read(DefaultsKeys::favorites))
        favorites.append(ZestoFavorite(record.title, record.url));
    return favorites;
}

void ZestoFavorite::setFavorites(const QList<ZestoFavorite> &favorites)
{
    QList<SavedRecordStore::Record> records;
    records.reserve(favorites.size());
    for (const ZestoFavorite &favorite : favorites)
        records.append({ favorite.title(), favorite.url() });
    SavedRecordStore::write(DefaultsKeys::favorites, records);
}

void ZestoFavorite::addToFavorites() const
{
    QList<ZestoFavorite> favorites = getFavorites();
    favorites.append(*this);
    setFavorites(favorites);
    UserDefaults::standard().synchronize();
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
