#pragma once

#include "grid/listingorder.h"
#include "scrape/linkextractor.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QStringList>

class QTimer;

// Which listing each item of the grid shows under the user's choice. The default choice shows
// the listings as fetched, item for item; any other is worked out again as listings change
// (coalesced, so that a page of thousands of listings is not sorted once per listing) and when
// the user's seen listings change. Reposts are folded (one item for the same offer posted at
// several addresses) as their first photos are fingerprinted.
class ListingRows final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ListingRows)

public:
    explicit ListingRows(QObject *parent = nullptr);

    void setListings(const LinkExtractor::Ptr &extractor);
    // On by default; a grid of the user's own choosing (the favorites) shows every listing.
    void setFoldsReposts(bool folds) { m_foldsReposts = folds; }
    const GridChoice &choice() const { return m_choice; }
    // Works the rows out at once.
    void setChoice(const GridChoice &choice);

    // Listings fetched, and items shown.
    int total() const;
    int count() const;
    // Listings shown as a posting of another one.
    int folded() const { return m_folded; }
    // The index among the fetched listings of the listing item shows; -1 for no such item.
    int sourceIndex(int item) const;

    // A listing arrived or changed.
    void listingsChanged();

Q_SIGNALS:
    // The items changed under a choice that orders or filters: the grid reloads.
    void changed();

private:
    bool arranges() const;
    // Whether changes of the listings are worked out: the rows may come out other than fetched.
    bool follows() const { return arranges() || m_foldsReposts; }
    // always: tell the grid even when the rows came out as they were.
    void recompute(bool always);
    // The rows in order with reposts folded; marks the listings that stand for others.
    QList<int> foldReposts(const QMap<int, ParsedLink::Ptr> &listings, const QList<int> &ordered);
    QStringList titleWords(int key, const ParsedLink &link);

    LinkExtractor::Ptr m_extractor;
    GridChoice m_choice;
    QList<int> m_rows;
    bool m_foldsReposts = true;
    int m_folded = 0;
    QSet<int> m_marked;
    QHash<int, std::pair<QString, QStringList>> m_words;
    QTimer *m_settle;
};
