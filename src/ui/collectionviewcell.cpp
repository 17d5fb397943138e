#include "ui/collectionviewcell.h"

#include "ui/celloverlay.h"
#include "ui/theme.h"

CollectionViewCell::CollectionViewCell(QWidget *parent)
    : QWidget(parent)
{
}

CollectionViewCell::~CollectionViewCell() = default;

void CollectionViewCell::prepareForReuse() { }

int CollectionViewCell::contentHeight() const
{
    return height();
}

void CollectionViewCell::setMarked(bool marked)
{
    if (marked == isMarked())
        return;
    if (marked) {
        m_marker
            = new CellOverlay(this, Qt::NoBrush, QPen(Theme::colour(Theme::Colour::Accent), 3), 6);
        m_marker->setObjectName(QStringLiteral("cellMarker"));
    } else {
        delete m_marker.data();
    }
}
