#include "grid/listingrows.h"

#include "saved/seenlistings.h"
#include "scrape/listingaddress.h"

#include <QTimer>

namespace {

constexpr int settleMs = 200;

bool seen(const ParsedLink &link)
{
    return SeenListings::instance().contains(ListingAddress::key(link.url()));
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
}

void ListingRows::setListings(const LinkExtractor::Ptr &extractor)
{
    m_extractor = extractor;
    m_settle->stop();
    m_rows.clear();
    if (arranges())
        recompute(true);
}

void ListingRows::setChoice(const GridChoice &choice)
{
    m_choice = choice;
    m_settle->stop();
    m_rows.clear();
    if (arranges())
        recompute(true);
    else
        emit changed();
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
    if (arranges() && !m_settle->isActive())
        m_settle->start();
}

bool ListingRows::arranges() const
{
    return m_choice.order != GridChoice::Order::Site || m_choice.filters();
}

void ListingRows::recompute(bool always)
{
    const QMap<int, ParsedLink::Ptr> none;
    const QMap<int, ParsedLink::Ptr> &listings
        = m_extractor && m_extractor->parsedLinks() ? *m_extractor->parsedLinks() : none;
    QList<int> rows = ListingOrder::rows(listings, m_choice, seen);
    // Before the first pass the rows were the listings themselves, whatever m_rows holds.
    if (rows == m_rows && !always)
        return;
    m_rows = std::move(rows);
    emit changed();
}
