#pragma once

#include "saved/zestobookmark.h"

#include <QBrush>
#include <QList>

#include <functional>

class HomeHeader;
class PanelView;
class QLabel;
class QListWidget;
class QWidget;
class ZestoBookmarkTableCell;

// The home screen's bookmarks panel: a heading with the number of saved pages over the table of
// bookmarks, and a hint in their place while there are none. The hint lies over the panel rather
// than in it, so it stays legible while the empty panel is dimmed.
class BookmarksPanel
{
public:
    static constexpr int headerHeight = 56;
    static constexpr int rowHeight = 54;

    // The panel and its hint become children of home.
    explicit BookmarksPanel(QWidget *home);

    PanelView *panel() const { return m_panel; }
    QListWidget *table() const { return m_table; }
    QLabel *placeholder() const { return m_placeholder; }

    using CellMaker = std::function<ZestoBookmarkTableCell *(const ZestoBookmark &, int)>;
    // One row a bookmark, each cell made by makeCell; the current row stays where it can.
    void reload(const QList<ZestoBookmark> &bookmarks, const CellMaker &makeCell);
    ZestoBookmarkTableCell *cellForRow(int row) const;
    int rowOfCell(const ZestoBookmarkTableCell *cell) const;
    // The cell of the current row shows it.
    void selectRow(int current);
    // After the table took or lost the keyboard: the current row shows it or stops showing it.
    void focusChanged();

    // Styles the panel on paper, dimmed and closed to clicks while there is no bookmark.
    void showState(bool anyBookmark, const QBrush &paper);
    // After the panel moved: the hint follows.
    void placePlaceholder();

private:
    PanelView *m_panel;
    HomeHeader *m_header;
    QLabel *m_count;
    QListWidget *m_table;
    QLabel *m_placeholder;
};
