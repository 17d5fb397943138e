#pragma once

#include <optional>
#include <set>

class CollectionView;

// Once the grid has scrolled half a screen or more, the items that came into sight are asked
// for again, each once until forget() (the grid's frame or its items changed).
class ScrollReloads final
{
public:
    void forget() { m_reloaded.reset(); }
    void didScroll(CollectionView *view, int screenHeight);
    void didEndDragging(CollectionView *view, int screenHeight);
    // Reloads the visible items not reloaded since forget().
    void reloadNewlyVisible(CollectionView *view);

private:
    // The content offset at the last reload.
    int m_lastOffset = 0;
    std::optional<std::set<int>> m_reloaded;
};
