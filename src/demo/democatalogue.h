#pragma once

#include "demo/demolisting.h"

#include <QList>

// What a search of the demo site asks for: words each listing's title or description must hold
// (any case), and a category (-1: any). An empty search finds every listing.
struct DemoSearch
{
    QString words;
    int category = -1;
    bool isEmpty() const { return words.trimmed().isEmpty() && category < 0; }
};

// The listings of the demo site, generated at construction from a seeded generator per listing.
class DemoCatalogue
{
public:
    static constexpr qint64 firstId = 7000000;

    DemoCatalogue(int listingsPerPage, int pages, int maxPhotos);

    int listingsPerPage() const { return m_listingsPerPage; }
    int pages() const { return m_pages; }
    int maxPhotos() const { return m_maxPhotos; }
    int listingCount() const { return int(m_listings.size()); }

    // The listing at index, or an empty listing (index -1) when there is none.
    DemoListing listing(int index) const;
    using Search = DemoSearch;

    // The listings of results page `page` (from 1) of a search; empty for a page beyond the
    // last.
    QList<DemoListing> listingsOnPage(int page, const Search &search = {}) const;
    // The listings a search finds, in catalogue order.
    QList<DemoListing> matching(const Search &search) const;
    // The results pages of a search: pages() for every listing, else as many as its listings
    // fill (at least one).
    int pages(const Search &search) const;
    // The index of the listing with this id, or -1.
    int indexOfId(qint64 id) const;

    static int categoryCount();
    static QString categoryName(int category);

    // The listing posted again, and the older one it posts (both on the first page of six).
    static constexpr int repostIndex = 1;
    static constexpr int repostOriginal = 4;

private:
    static DemoListing generate(int index, int maxPhotos);
    static QStringList categoryItems(int category);
    static void plantRepost(DemoListing &repost, DemoListing &original, int maxPhotos);

    int m_listingsPerPage;
    int m_pages;
    int m_maxPhotos;
    QList<DemoListing> m_listings;
};
