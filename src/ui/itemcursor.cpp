#include "ui/itemcursor.h"

#include "ui/collectionview.h"
#include "ui/collectionviewcell.h"
#include "ui/collectionviewflowlayout.h"

#include <QFocusEvent>
#include <QKeyEvent>

#include <algorithm>

namespace {

// Room left above or below an item scrolled into sight, so that its frame shows whole.
constexpr qreal sightMargin = 8;

} // namespace

ItemCursor::ItemCursor(CollectionView *view)
    : QObject(view)
    , m_view(view)
{
    m_view->installEventFilter(this);
}

bool ItemCursor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_view)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
        return key(static_cast<QKeyEvent *>(event));
    case QEvent::FocusIn: {
        // Tabbing into the view lands on an item; a click or a screen showing leaves it be.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason)
            enterSight();
        markVisibleCells();
        return false;
    }
    case QEvent::FocusOut:
        markVisibleCells();
        return false;
    default:
        return false;
    }
}

void ItemCursor::setCurrent(const std::optional<IndexPath> &indexPath)
{
    m_current = indexPath;
    if (m_current)
        scrollToCurrent();
    markVisibleCells();
}

bool ItemCursor::enterSight()
{
    if (m_current && m_view->indexPathsForVisibleItems().contains(*m_current))
        return false;
    const std::optional<IndexPath> first = firstInSight();
    if (first)
        setCurrent(first);
    return first.has_value();
}

bool ItemCursor::step(bool forward)
{
    // From where the user scrolled to, not from an item long out of sight.
    if (enterSight())
        return true;
    if (!m_current)
        return false;
    const std::optional<IndexPath> next = neighbour(*m_current, forward);
    if (!next)
        return false;
    setCurrent(next);
    return true;
}

bool ItemCursor::key(QKeyEvent *event)
{
    // Tab goes from item to item, and on to the next control past the last one.
    const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    if (tab && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        const bool forward
            = event->key() == Qt::Key_Tab && !(event->modifiers() & Qt::ShiftModifier);
        return m_view->hasFocus() && step(forward);
    }
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
        return false;
    if (m_current && m_current->section < m_view->numberOfSections()
        && m_current->item < m_view->numberOfItemsInSection(m_current->section))
        m_view->activateItem(*m_current);
    return true;
}

void ItemCursor::markCell(CollectionViewCell *cell, const IndexPath &indexPath) const
{
    cell->setMarked(m_view->hasFocus() && m_current == indexPath);
}

void ItemCursor::markVisibleCells() const
{
    const QList<IndexPath> paths = m_view->indexPathsForVisibleItems();
    for (const IndexPath &path : paths) {
        if (CollectionViewCell *cell = m_view->cellForItemAtIndexPath(path))
            markCell(cell, path);
    }
}

std::optional<IndexPath> ItemCursor::firstInSight() const
{
    const QRectF bounds = m_view->bounds();
    const QList<IndexPath> visible = m_view->indexPathsForVisibleItems();
    for (const IndexPath &path : visible) {
        const auto attributes
            = m_view->collectionViewLayout()->layoutAttributesForItemAtIndexPath(path);
        if (attributes && attributes->frame.top() >= bounds.top() + m_view->obscuredTop() - 1)
            return path;
    }
    return visible.isEmpty() ? std::nullopt : std::optional(visible.first());
}

std::optional<IndexPath> ItemCursor::neighbour(const IndexPath &from, bool forward) const
{
    if (forward) {
        for (IndexPath at{ from.section, from.item + 1 }; at.section < m_view->numberOfSections();
             at = { at.section + 1, 0 }) {
            if (at.item < m_view->numberOfItemsInSection(at.section))
                return at;
        }
        return std::nullopt;
    }
    if (from.item > 0)
        return IndexPath{ from.section, from.item - 1 };
    for (int section = from.section - 1; section >= 0; --section) {
        if (const int count = m_view->numberOfItemsInSection(section); count > 0)
            return IndexPath{ section, count - 1 };
    }
    return std::nullopt;
}

void ItemCursor::scrollToCurrent()
{
    const auto attributes
        = m_view->collectionViewLayout()->layoutAttributesForItemAtIndexPath(*m_current);
    if (!attributes)
        return;
    QRectF frame = attributes->frame;
    // A cell may need more room than its item was given so far (a tile still laying out).
    if (const CollectionViewCell *cell = m_view->cellForItemAtIndexPath(*m_current))
        frame.setHeight(std::max(frame.height(), qreal(cell->contentHeight())));
    const QRectF view = m_view->bounds();
    const QRectF clear = view.adjusted(0, m_view->obscuredTop(), 0, -m_view->obscuredBottom());
    qreal offset = view.top();
    if (frame.top() < clear.top() || frame.height() + 2 * sightMargin > clear.height())
        offset += frame.top() - sightMargin - clear.top();
    else if (frame.bottom() > clear.bottom())
        offset += frame.bottom() + sightMargin - clear.bottom();
    if (offset != view.top())
        m_view->setContentOffset(QPointF(0, offset), false);
}
