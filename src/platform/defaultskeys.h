#pragma once

#include <QLatin1StringView>

// Every key of the user-defaults store, in one place.
namespace DefaultsKeys {

inline constexpr QLatin1StringView scrapeSettings("scrape_settings");
inline constexpr QLatin1StringView scrapeVersion("scrape_version");
// The rule sets the user taught, imported or edited: never replaced by a refresh.
inline constexpr QLatin1StringView userScrapeSettings("user_scrape_settings");
inline constexpr QLatin1StringView bookmarks("bookmarks");
inline constexpr QLatin1StringView favorites("favorites");
inline constexpr QLatin1StringView howtoPopoverOkayed("howtoPopoverOkayed");
inline constexpr QLatin1StringView windowGeometry("window_geometry");
// The order, filters and view chosen per bookmarked page (and for the favorites).
inline constexpr QLatin1StringView gridChoices("grid_choices");
// What each bookmarked page listed at its last visit, and how many of those were new.
inline constexpr QLatin1StringView bookmarkVisits("bookmark_visits");
inline constexpr QLatin1StringView watchedBookmarks("watched_bookmarks");
// Closing the window quits even while bookmarks are watched; and whether the user was told that
// it does not.
inline constexpr QLatin1StringView quitOnClose("quit_on_close");
inline constexpr QLatin1StringView toldKeptInTray("told_kept_in_tray");
// The disk cache's size limit in bytes.
inline constexpr QLatin1StringView cacheLimit("cache_limit");

} // namespace DefaultsKeys
