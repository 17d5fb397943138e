#pragma once

#include "platform/floatsize.h"

#include <QList>
#include <QMap>
#include <QRectF>
#include <QSize>
#include <QString>

class ParsedLink;

// Where a tile puts its listing's photos: below the header, photosPerLine to a row, each fitted
// into a column's width and maxPhotoHeight. Shared by the tile, which places the photos, and by
// whatever decodes photos before their tile exists.
struct TilePhotoLayout
{
    int width = 0;
    int photosPerLine = 1;
    int maxPhotoHeight = 0;
    int headerHeight = 0;
    int horizontalMargin = 0;
    int verticalMargin = 0;
    // Width of one photo column; columnWidthFor() of the rest unless set otherwise.
    int columnWidth = 0;

    struct Photo
    {
        int index = 0;
        QString url;
        FloatSize fitted;
        // In the tile's coordinates.
        QRectF frame;
        // The photo failed: its frame holds a placeholder that says so.
        bool failed = false;
    };

    // The grid's tile settings for a grid width points wide.
    static TilePhotoLayout forGrid(int width);

    // The column width of a tile width points wide: the whole width with no columns.
    static int columnWidthFor(int width, int photosPerLine, int horizontalMargin);
    // X position of photo index's column.
    int imageX(int index) const;

    // Walks the photos in index order, column by column and row by row, as far as photos have
    // settled (a dead photo must not hide the ones after it). Every photo with a known size is
    // listed with its fitted size and frame; rows get their heights. A photo whose size is
    // unknown takes no room, but still closes its row, so the next row starts below the one
    // above; a photo that failed takes a placeholder's room. Returns the height below the last
    // row.
    int walk(const ParsedLink &record, QList<Photo> *photos = nullptr,
             QMap<int, int> *rowHeights = nullptr) const;

    // The frame a photo view takes (whole points) and the pixels of its image at scale.
    static QRect viewGeometry(const QRectF &frame);
    static QSize pixelSize(const QRectF &frame, qreal scale);
};
