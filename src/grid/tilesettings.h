#pragma once

#include <QMarginsF>

class DisplayParsedLink;

// How the listing grid lays its tiles out: the settings every tile gets before it lays a
// listing out, the section's insets, and the height of an item not laid out yet.
namespace TileSettings {

inline constexpr int photosPerLine = 2;
inline constexpr int maxPhotoHeight = 400;
inline constexpr int headerHeight = 52;
inline constexpr int horizontalMargin = 30;
inline constexpr int verticalMargin = 30;
inline constexpr qreal unlaidHeight = 60.0;

// Top 20, bottom 10, no side insets.
inline QMarginsF sectionInset()
{
    return QMarginsF(0, 20, 0, 10);
}

// Gives tile the grid's settings for a grid width points wide.
void configure(DisplayParsedLink *tile, int width);

} // namespace TileSettings
