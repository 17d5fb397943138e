#pragma once

class Popover;

// Told when the user closed a popover by clicking outside it or pressing Escape; a dismissal
// made by code is not reported.
class PopoverDelegate
{
public:
    virtual ~PopoverDelegate() = default;
    virtual void popoverControllerDidDismissPopover(Popover *popover) = 0;
};
