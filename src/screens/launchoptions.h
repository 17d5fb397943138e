#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// What the command line of listoro asks for.
class LaunchOptions
{
public:
    bool demo = false;
    bool resetDemo = false;
    bool help = false;
    // The page to open at start, as given; null when none. An http or https address, or with
    // --demo also a path on the demo site ("/listoro-demo/search").
    QString address;
    // Open the page as a grid of its listings, as a bookmark does, rather than in the browser.
    bool grid = false;
    // Why the arguments were refused; null when they are fine.
    QString error;

    // arguments starts with the program's name.
    static LaunchOptions parse(const QStringList &arguments);
    static QString helpText();

    // The address to open: address itself, or a demo path taken on the site at demoBase. Null
    // when no page is asked for.
    QString startAddress(const QUrl &demoBase) const;
};
