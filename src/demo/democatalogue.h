#pragma once

#include "demo/demolisting.h"

#include <QList>

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
    // The listings of results page `page` (from 1); empty for a page beyond the last.
    QList<DemoListing> listingsOnPage(int page) const;
    // The index of the listing with this id, or -1.
    int indexOfId(qint64 id) const;

    static int categoryCount();
    static QString categoryName(int category);

private:
    static DemoListing generate(int index, int maxPhotos);

    int m_listingsPerPage;
    int m_pages;
    int m_maxPhotos;
    QList<DemoListing> m_listings;
};
