#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// The bar along the bottom of the grid: "Reload tiles", "Export…", and "Next page" or, on the
// last page, the note that there is none.
class GridToolbar final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GridToolbar)

public:
    static constexpr int barHeight = 48;

    explicit GridToolbar(QWidget *parent = nullptr);

    QPushButton *btnReload() const { return m_btnReload; }
    QPushButton *btnNext() const { return m_btnNext; }
    QPushButton *btnExport() const { return m_btnExport; }
    QPushButton *btnWatch() const { return m_btnWatch; }
    QLabel *lastPageNote() const { return m_lastPageNote; }

    // paged: the grid shows a results page (the favorites have no pages and say nothing).
    void showPaging(bool hasNext, bool paged);
    // offered: the grid's page is a bookmark that can be watched.
    void showWatch(bool offered, bool watched);

Q_SIGNALS:
    void reloadRequested();
    void nextRequested();
    void exportRequested();
    void watchToggled(bool watched);

private:
    QPushButton *m_btnReload;
    QPushButton *m_btnNext;
    QPushButton *m_btnExport;
    QPushButton *m_btnWatch;
    QLabel *m_lastPageNote;
};
