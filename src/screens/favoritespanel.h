#pragma once

#include <QBrush>

class CustomBadge;
class PanelView;
class QLabel;
class QWidget;

// The home screen's favorites panel: a green badge with the number of favorites, "You have N
// favorites" over a hint, and a chevron while there are favorites to open.
class FavoritesPanel
{
public:
    explicit FavoritesPanel(QWidget *parent);

    PanelView *panel() const { return m_panel; }
    QLabel *countLabel() const { return m_count; }
    QLabel *caption() const { return m_caption; }
    CustomBadge *badge() const { return m_badge; }

    // Shows favorites on paper: with none, the texts and badge dim and the background fades.
    void showCount(int favorites, const QBrush &paper);

private:
    PanelView *m_panel;
    CustomBadge *m_badge;
    QLabel *m_count;
    QLabel *m_caption;
    QLabel *m_chevron;
};
