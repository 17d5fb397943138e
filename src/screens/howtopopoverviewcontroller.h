#pragma once

#include "ui/popover.h"
#include "ui/viewcontroller.h"

#include <QPointer>

class HomeViewController;
class QPushButton;

// The how-to shown over the home screen on the first runs: what Listoro does and how to use it,
// with a button that confirms it for good and one that only closes it for now.
class HowtoPopOverViewController final : public ViewController
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HowtoPopOverViewController)

public:
    explicit HowtoPopOverViewController(QWidget *parent = nullptr);
    ~HowtoPopOverViewController() override;

    // The popover that shows this screen and the home screen it covers; both are set by the
    // home screen when it prepares the segue.
    Popover *popover() const { return m_popover; }
    void setPopover(Popover *popover) { m_popover = popover; }
    HomeViewController *homeViewController() const { return m_homeViewController; }
    void setHomeViewController(HomeViewController *home) { m_homeViewController = home; }

    QPushButton *btnGotIt() const { return m_btnGotIt; }
    QPushButton *btnRemindLater() const { return m_btnRemindLater; }

    void viewDidLoad() override;
    QSize sizeHint() const override;

    // Closes the how-to, takes the home screen's cover away and remembers that the user has
    // seen it.
    void gotitClicked();
    // Closes the how-to only: it comes back at the home screen's next appearance.
    void remindLaterClicked();

private:
    QPointer<Popover> m_popover;
    QPointer<HomeViewController> m_homeViewController;
    QPushButton *m_btnGotIt = nullptr;
    QPushButton *m_btnRemindLater = nullptr;
};
