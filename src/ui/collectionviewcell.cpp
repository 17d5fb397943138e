#include "ui/collectionviewcell.h"

#include "ui/theme.h"

#include <QEvent>
#include <QPainter>

namespace {

// Drawn over the cell and its children, clicks passing through; follows the cell's size.
class CellMarker final : public QWidget
{
public:
    explicit CellMarker(QWidget *cell)
        : QWidget(cell)
    {
        setObjectName(QStringLiteral("cellMarker"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        cell->installEventFilter(this);
        setGeometry(cell->rect());
        raise();
        show();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == parent() && event->type() == QEvent::Resize)
            setGeometry(parentWidget()->rect());
        else if (watched == parent() && event->type() == QEvent::ChildAdded)
            raise();
        return false;
    }
    void paintEvent(QPaintEvent *) override
    {
        constexpr qreal width = 3;
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Theme::colour(Theme::Colour::Accent), width));
        painter.drawRoundedRect(
            QRectF(rect()).adjusted(width / 2, width / 2, -width / 2, -width / 2), 6, 6);
    }
};

} // namespace

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
        m_marker = new CellMarker(this);
    } else {
        delete m_marker;
        m_marker = nullptr;
    }
}
