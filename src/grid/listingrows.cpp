#include "grid/listingrows.h"

#include "grid/photofingerprint.h"
#include "grid/repostfold.h"
#include "saved/seenlistings.h"
#include "scrape/listingaddress.h"

#include <QTimer>

namespace {

constexpr int settleMs = 200;

bool seen(const ParsedLink &link)
{
    return SeenListings::instance().contains(ListingAddress::key(link.url()));
}

// The address of a listing's first photo once it is cached; null before, or when it failed.
QString cachedFirstPhoto(const ParsedLink &link)
{
    const std::optional<QMap<int, QString>> images = link.images();
    if (!images || !images->contains(0) || link.failedImages().contains(0))
        return {};
    return images->value(0);
}

} // namespace

ListingRows::ListingRows(QObject *parent)
    : QObject(parent)
    , m_settle(new QTimer(this))
{
    m_settle->setSingleShot(true);
    m_settle->setInterval(settleMs);
    connect(m_settle, &QTimer::timeout, this, [this] { recompute(false); });
    connect(&SeenListings::instance(), &SeenListings::changed, this, [this] {
        if (m_choice.hideSeen)
            m_settle->start();
    });
    connect(&PhotoFingerprints::instance(), &PhotoFingerprints::found, this, [this] {
        if (m_foldsReposts && !m_settle->isActive())
            m_settle->start();
    });
}

void ListingRows::setListings(const LinkExtractor::Ptr &extractor)
{
    m_extractor = extractor;
    m_settle->stop();
    m_rows.clear();
    m_folded = 0;
    m_marked.clear();
    m_words.clear();
    if (arranges())
        recompute(true);
    else if (follows())
        recompute(false);
}

void ListingRows::setChoice(const GridChoice &choice)
{
    m_choice = choice;
    m_settle->stop();
    m_rows.clear();
    recompute(true);
}
int ListingRows::total() const
{
    return m_extractor && m_extractor->parsedLinks() ? int(m_extractor->parsedLinks()->size()) : 0;
}

int ListingRows::count() const
{
    return arranges() ? int(m_rows.size()) : total();
}

int ListingRows::sourceIndex(int item) const
{
    if (item < 0)
        return -1;
    if (!arranges())
        return item < total() ? item : -1;
    return item < m_rows.size() ? m_rows.at(item) : -1;
}

void ListingRows::listingsChanged()
{
    if (follows() && !m_settle->isActive())
        m_settle->start();
}

bool ListingRows::arranges() const
{
    return m_choice.order != GridChoice::Order::Site || m_choice.filters() || m_folded > 0;
}

void ListingRows::recompute(bool always)
{
    const bool arranged = arranges();
    const QMap<int, ParsedLink::Ptr> none;
    const QMap<int, ParsedLink::Ptr> &listings
        = m_extractor && m_extractor->parsedLinks() ? *m_extractor->parsedLinks() : none;
    QList<int> rows = ListingOrder::rows(listings, m_choice, seen);
    if (m_foldsReposts) {
        // Folded over every listing in the order shown, so that a filter that leaves out one
        // posting of an offer still shows the other as reposted.
        GridChoice unfiltered;
        unfiltered.order = m_choice.order;
        const QList<int> ordered
            = m_choice.filters() ? ListingOrder::rows(listings, unfiltered, seen) : rows;
        const QList<int> folded = foldReposts(listings, ordered);
        m_folded = int(ordered.size() - folded.size());
        if (m_choice.filters()) {
            const QSet<int> passing(rows.cbegin(), rows.cend());
            rows.clear();
            for (const int row : folded) {
                if (passing.contains(row))
                    rows.append(row);
            }
        } else {
            rows = folded;
        }
    }
    if (!arranges()) {
        // The listings as fetched, item for item.
        m_rows.clear();
        if (arranged || always)
            emit changed();
        return;
    }
    // Before the first pass the rows were the listings themselves, whatever m_rows holds.
    if (rows == m_rows && arranged && !always)
        return;
    m_rows = std::move(rows);
    emit changed();
}

QList<int> ListingRows::foldReposts(const QMap<int, ParsedLink::Ptr> &listings,
                                    const QList<int> &ordered)
{
    PhotoFingerprints &fingerprints = PhotoFingerprints::instance();
    const RepostFold::Result result = RepostFold::fold(
        ordered,
        [&](int row) -> std::optional<quint64> {
            const QString photo = cachedFirstPhoto(*listings.value(row));
            return photo.isEmpty() ? std::nullopt : fingerprints.find(photo);
        },
        [&](int row) { return titleWords(row, *listings.value(row)); });

    QSet<int> marked;
    for (auto it = result.others.cbegin(); it != result.others.cend(); ++it) {
        QList<ParsedLink::OtherPosting> others;
        for (const int row : it.value()) {
            const ParsedLink &other = *listings.value(row);
            others.append({ other.url(), other.posted(), other.date() });
        }
        listings.value(it.key())->setOtherPostings(others);
        marked.insert(it.key());
    }
    for (const int row : std::as_const(m_marked)) {
        if (!marked.contains(row) && listings.contains(row))
            listings.value(row)->setOtherPostings({});
    }
    m_marked = std::move(marked);
    return result.rows;
}

QStringList ListingRows::titleWords(int key, const ParsedLink &link)
{
    std::pair<QString, QStringList> &cached = m_words[key];
    if (cached.second.isEmpty() || cached.first != link.title())
        cached = { link.title(), RepostFold::words(link.title()) };
    return cached.second;
}
