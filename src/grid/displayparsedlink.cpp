#include "grid/displayparsedlink.h"

#include "grid/favoritebutton.h"
#include "grid/listingage.h"
#include "grid/seenveil.h"
#include "grid/tilecard.h"
#include "grid/tilephotocache.h"
#include "grid/tilephotolayout.h"
#include "grid/zestolistingprotocol.h"
#include "platform/imageutils.h"
#include "platform/mainqueue.h"
#include "saved/zestofavorite.h"
#include "scrape/parsedlink.h"
#include "ui/activityindicatorview.h"
#include "ui/theme.h"
#include "ui/untrustedtext.h"
#include "ui/viewtag.h"

#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QThread>

#include <algorithm>
#include <cmath>

Q_LOGGING_CATEGORY(lcTile, "listoro.tile")

using namespace Qt::StringLiterals;

namespace {

constexpr int favoriteButtonSize = 32;

constexpr qreal titleScale = 1.2;

} // namespace

DisplayParsedLink::DisplayParsedLink(QWidget *parent)
    : CollectionViewCell(parent)
{
    // White until the first render; from then on the card draws it, with rounded corners.
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    setCursor(Qt::PointingHandCursor);
}

DisplayParsedLink::~DisplayParsedLink()
{
    if (m_cancelled)
        m_cancelled->store(true);
}

void DisplayParsedLink::setParsedLink(const std::shared_ptr<ParsedLink> &parsedLink)
{
    if (parsedLink && m_parsedLink.lock() == parsedLink)
        return;
    m_parsedLink = parsedLink;
    m_linesHeights.clear();
    m_fitSizesForPhotos.clear();
    m_computedImageWidth = computeImageWidth();
    computeDimensions();
}

int DisplayParsedLink::computeImageWidth() const
{
    return TilePhotoLayout::columnWidthFor(m_width, m_photosPerLine, m_horizontalMargin);
}

TilePhotoLayout DisplayParsedLink::photoLayout() const
{
    TilePhotoLayout layout;
    layout.width = m_width;
    layout.photosPerLine = m_photosPerLine;
    layout.maxPhotoHeight = m_maxPhotoHeight;
    layout.headerHeight = m_headerHeight;
    layout.horizontalMargin = m_horizontalMargin;
    layout.verticalMargin = m_verticalMargin;
    layout.columnWidth = m_computedImageWidth;
    return layout;
}

int DisplayParsedLink::getImageXPos(int index) const
{
    return photoLayout().imageX(index);
}

void DisplayParsedLink::computeDimensions()
{
    m_computedImageWidth = computeImageWidth();
    if (m_photosPerLine == 0)
        m_photosPerLine = 1;
    const auto record = m_parsedLink.lock();
    m_height = record ? photoLayout().walk(*record, nullptr, &m_linesHeights) : m_headerHeight;
    if (record)
        record->setSize({ float(m_width), float(m_height) });
}

void DisplayParsedLink::recomputeDimensionsWithWidth(int width)
{
    m_width = width;
    computeDimensions();
    // The grid places the tile; only its size follows here. A tile already drawn is drawn
    // again: its card, title, indicator and photos were placed for the old width.
    if (m_renderedWidth >= 0 && m_renderedWidth != m_width)
        render();
    else
        resize(m_width, m_height);
}

void DisplayParsedLink::showFavoriteState(QAbstractButton *button, bool isFavorite)
{
    if (!button)
        return;
    button->setIcon(
        QIcon(isFavorite ? QStringLiteral(":/delete.png") : QStringLiteral(":/add.png")));
    button->setToolTip(isFavorite ? tr("Remove from favorites") : tr("Add to favorites"));
    button->setAccessibleName(button->toolTip());
    setViewTag(button, isFavorite ? 1 : 0);
}

int DisplayParsedLink::placeFacts(const ParsedLink &record, int right)
{
    constexpr int gap = 12;
    int used = 0;
    // Coloured by the style sheet: the price in the brand's green, the age muted.
    const auto place = [&](const char *name, const QString &text, const QString &tip, bool bold,
                           int padding = 0) {
        if (text.isEmpty())
            return;
        auto *label = new QLabel(this);
        label->setObjectName(QLatin1StringView(name));
        UntrustedText::makePlain(label);
        QFont font = label->font();
        if (bold) {
            font.setPointSizeF(font.pointSizeF() * titleScale);
            font.setWeight(QFont::Bold);
        }
        label->setFont(font);
        // A site's price text can be long: it never takes more than a quarter of the tile.
        const QString shown
            = label->fontMetrics().elidedText(text, Qt::ElideRight, std::max(60, m_width / 4));
        label->setText(shown);
        UntrustedText::setToolTip(label, tip);
        const int width = label->fontMetrics().horizontalAdvance(shown) + 4 + 2 * padding;
        const int height = padding > 0 ? label->fontMetrics().height() + 8 : m_headerHeight;
        label->setGeometry(m_width - right - used - width, (m_headerHeight - height) / 2, width,
                           height);
        label->setAlignment(padding > 0 ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter);
        label->show();
        used += width + gap;
    };
    // Right to left: the age at the edge, the price before it.
    place("tileAge", ListingAge::shortText(record.posted(), QDateTime::currentDateTimeUtc()),
          ListingAge::fullText(record.posted()), false);
    place("tilePrice", record.price().text(), record.price().text(), true);
    if (record.isNew())
        place("tileNew", tr("New"), tr("Not listed at your last visit of this bookmark"), false, 8);
    if (!record.otherPostings().isEmpty()) {
        place("tileReposted",
              ListingAge::repostedText(record.firstPosted(), QDateTime::currentDateTimeUtc()),
              tr("The same photo and title were posted at another address: open the listing to "
                 "see both"),
              false, 8);
    }
    return used;
}

void DisplayParsedLink::refreshSeenState()
{
    SeenVeil::follow(this, m_seenVeil, m_parsedLink.lock().get(), 10);
}

void DisplayParsedLink::refreshFavoriteState()
{
    const auto record = m_parsedLink.lock();
    if (m_addRemoveFavorite && record)
        showFavoriteState(m_addRemoveFavorite, ZestoFavorite::isFavorited(record->url()));
}

void DisplayParsedLink::render()
{
    const auto record = m_parsedLink.lock();
    if (m_photosPerLine == 0)
        m_photosPerLine = 1;
    m_renderedRevision = record ? record->revision() : -1;
    m_renderedWidth = m_width;
    computeDimensions();
    resize(m_width, m_height);

    // Discard every view of the previous pass; its photos still loading are dropped too.
    ++m_pass;
    if (m_cancelled)
        m_cancelled->store(true);
    m_cancelled = std::make_shared<std::atomic<bool>>(false);
    const QList<QWidget *> old = findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (QWidget *child : old)
        delete child;
    m_photoFrames.clear();

    setAutoFillBackground(false);
    auto *card = new TileCard(this);
    card->setObjectName(QStringLiteral("tileCard"));
    card->setHeaderHeight(m_headerHeight);
    card->setGeometry(0, 0, m_width, m_height);
    card->show();
    card->raise();

    if (record && record->title().isNull())
        record->setTitle(QStringLiteral(""));
    auto *title = new QLabel(this);
    title->setObjectName(QStringLiteral("tileTitle"));
    UntrustedText::makePlain(title);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * titleScale);
    titleFont.setWeight(QFont::DemiBold);
    title->setFont(titleFont);
    QPalette titlePalette = title->palette();
    titlePalette.setColor(QPalette::WindowText, Theme::colour(Theme::Colour::TileTitle));
    title->setPalette(titlePalette);
    title->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    title->setGeometry(favoriteButtonSize + 20, 0, m_width, m_headerHeight);
    const QString text = record ? record->title().simplified() : QString();
    // Keep clear of the loading indicator, or of why the listing page failed, at the right.
    int rightSide = 20;
    if (record && record->detailFailed()) {
        auto *failure = new QLabel(this);
        failure->setObjectName(QStringLiteral("tileFailure"));
        QPalette failurePalette = failure->palette();
        failurePalette.setColor(QPalette::WindowText, Qt::darkGray);
        failure->setPalette(failurePalette);
        failure->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        // The reason may quote a server: plain text, never markup.
        failure->setTextFormat(Qt::PlainText);
        const QString why = tr("Page failed: %1").arg(record->detailFailure());
        const int widest = m_width / 2;
        const QString shown = failure->fontMetrics().elidedText(why, Qt::ElideRight, widest);
        rightSide = failure->fontMetrics().horizontalAdvance(shown) + 10;
        failure->setText(shown);
        UntrustedText::setToolTip(failure, why);
        failure->setGeometry(m_width - m_horizontalMargin - rightSide, 0, rightSide,
                             m_headerHeight);
        failure->show();
    }
    if (record)
        rightSide += placeFacts(*record, m_horizontalMargin + rightSide);
    const int available
        = qMax(0, m_width - favoriteButtonSize - 20 - 2 * m_horizontalMargin - rightSide);
    title->setTextFormat(Qt::PlainText);
    title->setText(title->fontMetrics().elidedText(text, Qt::ElideRight, available));
    UntrustedText::setToolTip(title, text);
    // A screen reader says the listing's title for the tile the keyboard is on.
    setAccessibleName(text);
    title->show();

    auto *button = new FavoriteButton(this);
    button->setObjectName(QStringLiteral("tileFavorite"));
    button->setGeometry(10, 10, favoriteButtonSize, favoriteButtonSize);
    button->setIconSize(QSize(favoriteButtonSize, favoriteButtonSize));
    showFavoriteState(button, record && ZestoFavorite::isFavorited(record->url()));
    connect(button, &QAbstractButton::clicked, this, &DisplayParsedLink::handleFavoriteButtonTap);
    button->show();
    m_addRemoveFavorite = button;

    // No indicator once nothing more will arrive for a listing without photos.
    const bool finished = record && record->settled() && record->imagesCount() == 0;
    m_loading = nullptr;
    if (!finished) {
        auto *spinner = new ActivityIndicatorView(ActivityIndicatorView::Style::Gray, this);
        spinner->move(m_width - spinner->width() - m_horizontalMargin, 10);
        spinner->show();
        spinner->startAnimating();
        m_loading = spinner;
    }
    refreshSeenState();

    int y = m_headerHeight;
    const int completed = record ? record->settledImagesCount() : 0;
    m_counter = std::make_shared<int>(0);
    if (record && completed > 0) {
        QList<TilePhotoLayout::Photo> photos;
        y = photoLayout().walk(*record, &photos, &m_linesHeights);
        // Completed photos that take no room count as placed at once.
        *m_counter += completed - int(photos.size());
        const qreal scale = ImageUtils::displayScaleFactor();
        const int pass = m_pass;
        const auto counter = m_counter;
        for (const TilePhotoLayout::Photo &photo : std::as_const(photos))
            m_photoFrames.insert(photo.index, photo.frame);
        QPointer<DisplayParsedLink> self(this);
        for (const TilePhotoLayout::Photo &photo : std::as_const(photos)) {
            if (photo.failed) {
                placeFailedPhoto(photo.frame);
                ++*m_counter;
                continue;
            }
            // Decoded ahead of time, the photo is placed at once; otherwise when its decode
            // finishes, unless the tile has moved on to another pass by then.
            const TilePhotoCache::Request request{
                { photo.url, TilePhotoLayout::pixelSize(photo.frame, scale) }, photo.fitted, scale
            };
            const int index = photo.index;
            const QRectF frame = photo.frame;
            TilePhotoCache::instance().decode(
                request, m_cancelled, [self, pass, index, frame, counter](const QImage &image) {
                    if (self)
                        self->placePhoto(pass, index, image, frame, counter);
                });
        }
        if (*m_counter >= completed && m_loading)
            m_loading->stopAnimating();
    }

    m_height = y;
    computeDimensions();
    if (record)
        record->setSize({ float(m_width), float(m_height) });
    card->resize(m_width, m_height);
    resize(m_width, m_height);
}

void DisplayParsedLink::placeFailedPhoto(const QRectF &frame)
{
    auto *placeholder = new QLabel(tr("Photo not loaded\n(F5 tries again)"), this);
    placeholder->setObjectName(QStringLiteral("tilePhotoFailed"));
    placeholder->setAlignment(Qt::AlignCenter);
    placeholder->setWordWrap(true);
    placeholder->setStyleSheet(QStringLiteral(
        "QLabel { background: #ececec; color: #666666; border: 1px dashed #b0b0b0; }"));
    placeholder->setGeometry(TilePhotoLayout::viewGeometry(frame));
    placeholder->setAttribute(Qt::WA_TransparentForMouseEvents);
    placeholder->show();
}

void DisplayParsedLink::placePhoto(int pass, int index, const QImage &image, QRectF frame,
                                   const std::shared_ptr<int> &counter)
{
    if (pass != m_pass)
        return;
    if (!image.isNull()) {
        auto *view = new QLabel(this);
        view->setObjectName(QStringLiteral("tilePhoto"));
        // Already at the view's pixel size: drawn as it is, never rescaled while painting.
        view->setPixmap(QPixmap::fromImage(image));
        view->setGeometry(TilePhotoLayout::viewGeometry(frame));
        view->setAttribute(Qt::WA_OpaquePaintEvent);
        view->setAttribute(Qt::WA_TransparentForMouseEvents);
        view->show();
    } else {
        qCDebug(lcTile) << "photo" << index << "could not be read";
    }
    const auto record = m_parsedLink.lock();
    // Photos are placed on the GUI thread only: the counter needs no lock.
    Q_ASSERT(QThread::currentThread() == thread());
    ++*counter;
    if (m_loading && record && *counter >= record->settledImagesCount())
        m_loading->stopAnimating();
}

bool DisplayParsedLink::showsCurrent(const std::shared_ptr<ParsedLink> &parsedLink) const
{
    return parsedLink && m_parsedLink.lock() == parsedLink
        && m_renderedRevision == parsedLink->revision() && m_renderedWidth == m_width;
}

int DisplayParsedLink::placedPhotos() const
{
    return m_counter ? *m_counter : 0;
}

void DisplayParsedLink::handleSingleTap()
{
    const auto record = m_parsedLink.lock();
    if (m_delegate && record)
        m_delegate->showDetailedListing(this, IndexPath{ 0, record->idInList() });
}

void DisplayParsedLink::handleFavoriteButtonTap()
{
    const auto record = m_parsedLink.lock();
    if (m_delegate && record)
        m_delegate->addRemoveFavorite(m_addRemoveFavorite, record);
}

void DisplayParsedLink::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        event->accept();
        handleSingleTap();
        return;
    }
    CollectionViewCell::mouseReleaseEvent(event);
}
