#include "screens/bookmarkspanel.h"

#include "saved/zestobookmarktablecell.h"
#include "screens/homeheader.h"
#include "widgets/panelstyling.h"
#include "widgets/panelview.h"
#include "widgets/viewalpha.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace {

constexpr double dimmedAlpha = 0.4;

QString tr(const char *text)
{
    return QCoreApplication::translate("BookmarksPanel", text);
}

} // namespace

BookmarksPanel::BookmarksPanel(QWidget *home)
    : m_panel(new PanelView(home))
    , m_header(new HomeHeader(QRect(), m_panel))
    , m_count(new QLabel(m_header))
    , m_table(new QListWidget(m_panel))
    , m_placeholder(new QLabel(tr("No bookmarks yet: open a results page, press Zesto, and save "
                                  "it when asked."),
                               home))
{
    m_panel->setObjectName(QStringLiteral("vwBookmarksView"));
    m_header->setObjectName(QStringLiteral("bookmarksHeader"));
    m_header->setFixedHeight(headerHeight);
    auto *heading = new QLabel(tr("Bookmarks"), m_header);
    heading->setObjectName(QStringLiteral("bookmarksHeading"));
    m_count->setObjectName(QStringLiteral("bookmarksCount"));
    auto *headerLayout = new QHBoxLayout(m_header);
    headerLayout->setContentsMargins(24, 16, 24, 10);
    headerLayout->addWidget(heading);
    headerLayout->addStretch(1);
    headerLayout->addWidget(m_count);

    auto *rule = new QWidget(m_panel);
    rule->setObjectName(QStringLiteral("bookmarksRule"));
    rule->setFixedHeight(1);
    rule->setAttribute(Qt::WA_StyledBackground);

    m_table->setObjectName(QStringLiteral("bookmarksTable"));
    m_table->setAccessibleName(tr("Bookmarks"));
    m_table->setAccessibleDescription(tr("Enter opens a bookmark as a grid, Delete deletes it"));
    m_table->setFrameShape(QFrame::NoFrame);
    m_table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_table->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setUniformItemSizes(true);
    // Rows follow the panel's width, so that a narrow window keeps their buttons in sight.
    m_table->setResizeMode(QListView::Adjust);
    m_table->viewport()->setAutoFillBackground(false);

    m_placeholder->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_placeholder->setObjectName(QStringLiteral("bookmarksPlaceholder"));
    m_placeholder->setAlignment(Qt::AlignCenter);
    m_placeholder->setWordWrap(true);
    m_placeholder->hide();

    auto *layout = new QVBoxLayout(m_panel);
    layout->setContentsMargins(0, 0, 0, 12);
    layout->setSpacing(0);
    layout->addWidget(m_header);
    layout->addWidget(rule);
    layout->addSpacing(6);
    layout->addWidget(m_table, 1);
}

void BookmarksPanel::reload(const QList<ZestoBookmark> &bookmarks, const CellMaker &makeCell)
{
    const int current = m_table->currentRow();
    m_table->clear();
    const int rows = int(bookmarks.size());
    for (int row = 0; row < rows; ++row) {
        auto *item = new QListWidgetItem(m_table);
        item->setSizeHint(QSize(0, rowHeight));
        ZestoBookmarkTableCell *cell = makeCell(bookmarks.at(row), row);
        item->setData(Qt::AccessibleTextRole, cell->titleText());
        m_table->setItemWidget(item, cell);
    }
    if (current >= 0 && current < rows)
        m_table->setCurrentRow(current, QItemSelectionModel::NoUpdate);
    m_placeholder->setVisible(rows == 0);
    m_count->setText(rows == 1 ? tr("1 saved page") : tr("%1 saved pages").arg(rows));
}

ZestoBookmarkTableCell *BookmarksPanel::cellForRow(int row) const
{
    QListWidgetItem *item = m_table->item(row);
    return item ? qobject_cast<ZestoBookmarkTableCell *>(m_table->itemWidget(item)) : nullptr;
}

int BookmarksPanel::rowOfCell(const ZestoBookmarkTableCell *cell) const
{
    for (int row = 0; row < m_table->count(); ++row) {
        if (cellForRow(row) == cell)
            return row;
    }
    return -1;
}

void BookmarksPanel::selectRow(int current)
{
    const bool keyboard = m_table->hasFocus();
    for (int row = 0; row < m_table->count(); ++row) {
        if (ZestoBookmarkTableCell *cell = cellForRow(row)) {
            cell->setSelected(row == current);
            cell->setMarked(keyboard && row == current);
        }
    }
}

void BookmarksPanel::focusChanged()
{
    // The keyboard lands on a row, so that the marker shows where Enter and Delete act.
    if (m_table->hasFocus() && m_table->currentRow() < 0 && m_table->count() > 0)
        m_table->setCurrentRow(0);
    selectRow(m_table->currentRow());
}

void BookmarksPanel::showState(bool anyBookmark, const QBrush &paper)
{
    PanelStyling::styleCard(m_panel);
    m_panel->setBackgroundBrush(paper);
    m_panel->setBackgroundOpacity(1.0);
    setViewAlpha(m_panel, anyBookmark ? 1.0 : dimmedAlpha);
    m_panel->setUserInteractionEnabled(anyBookmark);
}

void BookmarksPanel::placePlaceholder()
{
    m_placeholder->setGeometry(m_panel->frame().adjusted(0, headerHeight, 0, -headerHeight));
}
