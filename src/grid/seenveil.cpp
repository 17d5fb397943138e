#include "grid/seenveil.h"

#include "saved/seenlistings.h"
#include "scrape/listingaddress.h"
#include "scrape/parsedlink.h"
#include "ui/celloverlay.h"

namespace SeenVeil {

void follow(QWidget *tile, QPointer<QWidget> &veil, const ParsedLink *listing, qreal radius)
{
    const bool seen
        = listing && SeenListings::instance().contains(ListingAddress::key(listing->url()));
    if (seen == (veil != nullptr))
        return;
    if (seen) {
        veil = new CellOverlay(tile, QColor(255, 255, 255, 140), Qt::NoPen, radius);
        veil->setObjectName(QStringLiteral("tileSeenVeil"));
    } else {
        delete veil.data();
    }
}

} // namespace SeenVeil
