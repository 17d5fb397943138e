#pragma once

#include "grid/tilephotocache.h"
#include "ui/collectionviewcell.h"

#include <QImage>
#include <QPointer>

#include <memory>

class ParsedLink;
class ZestoListingProtocol;

// One listing of the compact grid, several to a row: its first photo, the price and the age, two
// lines of title and how many photos it has. Drawn in one piece; a click opens the listing.
class CompactTile final : public CollectionViewCell
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CompactTile)

public:
    static inline const QString reuseIdentifier = QStringLiteral("Compact Tile");
    static constexpr QSize tileSize{ 232, 268 };
    static constexpr QSize photoBox{ 232, 174 };

    // The left and right insets that centre as many tiles to a row as fit in width.
    static qreal sideInset(qreal width, qreal spacing);

    explicit CompactTile(QWidget *parent = nullptr);
    ~CompactTile() override;

    void setDelegate(ZestoListingProtocol *delegate) { m_delegate = delegate; }
    // Shows the listing as it is now; the same listing at the same revision changes nothing.
    void setListing(const std::shared_ptr<ParsedLink> &listing);
    std::shared_ptr<ParsedLink> listing() const { return m_listing.lock(); }
    // A listing the user has opened is dimmed.
    void refreshSeenState();
    bool isDimmed() const { return m_seenVeil != nullptr; }
    bool hasPhoto() const { return !m_photo.isNull(); }

    void prepareForReuse() override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void loadPhoto(const ParsedLink &listing);

    std::weak_ptr<ParsedLink> m_listing;
    int m_revision = -1;
    ZestoListingProtocol *m_delegate = nullptr;
    QImage m_photo;
    TilePhotoCache::Cancelled m_cancelled;
    QPointer<QWidget> m_seenVeil;
};
