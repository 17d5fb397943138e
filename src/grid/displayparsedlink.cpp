#include "grid/displayparsedlink.h"

#include "grid/favoritebutton.h"
#include "grid/tilecard.h"
#include "grid/zestolistingprotocol.h"
#include "platform/imageutils.h"
#include "platform/mainqueue.h"
#include "saved/zestofavorite.h"
#include "scrape/parsedlink.h"
#include "ui/activityindicatorview.h"
#include "ui/theme.h"
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

namespace {

constexpr int favoriteButtonSize = 32;

constexpr qreal titleScale = 1.2;
constexpr qreal photoCornerRadius = 3;

// Loads a cached photo straight at the pixel size it is shown at, with its corners rounded
// onto the card's white: the GUI thread then only wraps it in a view. Null when the file is gone
// or is not an image.
QImage loadPhoto(const QString &url, FloatSize fitted, QSize pixels, qreal scale)
{
    const bool hasFittedCopy = ParsedLink::isCachedImageWithUrl(url, fitted);
    QImageReader reader(hasFittedCopy ? ParsedLink::getImagePathFromStringURL(url, fitted)
                                      : ParsedLink::getImagePathFromStringURL(url));
    reader.setAutoTransform(true);
    const QSize original = reader.size();
    if (!original.isValid()
        || qint64(original.width()) * original.height() > ImageUtils::maxImagePixels)
        return {};
    if (!hasFittedCopy)
        reader.setScaledSize(pixels);
    QImage image = reader.read();
    if (image.isNull())
        return {};
    if (image.size() != pixels)
        image = image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QImage framed(pixels, QImage::Format_RGB32);
    framed.fill(Qt::white);
    QPainter painter(&framed);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal radius
        = std::min({ photoCornerRadius * scale, pixels.width() / 2.0, pixels.height() / 2.0 });
    QPainterPath corners;
    corners.addRoundedRect(QRectF(QPointF(), QSizeF(pixels)), radius, radius);
    painter.setClipPath(corners);
    painter.drawImage(0, 0, image);
    painter.end();
    framed.setDevicePixelRatio(scale);
    return framed;
}

// The view's frame for a photo's fitted frame: whole points, as the tile has always placed them.
QRect photoGeometry(const QRectF &frame)
{
    return QRect(int(frame.x()), int(frame.y()), int(frame.width()), int(frame.height()));
}

} // namespace

// Walks the photos in index order, column by column and row by row, as far as photos have
// completed (or failed: a dead photo must not hide the ones after it). place() gets each photo
// that has a known size, with its fitted size and the top of its row; the result is the height
// below the last row. A photo whose size is unknown takes no room, but still closes its row, so
// the next row starts below the one above.
struct DisplayParsedLink::RowLayout
{
    static int walk(DisplayParsedLink &tile, const ParsedLink &record,
                    const std::function<void(int, const QString &, FloatSize, int)> &place)
    {
        int h = tile.m_headerHeight;
        const int n = record.settledImagesCount();
        if (n <= 0)
            return h;
        const QStringList urls = record.imagesUrls().value_or(QStringList());
        const int perLine = qMax(1, tile.m_photosPerLine);
        const FloatSize box{ float(tile.m_computedImageWidth), float(tile.m_maxPhotoHeight) };
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
            const FloatSize size = url.isNull() ? FloatSize() : record.getSizeForImageByUrl(url);
            if (!size.hasZeroSide()) {
                const FloatSize fitted = ImageUtils::fitSize(size, box);
                if (place)
                    place(i, url, fitted, h);
                const float height
                    = column == 0 ? fitted.height : std::max(fitted.height, float(rowHeight));
                rowHeight = int(height);
                tile.m_linesHeights.insert(row, rowHeight);
                rowHasPhoto = true;
            }
            if ((column == perLine - 1 || i == n - 1) && rowHasPhoto)
                h += tile.m_verticalMargin + rowHeight;
        }
        return h;
    }
};

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
    if (m_photosPerLine == 0)
        return m_width;
    return (m_width - (m_photosPerLine + 1) * m_horizontalMargin) / m_photosPerLine;
}

int DisplayParsedLink::getImageXPos(int index) const
{
    const int perLine = qMax(1, m_photosPerLine);
    const int column = index % perLine;
    if (column == 0)
        return m_horizontalMargin;
    return m_horizontalMargin * (column + 1) + column * m_computedImageWidth;
}

void DisplayParsedLink::computeDimensions()
{
    m_computedImageWidth = computeImageWidth();
    if (m_photosPerLine == 0)
        m_photosPerLine = 1;
    const auto record = m_parsedLink.lock();
    m_height = record ? RowLayout::walk(*this, *record, {}) : m_headerHeight;
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
    setViewTag(button, isFavorite ? 1 : 0);
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
    // Keep clear of the loading indicator at the right.
    const int available = qMax(0, m_width - favoriteButtonSize - 20 - 2 * m_horizontalMargin - 20);
    title->setText(title->fontMetrics().elidedText(text, Qt::ElideRight, available));
    title->setToolTip(text);
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

    int y = m_headerHeight;
    const int completed = record ? record->settledImagesCount() : 0;
    m_counter = std::make_shared<int>(0);
    if (record && completed > 0) {
        const int pass = m_pass;
        const auto counter = m_counter;
        const auto cancelled = m_cancelled;
        const qreal scale = ImageUtils::displayScaleFactor();
        const std::weak_ptr<ParsedLink> weakRecord = record;
        QPointer<DisplayParsedLink> self(this);
        int placed = 0;
        y = RowLayout::walk(
            *this, *record, [&](int i, const QString &url, FloatSize fitted, int top) {
                ++placed;
                const QRectF frame(getImageXPos(i), top, fitted.width, fitted.height);
                m_photoFrames.insert(i, frame);
                const QSize pixels = photoGeometry(frame).size() * scale;
                MainQueue::runInBackground([self, weakRecord, pass, i, url, fitted, pixels, frame,
                                            counter, cancelled, scale] {
                    QImage image;
                    const auto owner = weakRecord.lock();
                    // A tile that moved on to another pass no longer needs this photo.
                    if (owner && !cancelled->load() && i < owner->settledImagesCount()
                        && !pixels.isEmpty())
                        image = loadPhoto(url, fitted, pixels, scale);
                    MainQueue::post([self, pass, i, image, frame, counter] {
                        if (self)
                            self->placePhoto(pass, i, image, frame, counter);
                    });
                });
            });
        // Completed photos that take no room count as placed at once.
        *m_counter += completed - placed;
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
        view->setGeometry(photoGeometry(frame));
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
