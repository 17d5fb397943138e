#pragma once

#include <QColor>
#include <QString>

class QWidget;

// Listoro's look in one place: the named colours every view paints with, and the style sheet
// every window is styled with (":/theme/listoro.qss", which names these colours as "@name").
// Colours the drawn widgets take as arguments (the badge, the big activity indicator) are their
// callers' business.
namespace Theme {

enum class Colour {
    BrandGreen, // the favorites badge, the green buttons
    BrandGreenHover,
    BrandGreenPressed,
    ZestoTop, // the Zesto button's gradient
    ZestoBottom,
    ZestoBorder,
    ZestoHover,
    Accent, // text selections, focus, links and the buttons of alerts
    AccentLight, // the top of progress bars
    Danger, // deleting and removing
    Ink, // headings and body text on paper
    InkSoft, // secondary text
    InkMuted, // counts and hints
    InkFaint, // chevrons and other marks
    TileTitle,
    TileHeader, // the band behind a tile's header
    TileHairline, // the line closing that band
    TileEdge, // a tile's bottom edge
    NavigationText, // items of the navigation bar
    NavigationTitle,
    NavigationDisabled,
    NavigationTop, // the bar's gradient
    NavigationBottom,
    NavigationEdge, // the line under the bar
    AlertDim, // the layer behind an alert
    AlertSeparator, // the lines between an alert's buttons
    AlertTitle,
    AlertText,
    PanelBorder, // the faint rim of panels on paper
    Shadow, // soft shadows of cards and popovers
    Outline, // the thin outline of a popover
    Cover, // the layer over the home screen while the how-to is pending
};

QColor colour(Colour colour);

// The style sheet with every @name replaced by its colour.
QString styleSheet();
// Styles window and everything in it.
void apply(QWidget *window);

} // namespace Theme
