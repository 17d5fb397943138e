#pragma once

#include "grid/listingorder.h"

#include <QString>

// The order, filters and view the user chose for a grid, by the address the grid opened: kept in
// the settings store for bookmarked pages and the favorites, for the run for any other page.
namespace GridChoices {

GridChoice forPage(const QString &address);
// stored: the page is one whose choice outlives the run (a bookmark, the favorites). Choices
// stored for pages no longer bookmarked go at the same time.
void keep(const QString &address, const GridChoice &choice, bool stored);

} // namespace GridChoices
