#pragma once

#include <QColor>
#include <QImage>

// The round favorite buttons of the listing tiles: green with a white plus to add a favorite,
// red with a white minus to remove it. Drawn on a 32-unit design grid at any pixel size.
class ButtonArtwork
{
public:
    enum class Symbol { Plus, Minus };

    static QImage addButton(int pixels);
    static QImage deleteButton(int pixels);
    static QImage roundButton(int pixels, const QColor &base, Symbol symbol);
};
