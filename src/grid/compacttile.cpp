#include "grid/compacttile.h"

#include "grid/listingage.h"
#include "grid/seenveil.h"
#include "grid/zestolistingprotocol.h"
#include "platform/imageutils.h"
#include "scrape/parsedlink.h"
#include "ui/theme.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr int margin = 10;
constexpr qreal radius = 10;

// The first photo that is on disk, with its pixel size.
std::optional<std::pair<QString, FloatSize>> firstPhoto(const ParsedLink &listing)
{
    const QStringList urls = listing.imagesUrls().value_or(QStringList());
    const QSet<int> failed = listing.failedImages();
    for (int i = 0; i < urls.size(); ++i) {
        if (failed.contains(i))
            continue;
        const FloatSize size = listing.getSizeForImageByUrl(urls.at(i));
        if (!size.hasZeroSide())
            return std::pair(urls.at(i), size);
        // A photo before it still loading: wait for it rather than show a later one.
        if (!listing.settled())
            return std::nullopt;
    }
    return std::nullopt;
}

// Up to two lines of text in width, the second ending in "…" when the text goes on.
QStringList twoLines(const QString &text, const QFontMetrics &metrics, int width)
{
    QStringList lines;
    // Two lines never hold more than this: a longer title costs no more to lay out.
    QString rest = text.left(400).simplified();
    while (!rest.isEmpty() && lines.size() < 2) {
        if (lines.size() == 1 || metrics.horizontalAdvance(rest) <= width) {
            lines.append(metrics.elidedText(rest, Qt::ElideRight, width));
            break;
        }
        int cut = int(rest.size());
        while (cut > 0 && metrics.horizontalAdvance(rest.left(cut)) > width)
            cut = int(rest.lastIndexOf(QLatin1Char(' '), cut - 1));
        // One word wider than the line: as much of it as fits.
        if (cut <= 0) {
            cut = 1;
            while (cut < rest.size() && metrics.horizontalAdvance(rest.left(cut + 1)) <= width)
                ++cut;
        }
        lines.append(rest.left(cut).trimmed());
        rest = rest.mid(cut).trimmed();
    }
    return lines;
}

} // namespace

qreal CompactTile::sideInset(qreal width, qreal spacing)
{
    const qreal tile = tileSize.width();
    const int perRow = std::max(1, int((width - spacing) / (tile + spacing)));
    return std::floor(std::max(spacing, (width - perRow * tile - (perRow - 1) * spacing) / 2));
}

CompactTile::CompactTile(QWidget *parent)
    : CollectionViewCell(parent)
{
    setCursor(Qt::PointingHandCursor);
}

CompactTile::~CompactTile()
{
    if (m_cancelled)
        m_cancelled->store(true);
}

void CompactTile::prepareForReuse()
{
    if (m_cancelled)
        m_cancelled->store(true);
    m_cancelled.reset();
    m_listing.reset();
    m_revision = -1;
    m_photo = QImage();
}

void CompactTile::setListing(const std::shared_ptr<ParsedLink> &listing)
{
    if (!listing || (m_listing.lock() == listing && m_revision == listing->revision()))
        return;
    if (m_listing.lock() != listing) {
        m_photo = QImage();
        if (m_cancelled)
            m_cancelled->store(true);
        m_cancelled.reset();
    }
    m_listing = listing;
    m_revision = listing->revision();
    setAccessibleName(listing->title().simplified());
    if (m_photo.isNull())
        loadPhoto(*listing);
    refreshSeenState();
    update();
}

void CompactTile::loadPhoto(const ParsedLink &listing)
{
    const auto photo = firstPhoto(listing);
    if (!photo || m_cancelled)
        return;
    const QSizeF box(photoBox);
    const QSizeF fitted
        = QSizeF(photo->second.width, photo->second.height).scaled(box, Qt::KeepAspectRatio);
    const qreal scale = ImageUtils::displayScaleFactor();
    const TilePhotoCache::Request request{ { photo->first,
                                             (fitted * scale).toSize().expandedTo(QSize(1, 1)) },
                                           { float(fitted.width()), float(fitted.height()) },
                                           scale };
    m_cancelled = std::make_shared<std::atomic<bool>>(false);
    QPointer<CompactTile> self(this);
    TilePhotoCache::instance().decode(request, m_cancelled, [self](const QImage &image) {
        if (!self)
            return;
        self->m_photo = image;
        self->update();
    });
}

void CompactTile::refreshSeenState()
{
    SeenVeil::follow(this, m_seenVeil, m_listing.lock().get(), radius);
}

void CompactTile::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath card;
    card.addRoundedRect(QRectF(rect()), radius, radius);
    painter.fillPath(card, Qt::white);
    const auto listing = m_listing.lock();
    if (!listing)
        return;

    // The photo, fitted into the box at the top, on a light ground.
    painter.save();
    painter.setClipPath(card);
    const QRect box(QPoint(0, 0), photoBox);
    painter.fillRect(box, QColor(0xee, 0xec, 0xe7));
    if (!m_photo.isNull()) {
        const QSizeF shown = m_photo.deviceIndependentSize();
        const QRectF at(box.x() + (box.width() - shown.width()) / 2,
                        box.y() + (box.height() - shown.height()) / 2, shown.width(),
                        shown.height());
        painter.drawImage(at, m_photo);
    } else {
        painter.setPen(Theme::colour(Theme::Colour::InkMuted));
        painter.drawText(box, Qt::AlignCenter,
                         listing->settled() ? tr("No photo") : tr("Loading…"));
    }
    // Pills over the photo's corners, as "New" and "Reposted" stand beside a full tile's title.
    const auto pill = [&](const QString &text, Theme::Colour colour, bool right) {
        const int pillWidth
            = std::min(fontMetrics().horizontalAdvance(text) + 16, box.width() - 16);
        const QRectF at(right ? box.width() - 8 - pillWidth : 8, 8, pillWidth,
                        fontMetrics().height() + 6);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Theme::colour(colour));
        painter.drawRoundedRect(at, at.height() / 2, at.height() / 2);
        painter.setPen(Qt::white);
        painter.drawText(at, Qt::AlignCenter,
                         fontMetrics().elidedText(text, Qt::ElideRight, pillWidth - 12));
    };
    if (listing->isNew())
        pill(tr("New"), Theme::Colour::Accent, false);
    if (!listing->otherPostings().isEmpty())
        pill(ListingAge::repostedText(listing->firstPosted(), QDateTime::currentDateTimeUtc()),
             Theme::Colour::InkSoft, true);
    painter.restore();

    const int textWidth = width() - 2 * margin;
    int y = photoBox.height() + 8;
    QFont bold = font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.15);
    const QFontMetrics boldMetrics(bold);
    const QString price = listing->price().text();
    const QString age = ListingAge::shortText(listing->posted(), QDateTime::currentDateTimeUtc());
    const int ageWidth = age.isEmpty() ? 0 : fontMetrics().horizontalAdvance(age) + 8;
    painter.setFont(bold);
    painter.setPen(Theme::colour(Theme::Colour::BrandGreen));
    painter.drawText(QRect(margin, y, textWidth - ageWidth, boldMetrics.height()),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     boldMetrics.elidedText(price, Qt::ElideRight, textWidth - ageWidth));
    painter.setFont(font());
    painter.setPen(Theme::colour(Theme::Colour::InkMuted));
    painter.drawText(QRect(margin, y, textWidth, boldMetrics.height()),
                     Qt::AlignRight | Qt::AlignVCenter, age);
    y += boldMetrics.height() + 4;

    painter.setPen(Theme::colour(Theme::Colour::TileTitle));
    const QStringList lines = twoLines(listing->title(), fontMetrics(), textWidth);
    for (const QString &line : lines) {
        painter.drawText(QRect(margin, y, textWidth, fontMetrics().height()),
                         Qt::AlignLeft | Qt::AlignVCenter, line);
        y += fontMetrics().height();
    }

    const int photos = listing->imagesUrls() ? int(listing->imagesUrls()->size()) : 0;
    painter.setPen(Theme::colour(Theme::Colour::InkMuted));
    painter.drawText(
        QRect(margin, height() - margin - fontMetrics().height(), textWidth,
              fontMetrics().height()),
        Qt::AlignLeft | Qt::AlignVCenter,
        listing->detailFailed() ? fontMetrics().elidedText(
            tr("Page failed: %1").arg(listing->detailFailure()), Qt::ElideRight, textWidth)
                                : (photos == 1 ? tr("1 photo") : tr("%1 photos").arg(photos)));
}

void CompactTile::mouseReleaseEvent(QMouseEvent *event)
{
    const auto listing = m_listing.lock();
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && listing
        && m_delegate) {
        event->accept();
        m_delegate->showDetailedListing(nullptr, IndexPath{ 0, listing->idInList() });
        return;
    }
    CollectionViewCell::mouseReleaseEvent(event);
}
