#include "grid/tilephotolayout.h"

#include "grid/tilesettings.h"
#include "platform/imageutils.h"
#include "scrape/parsedlink.h"

#include <QSet>

#include <algorithm>

TilePhotoLayout TilePhotoLayout::forGrid(int width)
{
    TilePhotoLayout layout;
    layout.width = width;
    layout.photosPerLine = TileSettings::photosPerLine;
    layout.maxPhotoHeight = TileSettings::maxPhotoHeight;
    layout.headerHeight = TileSettings::headerHeight;
    layout.horizontalMargin = TileSettings::horizontalMargin;
    layout.verticalMargin = TileSettings::verticalMargin;
    layout.columnWidth = columnWidthFor(width, layout.photosPerLine, layout.horizontalMargin);
    return layout;
}

int TilePhotoLayout::columnWidthFor(int width, int photosPerLine, int horizontalMargin)
{
    if (photosPerLine == 0)
        return width;
    return (width - (photosPerLine + 1) * horizontalMargin) / photosPerLine;
}

int TilePhotoLayout::imageX(int index) const
{
    const int perLine = std::max(1, photosPerLine);
    const int column = index % perLine;
    if (column == 0)
        return horizontalMargin;
    return horizontalMargin * (column + 1) + column * columnWidth;
}

int TilePhotoLayout::walk(const ParsedLink &record, QList<Photo> *photos,
                          QMap<int, int> *rowHeights) const
{
    int h = headerHeight;
    const int n = record.settledImagesCount();
    if (n <= 0)
        return h;
    const QStringList urls = record.imagesUrls().value_or(QStringList());
    const int perLine = std::max(1, photosPerLine);
    const FloatSize box{ float(columnWidth), float(maxPhotoHeight) };
    const QSet<int> failed = record.failedImages();
    const FloatSize placeholder{ float(columnWidth),
                                 float(std::min(maxPhotoHeight, columnWidth / 2)) };
    int rowHeight = 0;
    bool rowHasPhoto = false;
    for (int i = 0; i < n; ++i) {
        const int row = i / perLine;
        const int column = i % perLine;
        if (column == 0) {
            rowHeight = 0;
            rowHasPhoto = false;
        }
        const QString url = i < urls.size() ? urls.at(i) : QString();
        const bool dead = failed.contains(i);
        const FloatSize size
            = url.isNull() || dead ? FloatSize() : record.getSizeForImageByUrl(url);
        if (dead || !size.hasZeroSide()) {
            const FloatSize fitted = dead ? placeholder : ImageUtils::fitSize(size, box);
            if (photos) {
                photos->append(
                    { i, url, fitted, QRectF(imageX(i), h, fitted.width, fitted.height), dead });
            }
            const float height
                = column == 0 ? fitted.height : std::max(fitted.height, float(rowHeight));
            rowHeight = int(height);
            if (rowHeights)
                rowHeights->insert(row, rowHeight);
            rowHasPhoto = true;
        }
        if ((column == perLine - 1 || i == n - 1) && rowHasPhoto)
            h += verticalMargin + rowHeight;
    }
    return h;
}

QRect TilePhotoLayout::viewGeometry(const QRectF &frame)
{
    return QRect(int(frame.x()), int(frame.y()), int(frame.width()), int(frame.height()));
}

QSize TilePhotoLayout::pixelSize(const QRectF &frame, qreal scale)
{
    return viewGeometry(frame).size() * scale;
}
