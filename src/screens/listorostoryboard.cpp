#include "screens/listorostoryboard.h"

#include "screens/detailviewcontroller.h"
#include "screens/homeviewcontroller.h"
#include "screens/howtopopoverviewcontroller.h"
#include "screens/listoroviewcontroller.h"
#include "screens/preferencesviewcontroller.h"
#include "screens/rulesetsviewcontroller.h"
#include "ui/navigationcontroller.h"
#include "ui/storyboard.h"

Storyboard *ListoroStoryboard::create(QObject *parent)
{
    auto *storyboard = new Storyboard(parent);
    storyboard->setInitialViewController([] { return new HomeViewController; });
    storyboard->addPushSegue(homeToListoro, [] { return new ListoroViewController; });
    storyboard->addPushSegue(surf, [] { return new ListoroViewController; });
    storyboard->addPushSegue(detailedView, [] { return new DetailViewController; });
    storyboard->addPushSegue(ruleSets, [] { return new RuleSetsViewController; });
    storyboard->addPushSegue(preferences, [] { return new PreferencesViewController; });
    storyboard->addPopoverSegue(
        howtopopover, [] { return new HowtoPopOverViewController; },
        [](ViewController *source) {
            const auto *home = qobject_cast<HomeViewController *>(source);
            return Storyboard::PopoverPlacement{ home ? home->howtoAnchorRect() : QRect(),
                                                 howtoContentSize };
        });
    return storyboard;
}

NavigationController *ListoroStoryboard::instantiateInitialWindow(Storyboard *storyboard)
{
    auto *window = new NavigationController(storyboard->instantiateInitialViewController());
    window->restoreWindowGeometry();
    return window;
}
