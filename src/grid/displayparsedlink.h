#pragma once

#include "grid/tilephotolayout.h"
#include "platform/floatsize.h"
#include "ui/activityindicatorview.h"
#include "ui/collectionviewcell.h"

#include <QAbstractButton>

#include <QHash>
#include <QMap>
#include <QPointer>

#include <atomic>
#include <memory>

class ParsedLink;
class ZestoListingProtocol;

// One listing of the grid: a white card with a header (favorite button, title, loading
// indicator) above rows of the listing's photos, photosPerLine to a row. The tile computes its
// height from the photo sizes the record and the disk cache know, writes its size into the
// record (from where the grid sizes the item), and places its photos as background tasks finish
// loading and scaling them.
//
// The tile's own width and height are tileWidth() and tileHeight(): QWidget's width() and
// height() remain the widget's frame.
class DisplayParsedLink final : public CollectionViewCell
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DisplayParsedLink)

public:
    static inline const QString reuseIdentifier = QStringLiteral("Listoro Main Table Cell");

    explicit DisplayParsedLink(QWidget *parent = nullptr);
    ~DisplayParsedLink() override;

    int tileWidth() const { return m_width; }
    void setTileWidth(int width) { m_width = width; }
    int tileHeight() const { return m_height; }
    void setTileHeight(int height) { m_height = height; }
    const QMap<int, int> &linesHeights() const { return m_linesHeights; }
    int numberOfLines() const { return m_numberOfLines; }
    void setNumberOfLines(int lines) { m_numberOfLines = lines; }
    std::shared_ptr<ParsedLink> parsedLink() const { return m_parsedLink.lock(); }
    // Attaches a record (held weakly) and computes the tile's size for it; the same record
    // again changes nothing.
    void setParsedLink(const std::shared_ptr<ParsedLink> &parsedLink);
    int photosPerLine() const { return m_photosPerLine; }
    void setPhotosPerLine(int photos) { m_photosPerLine = photos; }
    const QHash<QString, FloatSize> &fitSizesForPhotos() const { return m_fitSizesForPhotos; }
    int headerHeight() const { return m_headerHeight; }
    void setHeaderHeight(int height) { m_headerHeight = height; }
    int horizontalMargin() const { return m_horizontalMargin; }
    void setHorizontalMargin(int margin) { m_horizontalMargin = margin; }
    int verticalMargin() const { return m_verticalMargin; }
    void setVerticalMargin(int margin) { m_verticalMargin = margin; }
    int maxPhotoHeight() const { return m_maxPhotoHeight; }
    void setMaxPhotoHeight(int height) { m_maxPhotoHeight = height; }
    int computedImageWidth() const { return m_computedImageWidth; }
    void setComputedImageWidth(int width) { m_computedImageWidth = width; }
    ActivityIndicatorView *loading() const { return m_loading; }
    ZestoListingProtocol *delegate() const { return m_delegate; }
    void setDelegate(ZestoListingProtocol *delegate) { m_delegate = delegate; }
    QAbstractButton *addRemoveFavorite() const { return m_addRemoveFavorite; }
    bool isDimmed() const { return m_seenVeil != nullptr; }

    // Width of one photo column.
    int computeImageWidth() const;
    // X position of photo index's column.
    int getImageXPos(int index) const;
    // Recomputes the height, the row heights and the record's size.
    void computeDimensions();
    // A new width (after the window's shape changed): dimensions and frame follow.
    void recomputeDimensionsWithWidth(int width);
    // Rebuilds the tile's views; photos appear as their background tasks finish.
    void render();

    // The photo frames the last render() placed (or will place), by photo index.
    QMap<int, QRectF> photoFrames() const { return m_photoFrames; }
    // Photos placed by the current render pass so far.
    int placedPhotos() const;
    // Whether the last render() drew parsedLink as it is now (no change reported since) at the
    // tile's current width.
    bool showsCurrent(const std::shared_ptr<ParsedLink> &parsedLink) const;

    // A favorite button's look and tag: "delete.png" and 1 for a favorite, "add.png" and 0 not.
    static void showFavoriteState(QAbstractButton *button, bool isFavorite);
    // The favorite button follows the store, which another screen may have changed.
    void refreshFavoriteState();
    // A listing the user has opened is dimmed.
    void refreshSeenState();

    void handleSingleTap();
    void handleFavoriteButtonTap();

    int contentHeight() const override { return m_height; }
    void prepareForReuse() override { }

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    TilePhotoLayout photoLayout() const;
    // The price and the age at the right of the header, ending right pixels from the tile's
    // right edge; returns the width they take.
    int placeFacts(const ParsedLink &record, int right);
    void placeFailedPhoto(const QRectF &frame);
    void placePhoto(int pass, int index, const QImage &image, QRectF frame,
                    const std::shared_ptr<int> &counter);

    QPointer<QWidget> m_seenVeil;
    int m_width = 0;
    int m_height = 0;
    QMap<int, int> m_linesHeights;
    int m_numberOfLines = 0;
    std::weak_ptr<ParsedLink> m_parsedLink;
    int m_photosPerLine = 0;
    QHash<QString, FloatSize> m_fitSizesForPhotos;
    int m_headerHeight = 0;
    int m_horizontalMargin = 0;
    int m_verticalMargin = 0;
    int m_maxPhotoHeight = 0;
    int m_computedImageWidth = 0;
    QPointer<ActivityIndicatorView> m_loading;
    ZestoListingProtocol *m_delegate = nullptr;
    QPointer<QAbstractButton> m_addRemoveFavorite;

    QMap<int, QRectF> m_photoFrames;
    int m_pass = 0;
    int m_renderedRevision = -1;
    int m_renderedWidth = -1;
    std::shared_ptr<int> m_counter;
    // Set when a new pass starts or the tile goes: that pass's photo tasks skip their work.
    std::shared_ptr<std::atomic<bool>> m_cancelled;
};
