#pragma once

#include <QString>
#include <QStringList>

// What the command line of listoro asks for.
class LaunchOptions
{
public:
    bool demo = false;
    bool resetDemo = false;
    bool help = false;
    // Why the arguments were refused; null when they are fine.
    QString error;

    // arguments starts with the program's name.
    static LaunchOptions parse(const QStringList &arguments);
    static QString helpText();
};
