#include "grid/tilecard.h"

#include "ui/theme.h"

#include <QLoggingCategory>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

Q_LOGGING_CATEGORY(lcTileCard, "listoro.grid.tilecard", QtInfoMsg)

namespace {

const QColor cardColor(Qt::white);

} // namespace

TileCard::TileCard(QWidget *parent)
    : QWidget(parent)
{
    // Only the corners are see-through; the rest is painted in full.
    setAttribute(Qt::WA_NoSystemBackground);
}

TileCard::~TileCard() = default;

void TileCard::setHeaderHeight(int height)
{
    if (height == m_headerHeight)
        return;
    m_headerHeight = height;
    update();
}

void TileCard::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect dirty = event->rect();
    // A card no taller than its header is all header: it gets no band of its own.
    const int header = m_headerHeight > 0 && m_headerHeight < height() ? m_headerHeight : 0;
    const QRect band(0, 0, width(), header);
    const qreal radius = std::min({ cornerRadius, width() / 2.0, height() / 2.0 });
    // Most repaints are strips in the middle of a tall card, where plain fills do.
    if (dirty.top() >= radius && dirty.bottom() < height() - radius - 1) {
        painter.fillRect(dirty, cardColor);
        painter.fillRect(dirty & band, Theme::colour(Theme::Colour::TileHeader));
    } else {
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath outline;
        outline.addRoundedRect(QRectF(rect()), radius, radius);
        painter.fillPath(outline, Theme::colour(Theme::Colour::TileEdge));
        QPainterPath face;
        face.addRoundedRect(QRectF(rect()).adjusted(0, 0, 0, -1), radius, radius);
        painter.fillPath(face, cardColor);
        if (header > 0) {
            painter.save();
            painter.setClipRect(band);
            painter.fillPath(face, Theme::colour(Theme::Colour::TileHeader));
            painter.restore();
        }
        painter.setRenderHint(QPainter::Antialiasing, false);
    }
    if (header > 0)
        painter.fillRect(QRect(0, header - 1, width(), 1),
                         Theme::colour(Theme::Colour::TileHairline));
    qCDebug(lcTileCard) << "painted" << dirty << "of" << size();
}
