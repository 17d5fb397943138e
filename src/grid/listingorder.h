#pragma once

#include "scrape/parsedlink.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <optional>

// How the user asked to see a grid: an order and filters, applied to the listings already
// fetched. The default (the site's order, no filter) shows every listing as the site gave it.
struct GridChoice
{
    enum class Order { Site, Newest, PriceLowToHigh, PriceHighToLow };

    Order order = Order::Site;
    std::optional<double> minimumPrice;
    std::optional<double> maximumPrice;
    // Words the title must contain; a word written "-word" must not be in it.
    QString words;
    bool withPhotosOnly = false;
    bool hideSeen = false;
    // Several listings to a row instead of one.
    bool compact = false;

    bool filters() const;
    bool operator==(const GridChoice &) const = default;

    // Kept per bookmark in the settings store; anything unreadable reads as the default.
    QVariantMap toMap() const;
    static GridChoice fromMap(const QVariantMap &map);
};

namespace ListingOrder {

using SeenTest = std::function<bool(const ParsedLink &)>;

// The keys of listings to show (their indices among the listings fetched), in the order to
// show them. A listing whose photos are
// still being found counts as having some; one without a readable amount is left out by a price
// range and goes last when sorting by price, as one without a date does when sorting by age.
QList<int> rows(const QMap<int, ParsedLink::Ptr> &listings, const GridChoice &choice,
                const SeenTest &seen);

} // namespace ListingOrder
