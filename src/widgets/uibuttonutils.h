#pragma once

#include <QList>

class QAbstractButton;

// Colouring a group of buttons alike.
class UIButtonUtils
{
public:
    // Draws the first button held down in the colour (red, green and blue from 0 to 255, alpha
    // from 0 to 1) without its title, and gives that picture to every button of the list as its
    // background, stretched sideways with the left 12 points kept as they are. Titles stay.
    // The first button keeps the colour as its button colour. An empty list changes nothing.
    static void setColorOfButtons(const QList<QAbstractButton *> &buttons, float red, float green,
                                  float blue, float alpha);
};
