#include "gallerywindow.h"

#include "grid/displayparsedlink.h"
#include "grid/largeuicollectionview.h"
#include "saved/zestofavorite.h"
#include "widgets/bigactivityindicator.h"
#include "widgets/custombadge.h"
#include "widgets/roundedrectview.h"
#include "widgets/systemfont.h"

#include <QAbstractButton>
#include <QDeadlineTimer>
#include <QLabel>
#include <QLoggingCategory>
#include <QTimer>

Q_LOGGING_CATEGORY(lcGalleryWindow, "listoro.gallery.window", QtInfoMsg)

namespace {

constexpr int overlayMargin = 20;
constexpr QSize panelSize(132, 38);
constexpr int indicatorSide = 120;

} // namespace

GalleryWindow::GalleryWindow(QList<ParsedLink::Ptr> records, QWidget *parent)
    : QWidget(parent)
    , m_source(records, this)
{
    setWindowTitle(QStringLiteral("Listoro gallery"));
    setFixedSize(windowSize);
    m_grid = new LargeUICollectionView(QRect(QPoint(), windowSize), this);
    m_source.attach(m_grid);
    // As the screen does when each listing reports a change.
    for (const ParsedLink::Ptr &record : records)
        m_source.parsedLinkModified(record);

    auto *panel = new RoundedRectView(this);
    panel->setCornerRadius(panelSize.height() / 2.0);
    panel->setFillColor(QColor(20, 28, 40, 200));
    panel->setGeometry(
        QRect(QPoint(overlayMargin, height() - overlayMargin - panelSize.height()), panelSize));
    auto *label = new QLabel(tr("Favorites"), panel);
    label->setFont(SystemFont::boldSystemFontOfSize(15, label));
    QPalette labelPalette = label->palette();
    labelPalette.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(labelPalette);
    label->setGeometry(18, 0, panelSize.width() - 18, panelSize.height());
    m_favoritesPanel = panel;
    m_badge = CustomBadge::customBadgeWithString(QStringLiteral("0"), this);
    updateFavoritesCount();

    const QRect indicator(width() - overlayMargin - indicatorSide,
                          height() - overlayMargin - indicatorSide, indicatorSide, indicatorSide);
    new BigActivityIndicator(indicator, this);
}

GalleryWindow::~GalleryWindow() = default;

void GalleryWindow::updateFavoritesCount()
{
    m_badge->autoBadgeSizeWithString(QString::number(ZestoFavorite::getFavorites().size()));
    // Over the panel's top right corner, as a count sits on an icon.
    const QRect panel = m_favoritesPanel->geometry();
    m_badge->move(panel.right() - m_badge->width() / 2, panel.top() - m_badge->height() / 2);
    m_badge->raise();
}

void GalleryWindow::showDetailedListing(DisplayParsedLink *, const IndexPath &indexPath)
{
    const ParsedLink::Ptr record = m_source.records().value(indexPath.item);
    if (!record)
        return;
    qCInfo(lcGalleryWindow) << "open listing" << indexPath.item << record->url();
    setWindowTitle(QStringLiteral("Listoro gallery \u2014 %1").arg(record->title()));
}

void GalleryWindow::addRemoveFavorite(QAbstractButton *button,
                                      const std::shared_ptr<ParsedLink> &parsedLink)
{
    if (!button || !parsedLink)
        return;
    const bool isFavorite = ZestoFavorite::isFavorited(parsedLink->url());
    if (isFavorite)
        ZestoFavorite::removeFavoriteWithUrl(parsedLink->url());
    else
        ZestoFavorite(parsedLink->title(), parsedLink->url()).addToFavorites();
    DisplayParsedLink::showFavoriteState(button, !isFavorite);
    updateFavoritesCount();
}

void GalleryWindow::saveWhenPlaced(const QString &file, int scroll, int timeoutMs,
                                   std::function<void(bool)> done)
{
    m_grid->layoutIfNeeded();
    if (scroll > 0)
        m_grid->setContentOffset(QPointF(0, scroll), false);
    auto *poll = new QTimer(this);
    const QDeadlineTimer deadline(timeoutMs);
    connect(poll, &QTimer::timeout, this, [this, poll, deadline, file, done] {
        const bool placed = ListingGridSource::photosPlaced(m_grid);
        if (!placed && !deadline.hasExpired())
            return;
        poll->deleteLater();
        if (!placed)
            qCWarning(lcGalleryWindow) << "photos still loading after the time allowed";
        const bool saved = grab().save(file);
        if (saved)
            qCInfo(lcGalleryWindow) << "saved" << file;
        else
            qCWarning(lcGalleryWindow) << "cannot save" << file;
        done(placed && saved);
    });
    poll->start(50);
}
