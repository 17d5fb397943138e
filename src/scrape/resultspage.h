#pragma once

#include "platform/addresspolicy.h"
#include "query/tfhpple.h"
#include "scrape/listingprice.h"
#include "scrape/zestoscrapesetting.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// What a results page yields under a rule set: its listing links in page order and the link to
// the next results page. The link extractor builds its records from it; the scrape tool prints it.
struct ResultsPage
{
    struct Link
    {
        int idInList = 0;
        // The text of the link node's first child; null when the node has no children.
        QString title;
        // The link resolved against the page URL; null when it cannot form a URL.
        QString url;
        // What the "price" and "date" rules found in the listing's row; null when the row
        // shows none. dateText is the date as the page writes it, posted its reading.
        ListingPrice price;
        QString dateText;
        QDateTime posted;
    };

    // No node matched the rule set's "link" query (or there was no rule set).
    bool noLinkNodes = true;
    QList<Link> links;
    // Null when there is none.
    QString nextLink;
    // What the listing links may reach: the page's own address decides.
    AddressPolicy::Reach reach = AddressPolicy::Reach::PublicWeb;
    // Links to addresses out of reach, in page order: no listings, never fetched.
    QList<AddressPolicy::Refusal> refused;

    // reach: as the page's address tells without a lookup, unless given. fetchedAt: when the
    // page was fetched, the point relative dates count back from; invalid for now.
    static ResultsPage scrape(const QByteArray &page, const QString &pageUrl,
                              const std::optional<ZestoScrapeSetting> &rules,
                              std::optional<AddressPolicy::Reach> reach = {},
                              const QDateTime &fetchedAt = {});
    // As above, on a page already held as a document (parsed once for all its queries).
    static ResultsPage scrape(const TFHpple &document, const QString &pageUrl,
                              const std::optional<ZestoScrapeSetting> &rules,
                              std::optional<AddressPolicy::Reach> reach = {},
                              const QDateTime &fetchedAt = {});
    // Moves the links to refused addresses (found by a lookup) from links to refused; the
    // listings left are numbered again from 0.
    void drop(const QList<AddressPolicy::Refusal> &refusals);
};
