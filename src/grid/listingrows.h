#pragma once

#include "grid/listingorder.h"
#include "scrape/linkextractor.h"

#include <QList>
#include <QObject>

class QTimer;

// Which listing each item of the grid shows under the user's choice. The default choice shows
// the listings as fetched, item for item; any other is worked out again as listings change
// (coalesced, so that a page of thousands of listings is not sorted once per listing) and when
// the user's seen listings change.
class ListingRows final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ListingRows)

public:
    explicit ListingRows(QObject *parent = nullptr);

    void setListings(const LinkExtractor::Ptr &extractor);
    const GridChoice &choice() const { return m_choice; }
    // Works the rows out at once.
    void setChoice(const GridChoice &choice);

    // Listings fetched, and items shown.
    int total() const;
    int count() const;
    // The index among the fetched listings of the listing item shows; -1 for no such item.
    int sourceIndex(int item) const;

    // A listing arrived or changed.
    void listingsChanged();

Q_SIGNALS:
    // The items changed under a choice that orders or filters: the grid reloads.
    void changed();

private:
    bool arranges() const;
    // always: tell the grid even when the rows came out as they were.
    void recompute(bool always);

    LinkExtractor::Ptr m_extractor;
    GridChoice m_choice;
    QList<int> m_rows;
    QTimer *m_settle;
};
