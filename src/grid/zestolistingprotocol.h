#pragma once

#include "ui/indexpath.h"

#include <memory>

class DisplayParsedLink;
class ParsedLink;
class QAbstractButton;

// What a listing tile asks of the screen that shows it: open the listing, and add or remove it
// from the favorites (the button's tag says which: 0 add, 1 remove).
class ZestoListingProtocol
{
public:
    virtual ~ZestoListingProtocol() = default;
    virtual void showDetailedListing(DisplayParsedLink *tile, const IndexPath &indexPath) = 0;
    virtual void addRemoveFavorite(QAbstractButton *button,
                                   const std::shared_ptr<ParsedLink> &parsedLink)
        = 0;
};
