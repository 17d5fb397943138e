#pragma once

#include <QString>

// One listing of the demo site. Everything in it follows from its position in the catalogue, so
// the same options give the same site on every run.
struct DemoListing
{
    int index = -1; // position over all results pages, from 0
    qint64 id = 0;
    int category = 0; // see DemoCatalogue::categoryName()
    QString title;
    int price = 0; // whole dollars
    QString neighbourhood;
    QString description;
    QString posted; // "2024-03-15 6:04pm"
    int photoCount = 0;

    QString priceText() const { return u'$' + QString::number(price); }
};
