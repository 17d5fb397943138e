#pragma once

#include <QLatin1StringView>
#include <QSize>

class NavigationController;
class QObject;
class Storyboard;

// The application's screens and the segues between them. The first screen is the home screen
// inside a navigation controller; every segue creates a new destination screen.
class ListoroStoryboard
{
public:
    static constexpr QLatin1StringView homeToListoro{ "Home to Listoro" };
    static constexpr QLatin1StringView surf{ "Surf" };
    static constexpr QLatin1StringView howtopopover{ "howtopopover" };
    static constexpr QLatin1StringView detailedView{ "Detailed View" };
    static constexpr QLatin1StringView ruleSets{ "Rule Sets" };
    static constexpr QLatin1StringView preferences{ "Preferences" };

    // The size of the how-to popover's content.
    static constexpr QSize howtoContentSize{ 460, 470 };

    // The segue table: "Home to Listoro" and "Surf" push a new browser screen, "Detailed View"
    // a new detail screen, "Rule Sets" a new rule sets screen, "Preferences" a new preferences
    // screen, and "howtopopover" presents a new how-to in a popover anchored on the home screen.
    static Storyboard *create(QObject *parent = nullptr);

    // The first window: the initial screen inside a navigation controller, at the size and place
    // of the previous run (1024 by 768 the first time). Not shown yet.
    static NavigationController *instantiateInitialWindow(Storyboard *storyboard);
};
