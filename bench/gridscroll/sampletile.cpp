#include "sampletile.h"

#include <QPainter>

SampleTile::SampleTile(QWidget *parent)
    : CollectionViewCell(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

SampleTile::~SampleTile() = default;

void SampleTile::setItem(int item)
{
    m_item = item;
    update();
}

void SampleTile::paintEvent(QPaintEvent *)
{
    constexpr int header = 52;
    constexpr int margin = 30;
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(Qt::black);
    painter.drawText(QRect(52, 0, width() - 52, header), Qt::AlignVCenter,
                     QStringLiteral("Listing %1: %2 points high").arg(m_item).arg(height()));
    painter.fillRect(QRect(10, 10, 32, 32), QColor(0x3a, 0x7b, 0xd5));

    const int column = (width() - 3 * margin) / 2;
    int y = header;
    for (int photo = 0; y + 120 <= height() - margin; ++photo) {
        const int photoHeight = std::min(400, 120 + (m_item * 37 + photo * 53) % 280);
        const int rowHeight = std::min(photoHeight, height() - margin - y);
        const int x = photo % 2 == 0 ? margin : 2 * margin + column;
        painter.fillRect(QRect(x, y, column, rowHeight), QColor(0xc8, 0xcc, 0xd2));
        painter.drawText(QRect(x, y, column, rowHeight), Qt::AlignCenter,
                         QStringLiteral("photo %1").arg(photo + 1));
        if (photo % 2 == 1)
            y += photoHeight + margin;
    }
}
