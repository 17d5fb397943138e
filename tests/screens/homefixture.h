#pragma once

#include "platform/cachedirectory.h"
#include "platform/defaultskeys.h"
#include "platform/userdefaults.h"
#include "scrape/settingsrefresh.h"
#include "screens/homeviewcontroller.h"
#include "screens/listorostoryboard.h"
#include "screens/siteaddresses.h"
#include "ui/alertview.h"
#include "ui/navigationcontroller.h"
#include "ui/storyboard.h"

#include <QTemporaryDir>
#include <QUrl>

#include <memory>

// A settings store and a cache of the test's own, and a remote settings address that refuses
// at once, so no test reaches the internet or the user's profile.
struct TemporaryProfile
{
    TemporaryProfile()
    {
        UserDefaults::setStoreFile(dir.filePath(QStringLiteral("store.ini")));
        CacheDirectory::setPath(dir.filePath(QStringLiteral("cache")));
        SettingsRefresh::setRemoteUrl(QUrl(QStringLiteral("http://127.0.0.1:1/ipad/settings.txt")));
    }
    ~TemporaryProfile()
    {
        for (AlertView *alert : AlertView::visibleAlerts())
            alert->dismissWithClickedButtonIndex(0, false);
        SiteAddresses::useDemoSite(QUrl());
        SettingsRefresh::setRemoteUrl(QUrl());
        CacheDirectory::setPath(QString());
        UserDefaults::setStoreFile(QString());
    }

    QTemporaryDir dir;
};

// The application's first window, built by its storyboard, not shown yet.
struct HomeWindow
{
    explicit HomeWindow(QSize size = QSize(1024, 768)) { window->resize(size); }

    HomeViewController *home() const
    {
        return qobject_cast<HomeViewController *>(window->viewControllers().value(0));
    }

    std::unique_ptr<Storyboard> storyboard{ ListoroStoryboard::create() };
    std::unique_ptr<NavigationController> window{ ListoroStoryboard::instantiateInitialWindow(
        storyboard.get()) };
};

inline void confirmHowto(bool confirmed = true)
{
    UserDefaults::standard().setBool(confirmed, DefaultsKeys::howtoPopoverOkayed);
}
