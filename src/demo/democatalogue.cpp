#include "demo/democatalogue.h"

#include "demo/demophotopool.h"

#include <QDateTime>
#include <QHash>
#include <QLocale>
#include <QRandomGenerator>
#include <QStringView>

#include <algorithm>
#include <iterator>

namespace {

struct Category
{
    QStringView name;
    int minPrice;
    int maxPrice;
    QStringView items[8];
    QStringView details[5];
};

// Titles, prices and wording of a small-town classifieds section; the odd non-ASCII character
// and HTML-special character are there on purpose, as on real pages.
const Category categories[] = {
    { u"Furniture",
      40,
      900,
      { u"Mid-century walnut sideboard", u"Café table & 2 chairs", u"IKEA Kallax shelf, white",
        u"Leather sofa, barely used", u"Solid oak dining table",
        u"Vintage armchair, re-upholstered", u"Queen bed frame with slats",
        u"Antique pine dresser" },
      { u"A few light scratches on the top, nothing structural.",
        u"Dimensions are roughly 180 × 90 cm; it fits through a standard door.",
        u"Comes apart with an Allen key, so it travels in a hatchback.",
        u"Bought at Maison Côté three years ago and always kept indoors.",
        u"Cushions were professionally cleaned last spring." } },
    { u"Bikes",
      60,
      1800,
      { u"Trek FX 2 hybrid, 54 cm", u"Vélo de ville Peugeot", u"Kids' balance bike",
        u"Specialized Rockhopper MTB", u"Fixie single-speed, 58 cm", u"Brompton folding bike M6L",
        u"Road bike with carbon fork", u"Cargo bike with rain cover" },
      { u"New chain and brake pads this season, shifts cleanly.",
        u"Fits riders from about 170 to 185 cm.",
        u"Tyres hold air for weeks; I ride it to work every day.",
        u"Includes a U-lock, lights and a rear rack.",
        u"Tuned up at the shop in May; receipt available." } },
    { u"Cars",
      1500,
      18000,
      { u"2011 Honda Civic LX, 142k km", u"2008 Toyota Corolla, runs great",
        u"2015 VW Golf TDI manual", u"2004 Subaru Outback, winter tires incl.",
        u"2013 Mazda 3 hatchback", u"2017 Ford Fiesta, one owner", u"1998 Volvo 240 wagon",
        u"2012 Škoda Octavia estate" },
      { u"Safety inspection done last month, no check-engine light.",
        u"Four winter tires on rims are included in the price.",
        u"Some rust on the rocker panels, otherwise very clean.",
        u"Oil changed every 8 000 km; full service history.",
        u"Non-smoker car, garage kept in winter." } },
    { u"Electronics",
      30,
      1200,
      { u"Samsung 55\" 4K TV", u"MacBook Air M1, 8 GB", u"Nintendo Switch + 3 games",
        u"Canon EOS 80D body", u"Bose QC35 headphones", u"Dell 27\" monitor",
        u"PlayStation 4 Pro 1 TB", u"Kindle Paperwhite (10th gen)" },
      { u"Works perfectly; reset to factory settings and ready to go.",
        u"Original box, charger and cables included.",
        u"Screen has no dead pixels and no scratches.", u"Battery still holds a full day of use.",
        u"You can test it before buying, bring a USB stick if you like." } },
    { u"Apartments",
      450,
      2600,
      { u"Sunny 2 ½ near métro", u"Bright 1-bedroom, heat included",
        u"Room for rent in shared flat", u"3-bedroom duplex with garden",
        u"Studio, furnished, all inclusive", u"Loft with exposed brick", u"4 ½ renovated, balcony",
        u"Basement suite, separate entrance" },
      { u"Available July 1st; lease transfer possible.",
        u"Hardwood floors, new kitchen, washer and dryer hook-ups.",
        u"Five minutes' walk to the métro and the market.",
        u"Quiet building, no pets, non-smokers please.",
        u"Hydro and internet are not included." } },
    { u"Instruments",
      50,
      1500,
      { u"Yamaha acoustic guitar FG800", u"Fender Stratocaster (Mexico)",
        u"Roland FP-30 digital piano", u"Violin 4/4 with case & bow", u"Pearl drum kit, 5 pieces",
        u"Kala soprano ukulele", u"Marshall practice amp 15 W", u"Höfner violin bass" },
      { u"Freshly restrung and set up; the action is low and comfortable.",
        u"Stays in tune; no cracks, only normal play wear.",
        u"Comes with a gig bag, a strap and a clip-on tuner.",
        u"Barely played: my kid switched to the drums.",
        u"Sounds lovely; you are welcome to try it here." } },
    { u"Garden",
      10,
      600,
      { u"Monstera deliciosa, 1 m tall", u"Cast-iron patio set", u"Self-propelled lawn mower",
        u"Raised garden bed kit", u"Terracotta pots (set of 6)", u"Weber Spirit gas BBQ",
        u"Fiddle-leaf fig in ceramic pot", u"Hammock with stand" },
      { u"Healthy and pest-free; it gets bright indirect light here.",
        u"Started on the first pull all last summer.", u"Cushions stored inside every winter.",
        u"Too big for our new balcony, sadly.", u"Everything cleaned and ready for the season." } },
};

const QStringView suffixes[] = { u"",         u"",
                                 u"",         u" (like new)",
                                 u" - OBO",   u", must go!",
                                 u" !!",      u" – moving sale",
                                 u" <cheap>", u", négociable" };

const QStringView neighbourhoods[]
    = { u"Plateau-Mont-Royal", u"Côte-des-Neiges", u"Mile End",  u"Verdun",   u"Rosemont",
        u"Saint-Henri",        u"Downtown",        u"Hochelaga", u"Villeray", u"NDG",
        u"Outremont",          u"Griffintown",     u"Lachine",   u"Ahuntsic", u"Pointe-Claire" };

const QStringView closings[]
    = { u"Selling because we are moving to Zürich at the end of the month.",
        u"Paid €400 new, asking much less.",
        u"Cash or Interac e-transfer only, no trades please.",
        u"Pick-up near the métro; I can help you load it.",
        u"Smoke-free and pet-free home.",
        u"If you can see this ad, it is still available.",
        u"Serious buyers only; no \"is this available?\" messages please.",
        u"Evenings and weekends work best for viewing." };

template<typename T, std::size_t N>
QString pick(QRandomGenerator &rng, const T (&values)[N])
{
    return values[rng.bounded(int(N))].toString();
}

} // namespace

DemoCatalogue::DemoCatalogue(int listingsPerPage, int pages, int maxPhotos)
    : m_listingsPerPage(std::max(0, listingsPerPage))
    , m_pages(std::max(0, pages))
    , m_maxPhotos(std::max(0, maxPhotos))
{
    const int count = m_listingsPerPage * m_pages;
    m_listings.reserve(count);
    // Listings of one item show different pictures, and an item whose pictures are all taken
    // gives way to another of its category, so that only the planted repost looks like one (in
    // catalogues of up to some hundred listings). Worked out in index order: a listing depends
    // on those before it only, whatever the catalogue's size.
    QHash<QString, int> shown;
    for (int index = 0; index < count; ++index) {
        DemoListing listing = generate(index, m_maxPhotos);
        const auto key = [&listing] {
            return QString::number(listing.category) + u'/' + listing.item;
        };
        const QStringList items = categoryItems(listing.category);
        for (int tries = 1;
             shown.value(key()) >= DemoPhotoPool::variantsPerCategory && tries < items.size();
             ++tries) {
            const QString suffix = listing.title.mid(listing.item.size());
            listing.item = items.at((items.indexOf(listing.item) + 1) % items.size());
            listing.title = listing.item + suffix;
        }
        listing.photoVariant = shown[key()]++ % DemoPhotoPool::variantsPerCategory;
        m_listings.append(listing);
        if (index == repostOriginal)
            plantRepost(m_listings[repostIndex], m_listings[repostOriginal], m_maxPhotos);
    }
}

QStringList DemoCatalogue::categoryItems(int category)
{
    QStringList items;
    if (category >= 0 && category < categoryCount()) {
        for (const QStringView item : categories[category].items)
            items.append(item.toString());
    }
    return items;
}

void DemoCatalogue::plantRepost(DemoListing &repost, DemoListing &original, int maxPhotos)
{
    // A repost is known by its photo: the original has some whenever the site serves any.
    if (original.photoCount == 0)
        original.photoCount = std::min(3, maxPhotos);
    // The seller of an older listing posted it again, a little cheaper.
    repost.category = original.category;
    repost.item = original.item;
    repost.title = original.title + QStringLiteral(" - price drop");
    repost.price = std::max(5, original.price - std::max(5, original.price / 10 / 5 * 5));
    repost.neighbourhood = original.neighbourhood;
    repost.description = original.description;
    repost.photoVariant = original.photoVariant;
    repost.photoCount = original.photoCount;
    repost.repostOf = original.id;
}

DemoListing DemoCatalogue::listing(int index) const
{
    if (index < 0 || index >= m_listings.size())
        return {};
    return m_listings.at(index);
}

QList<DemoListing> DemoCatalogue::listingsOnPage(int page, const Search &search) const
{
    if (page < 1 || page > pages(search))
        return {};
    const qsizetype first = qsizetype(page - 1) * m_listingsPerPage;
    if (search.isEmpty())
        return m_listings.mid(first, m_listingsPerPage);
    return matching(search).mid(first, m_listingsPerPage);
}

QList<DemoListing> DemoCatalogue::matching(const Search &search) const
{
    if (search.isEmpty())
        return m_listings;
    const QStringList words = search.words.simplified().split(u' ', Qt::SkipEmptyParts);
    QList<DemoListing> found;
    for (const DemoListing &listing : m_listings) {
        if (search.category >= 0 && listing.category != search.category)
            continue;
        const bool holdsAll = std::all_of(words.cbegin(), words.cend(), [&](const QString &w) {
            return listing.title.contains(w, Qt::CaseInsensitive)
                || listing.description.contains(w, Qt::CaseInsensitive);
        });
        if (holdsAll)
            found.append(listing);
    }
    return found;
}

int DemoCatalogue::pages(const Search &search) const
{
    if (search.isEmpty())
        return m_pages;
    const qsizetype found = matching(search).size();
    return std::max(1, int((found + m_listingsPerPage - 1) / std::max(1, m_listingsPerPage)));
}

int DemoCatalogue::indexOfId(qint64 id) const
{
    const qint64 index = id - firstId;
    return index >= 0 && index < m_listings.size() ? int(index) : -1;
}

int DemoCatalogue::categoryCount()
{
    return int(std::size(categories));
}

QString DemoCatalogue::categoryName(int category)
{
    if (category < 0 || category >= categoryCount())
        return QString();
    return categories[category].name.toString();
}

DemoListing DemoCatalogue::generate(int index, int maxPhotos)
{
    QRandomGenerator rng(quint32(index) * 2654435761u + 0x5eed);
    DemoListing listing;
    listing.index = index;
    listing.id = firstId + index;
    listing.category = rng.bounded(categoryCount());
    const Category &category = categories[listing.category];

    listing.item = pick(rng, category.items);
    listing.title = listing.item + pick(rng, suffixes);
    // Round prices the way sellers do: to 5 below 100, to 50 above 1000.
    int price = category.minPrice + rng.bounded(category.maxPrice - category.minPrice + 1);
    const int step = price < 100 ? 5 : price < 1000 ? 10 : 50;
    listing.price = std::max(step, price / step * step);
    listing.neighbourhood = pick(rng, neighbourhoods);

    const int first = rng.bounded(int(std::size(category.details)));
    const int second = (first + 1 + rng.bounded(int(std::size(category.details)) - 1))
        % int(std::size(category.details));
    QStringList sentences{ category.details[first].toString(), category.details[second].toString(),
                           pick(rng, closings) };
    if (rng.bounded(2))
        sentences.append(QStringLiteral("Listing #%1, ask for details.").arg(listing.id));
    listing.description = sentences.join(u' ');

    // Newest first, a little over half an hour apart, from a fixed moment.
    const QDateTime newest(QDate(2024, 3, 15), QTime(18, 0), Qt::UTC);
    const QDateTime posted = newest.addSecs(-qint64(index) * 37 * 60 - rng.bounded(600));
    listing.posted = QLocale::c().toString(posted, u"yyyy-MM-dd h:mmap").toLower();
    listing.minutesOld = int(posted.secsTo(newest) / 60);

    if (maxPhotos > 0 && rng.bounded(100) >= 15)
        listing.photoCount = 1 + rng.bounded(maxPhotos);
    return listing;
}
