#include "grid/listingorder.h"

#include <algorithm>

namespace {

const QString orderKey = QStringLiteral("order");
const QString minimumKey = QStringLiteral("minimumPrice");
const QString maximumKey = QStringLiteral("maximumPrice");
const QString wordsKey = QStringLiteral("words");
const QString photosKey = QStringLiteral("withPhotosOnly");
const QString seenKey = QStringLiteral("hideSeen");
const QString compactKey = QStringLiteral("compact");

std::optional<double> number(const QVariant &value)
{
    bool ok = false;
    const double read = value.toDouble(&ok);
    return value.isValid() && ok && read >= 0 ? std::optional(read) : std::nullopt;
}

struct Words
{
    QStringList wanted;
    QStringList unwanted;

    explicit Words(const QString &text)
    {
        for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            if (word.startsWith(QLatin1Char('-')) && word.size() > 1)
                unwanted.append(word.mid(1));
            else if (word != u"-")
                wanted.append(word);
        }
    }

    bool match(const QString &title) const
    {
        const auto in = [&title](const QString &word) {
            return title.contains(word, Qt::CaseInsensitive);
        };
        return std::all_of(wanted.cbegin(), wanted.cend(), in)
            && std::none_of(unwanted.cbegin(), unwanted.cend(), in);
    }
};

} // namespace

bool GridChoice::filters() const
{
    return minimumPrice || maximumPrice || !words.trimmed().isEmpty() || withPhotosOnly || hideSeen;
}

QVariantMap GridChoice::toMap() const
{
    QVariantMap map{ { orderKey, int(order) },
                     { wordsKey, words },
                     { photosKey, withPhotosOnly },
                     { seenKey, hideSeen },
                     { compactKey, compact } };
    if (minimumPrice)
        map.insert(minimumKey, *minimumPrice);
    if (maximumPrice)
        map.insert(maximumKey, *maximumPrice);
    return map;
}

GridChoice GridChoice::fromMap(const QVariantMap &map)
{
    GridChoice choice;
    const int order = map.value(orderKey).toInt();
    if (order >= int(Order::Site) && order <= int(Order::PriceHighToLow))
        choice.order = Order(order);
    choice.minimumPrice = number(map.value(minimumKey));
    choice.maximumPrice = number(map.value(maximumKey));
    choice.words = map.value(wordsKey).toString().left(200);
    choice.withPhotosOnly = map.value(photosKey).toBool();
    choice.hideSeen = map.value(seenKey).toBool();
    choice.compact = map.value(compactKey).toBool();
    return choice;
}

namespace ListingOrder {

QList<int> rows(const QMap<int, ParsedLink::Ptr> &listings, const GridChoice &choice,
                const SeenTest &seen)
{
    const Words words(choice.words.simplified());
    QList<int> shown;
    shown.reserve(listings.size());
    for (auto it = listings.cbegin(); it != listings.cend(); ++it) {
        const int i = it.key();
        const ParsedLink *link = it.value().get();
        if (!link)
            continue;
        const std::optional<double> amount = link->price().amount();
        if ((choice.minimumPrice || choice.maximumPrice) && !amount)
            continue;
        if ((choice.minimumPrice && *amount < *choice.minimumPrice)
            || (choice.maximumPrice && *amount > *choice.maximumPrice))
            continue;
        if (!words.match(link->title()))
            continue;
        if (choice.withPhotosOnly && link->settled() && link->imagesCount() == 0)
            continue;
        if (choice.hideSeen && seen && seen(*link))
            continue;
        shown.append(i);
    }

    // Stable, so that equal listings keep the site's order; the unknown go last.
    const auto sortBy = [&](auto value, bool descending) {
        std::stable_sort(shown.begin(), shown.end(), [&](int a, int b) {
            const auto left = value(*listings.value(a));
            const auto right = value(*listings.value(b));
            if (!left || !right)
                return left.has_value() && !right.has_value();
            return descending ? *right < *left : *left < *right;
        });
    };
    const auto price = [](const ParsedLink &link) {
        return link.price().amount();
    };
    const auto posted = [](const ParsedLink &link) -> std::optional<qint64> {
        return link.posted().isValid() ? std::optional(link.posted().toMSecsSinceEpoch())
                                       : std::nullopt;
    };
    switch (choice.order) {
    case GridChoice::Order::Site:
        break;
    case GridChoice::Order::Newest:
        sortBy(posted, true);
        break;
    case GridChoice::Order::PriceLowToHigh:
        sortBy(price, false);
        break;
    case GridChoice::Order::PriceHighToLow:
        sortBy(price, true);
        break;
    }
    return shown;
}

} // namespace ListingOrder
