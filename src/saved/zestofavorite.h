#pragma once

#include <QList>
#include <QString>

// A listing the user chose to keep. Favorites are stored in the order they were added under
// the key "favorites"; two favorites are the same favorite when their urls are equal. Every
// operation reads the store anew.
class ZestoFavorite
{
public:
    ZestoFavorite() = default;
    ZestoFavorite(const QString &title, const QString &url)
        : m_title(title)
        , m_url(url)
    {
    }

    QString title() const { return m_title; }
    void setTitle(const QString &title) { m_title = title; }
    QString url() const { return m_url; }
    void setUrl(const QString &url) { m_url = url; }

    static QList<ZestoFavorite> getFavorites();
    static void setFavorites(const QList<ZestoFavorite> &favorites);
    // Appends this favorite to the stored list and writes it out at once.
    void addToFavorites() const;
    static void removeFavoriteWithUrl(const QString &url);
    static bool isFavorited(const QString &url);
    static void clearAll();

    friend bool operator==(const ZestoFavorite &, const ZestoFavorite &) = default;

private:
    QString m_title;
    QString m_url;
};
