#include "ui/collectionviewflowlayout.h"

#include "ui/collectionview.h"
#include "ui/collectionviewdelegate.h"

#include <QLoggingCategory>

#include <algorithm>

Q_LOGGING_CATEGORY(lcFlowLayout, "listoro.ui.flowlayout", QtWarningMsg)

namespace {

// Items whose widths add up to the line's width exactly must not wrap for a rounding error.
constexpr qreal fitTolerance = 1e-3;

qreal nonNegative(qreal value)
{
    return value > 0 ? value : 0; // also turns NaN into 0
}

QSizeF sanitised(const QSizeF &size)
{
    return { nonNegative(size.width()), nonNegative(size.height()) };
}

QMarginsF sanitised(const QMarginsF &inset)
{
    return { nonNegative(inset.left()), nonNegative(inset.top()), nonNegative(inset.right()),
             nonNegative(inset.bottom()) };
}

} // namespace

CollectionViewFlowLayout::CollectionViewFlowLayout(QObject *parent)
    : QObject(parent)
{
}

CollectionViewFlowLayout::~CollectionViewFlowLayout() = default;

void CollectionViewFlowLayout::setMinimumLineSpacing(qreal spacing)
{
    m_minimumLineSpacing = nonNegative(spacing);
    invalidateLayout();
}

void CollectionViewFlowLayout::setMinimumInteritemSpacing(qreal spacing)
{
    m_minimumInteritemSpacing = nonNegative(spacing);
    invalidateLayout();
}

void CollectionViewFlowLayout::setItemSize(const QSizeF &size)
{
    m_itemSize = sanitised(size);
    invalidateLayout();
}

void CollectionViewFlowLayout::setSectionInset(const QMarginsF &inset)
{
    m_sectionInset = sanitised(inset);
    invalidateLayout();
}

void CollectionViewFlowLayout::setCollectionView(CollectionView *collectionView)
{
    m_collectionView = collectionView;
    invalidateLayout();
}

void CollectionViewFlowLayout::invalidateLayout()
{
    m_prepared = false;
    if (m_collectionView)
        m_collectionView->setNeedsLayout();
}

void CollectionViewFlowLayout::prepareIfNeeded()
{
    if (m_prepared)
        return;
    // Set first: a subclass's prepareLayout() may itself query the layout.
    m_prepared = true;
    prepareLayout();
}

void CollectionViewFlowLayout::prepareLayout()
{
    m_frames.clear();
    m_sectionStarts.clear();
    m_lines.clear();
    m_contentSize = QSizeF();
    CollectionView *view = m_collectionView;
    if (!view)
        return;

    CollectionViewDelegate *delegate = view->delegate();
    const qreal width = view->bounds().width();
    const int sections = view->numberOfSections();
    qreal y = 0;
    for (int section = 0; section < sections; ++section) {
        m_sectionStarts.append(int(m_frames.size()));
        const QMarginsF inset = sanitised(
            delegate ? delegate->insetForSectionAtIndex(view, this, section) : m_sectionInset);
        const qreal left = inset.left();
        const qreal right = width - inset.right();
        y += inset.top();

        Line line{ y, y, int(m_frames.size()), 0 };
        qreal x = left;
        const int items = view->numberOfItemsInSection(section);
        for (int item = 0; item < items; ++item) {
            const QSizeF size = sanitised(
                delegate ? delegate->sizeForItemAtIndexPath(view, this, IndexPath{ section, item })
                         : m_itemSize);
            if (line.count > 0
                && x + m_minimumInteritemSpacing + size.width() > right + fitTolerance) {
                m_lines.append(line);
                y = line.bottom + m_minimumLineSpacing;
                line = Line{ y, y, int(m_frames.size()), 0 };
                x = left;
            }
            if (line.count > 0)
                x += m_minimumInteritemSpacing;
            m_frames.append(QRectF(QPointF(x, y), size));
            x += size.width();
            line.bottom = std::max(line.bottom, y + size.height());
            ++line.count;
        }
        if (line.count > 0) {
            m_lines.append(line);
            y = line.bottom;
        }
        y += inset.bottom();
    }
    m_sectionStarts.append(int(m_frames.size()));
    m_contentSize = QSizeF(width, y);
    qCDebug(lcFlowLayout) << "laid out" << m_frames.size() << "items in" << m_lines.size()
                          << "lines, content" << m_contentSize;
}

QSizeF CollectionViewFlowLayout::collectionViewContentSize()
{
    prepareIfNeeded();
    return m_contentSize;
}

QList<LayoutAttributes> CollectionViewFlowLayout::layoutAttributesForElementsInRect(
    const QRectF &rect)
{
    prepareIfNeeded();
    QList<LayoutAttributes> result;
    if (rect.isEmpty() || m_lines.isEmpty())
        return result;

    // Lines above the rectangle end at or before its top.
    auto line = std::upper_bound(m_lines.cbegin(), m_lines.cend(), rect.top(),
                                 [](qreal top, const Line &l) { return top < l.bottom; });
    int section = -1;
    for (; line != m_lines.cend() && line->top < rect.bottom(); ++line) {
        for (int i = line->first; i < line->first + line->count; ++i) {
            const QRectF &frame = m_frames.at(i);
            if (!frame.intersects(rect))
                continue;
            if (section < 0) {
                section = int(std::upper_bound(m_sectionStarts.cbegin(), m_sectionStarts.cend(), i)
                              - m_sectionStarts.cbegin())
                    - 1;
            }
            while (m_sectionStarts.at(section + 1) <= i)
                ++section;
            result.append({ IndexPath{ section, i - m_sectionStarts.at(section) }, frame });
        }
    }
    return result;
}

std::optional<LayoutAttributes> CollectionViewFlowLayout::layoutAttributesForItemAtIndexPath(
    const IndexPath &indexPath)
{
    prepareIfNeeded();
    if (indexPath.section < 0 || indexPath.section + 1 >= m_sectionStarts.size()
        || indexPath.item < 0)
        return std::nullopt;
    const int index = m_sectionStarts.at(indexPath.section) + indexPath.item;
    if (index >= m_sectionStarts.at(indexPath.section + 1))
        return std::nullopt;
    return LayoutAttributes{ indexPath, m_frames.at(index) };
}

bool CollectionViewFlowLayout::shouldInvalidateLayoutForBoundsChange(const QRectF &newBounds)
{
    return !m_collectionView || newBounds.width() != m_collectionView->bounds().width();
}
