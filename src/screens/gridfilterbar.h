#pragma once

#include "grid/listingorder.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QToolButton;

// The bar above the grid: the order, a price range, words the title must (or, written "-word",
// must not) contain, "with photos only", "hide seen", the full or compact view, and how many
// listings the choice shows. Changing any of them emits choiceChanged(); nothing is fetched again.
class GridFilterBar final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(GridFilterBar)

public:
    static constexpr int rowHeight = 44;
    // Narrower than this, the bar takes two rows.
    static constexpr int oneRowWidth = 940;

    explicit GridFilterBar(QWidget *parent = nullptr);

    GridChoice choice() const;
    // Shows choice without emitting choiceChanged().
    void setChoice(const GridChoice &choice);
    // "18 of 96 shown", or "96 listings" with nothing filtered out.
    // folded: listings shown as a posting of another.
    void setCounts(int shown, int total, int folded = 0);
    QLabel *countLabel() const { return m_count; }
    int barHeight() const;

Q_SIGNALS:
    void choiceChanged(const GridChoice &choice);
    // The bar went to one row or to two.
    void heightChanged();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void changed();
    void arrange(bool twoRows);

    QComboBox *m_order;
    QLineEdit *m_words;
    QLineEdit *m_minimum;
    QLineEdit *m_maximum;
    QCheckBox *m_photos;
    QCheckBox *m_seen;
    QToolButton *m_compact;
    QLabel *m_count;
    QGridLayout *m_rows = nullptr;
    bool m_twoRows = false;
    bool m_setting = false;
};
