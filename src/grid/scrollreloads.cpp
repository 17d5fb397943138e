#include "grid/scrollreloads.h"

#include "ui/collectionview.h"

#include <cmath>

void ScrollReloads::didScroll(CollectionView *view, int screenHeight)
{
    const int offset = int(view->contentOffset().y());
    if (std::abs(offset - m_lastOffset) > screenHeight / 2)
        reloadNewlyVisible(view);
}

void ScrollReloads::didEndDragging(CollectionView *view, int screenHeight)
{
    const int distance = std::abs(int(view->contentOffset().y()) - m_lastOffset);
    if (distance > screenHeight * 0.5 - 1.0 || view->contentOffset().y() == view->height())
        reloadNewlyVisible(view);
}

void ScrollReloads::reloadNewlyVisible(CollectionView *view)
{
    m_lastOffset = int(view->contentOffset().y());
    std::set<int> visible;
    for (const IndexPath &path : view->indexPathsForVisibleItems())
        visible.insert(path.row());
    QList<IndexPath> reload;
    for (int row : visible) {
        if (!m_reloaded || !m_reloaded->count(row))
            reload.append(IndexPath{ 0, row });
    }
    if (m_reloaded)
        m_reloaded->insert(visible.cbegin(), visible.cend());
    else
        m_reloaded = visible;
    view->reloadItems(reload);
}
