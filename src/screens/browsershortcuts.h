#pragma once

#include <QObject>

class BrowserPane;
class ListoroViewController;

// The browser screen's keys: Ctrl+L goes to the address field (from the grid too), Alt+Left and
// Alt+Right go back and forward, F5 reloads the page or the tiles, Ctrl+T starts or stops teach
// mode, and Escape answers an alert as its cancel button would, or else leaves teach mode, or
// else stops the page loading.
class BrowserShortcuts final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BrowserShortcuts)

public:
    // Owned by screen.
    BrowserShortcuts(ListoroViewController *screen, BrowserPane *pane);
    ~BrowserShortcuts() override;

private:
    void escape();

    ListoroViewController *m_screen;
    BrowserPane *m_pane;
};
