#pragma once

#include <QString>

class Popover;
class ViewController;

// One segue being performed, as the source screen sees it in prepareForSegue(): a new
// destination screen, and for a popover segue the popover that will show it.
struct StoryboardSegue
{
    QString identifier;
    ViewController *source = nullptr;
    ViewController *destination = nullptr;
    Popover *popoverController = nullptr;
};
