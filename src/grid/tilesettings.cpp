#include "grid/tilesettings.h"

#include "grid/displayparsedlink.h"

namespace TileSettings {

void configure(DisplayParsedLink *tile, int width)
{
    tile->setTileWidth(width);
    tile->setPhotosPerLine(photosPerLine);
    tile->setMaxPhotoHeight(maxPhotoHeight);
    tile->setHeaderHeight(headerHeight);
    tile->setHorizontalMargin(horizontalMargin);
    tile->setVerticalMargin(verticalMargin);
}

} // namespace TileSettings
