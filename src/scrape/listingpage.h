#pragma once

#include "platform/addresspolicy.h"
#include "query/tfhpple.h"
#include "scrape/listingprice.h"
#include "scrape/zestoscrapesetting.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

// What a listing's own page yields under a rule set: its title and its photo URLs.
struct ListingPage
{
    // The last non-empty match of the "title" rule; null when none matched.
    QString title;
    // A listing shows at most this many photos (the busiest sites show 25 or so): a page that
    // names thousands must not cost thousands of lookups and downloads.
    static constexpr qsizetype maxPhotos = 100;

    // knownPhotos followed by the photos found on the page, resolved against the listing URL, at
    // most maxPhotos. A value already listed (compared as found, before resolution) is not added
    // again.
    QStringList photos;
    // Photos at addresses out of reach, in page order (at most maxPhotos): no photos, never
    // fetched.
    QList<AddressPolicy::Refusal> refused;
    // The first non-empty match of the "price" and "date" rules; dateText as the page writes
    // it, posted its reading against the fetch time.
    ListingPrice price;
    QString dateText;
    QDateTime posted;

    // reach: what the photos may reach; as the listing's address tells without a lookup,
    // unless given.
    static ListingPage scrape(const QByteArray &page, const QString &listingUrl,
                              const std::optional<ZestoScrapeSetting> &rules,
                              const QStringList &knownPhotos = {},
                              std::optional<AddressPolicy::Reach> reach = {},
                              const QDateTime &fetchedAt = {});
    static ListingPage scrape(const TFHpple &document, const QString &listingUrl,
                              const std::optional<ZestoScrapeSetting> &rules,
                              const QStringList &knownPhotos = {},
                              std::optional<AddressPolicy::Reach> reach = {},
                              const QDateTime &fetchedAt = {});
    // Moves the photos at refused addresses (found by a lookup) from photos to refused.
    void drop(const QList<AddressPolicy::Refusal> &refusals);
};
