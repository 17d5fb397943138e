#pragma once

class AlertView;

// Told which button of an alert the user pressed, once, before the alert goes away.
class AlertViewDelegate
{
public:
    virtual ~AlertViewDelegate() = default;
    virtual void alertViewClickedButtonAtIndex(AlertView *alertView, int buttonIndex) = 0;
};
