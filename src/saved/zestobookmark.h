#pragma once

#include <QList>
#include <QString>
#include <QVariantMap>

// A named address of a results page. Bookmarks are stored in the order they were added under
// the key "bookmarks" and addressed by their position. Every operation reads the store anew.
class ZestoBookmark
{
public:
    ZestoBookmark() = default;
    ZestoBookmark(const QString &title, const QString &url)
        : m_title(title)
        , m_url(url)
    {
    }

    QString title() const { return m_title; }
    void setTitle(const QString &title) { m_title = title; }
    QString url() const { return m_url; }
    void setUrl(const QString &url) { m_url = url; }

    static QList<ZestoBookmark> getBookmarks();
    static void setBookmarks(const QList<ZestoBookmark> &bookmarks);
    // Appends this bookmark to the stored list and writes it out at once.
    void addToBookmarks() const;
    // A position outside the list removes nothing.
    static void removeBookmarkAtIndex(int index);
    static bool isBookmarked(const QString &url);
    // The entries of a map by page address whose page is bookmarked, or is also.
    static QVariantMap onlyBookmarked(const QVariantMap &byAddress, const QString &also = {});

    friend bool operator==(const ZestoBookmark &, const ZestoBookmark &) = default;

private:
    QString m_title;
    QString m_url;
};
