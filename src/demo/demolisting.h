#pragma once

#include <QString>

#include <algorithm>

// One listing of the demo site. Everything in it follows from its position in the catalogue, so
// the same options give the same site on every run.
struct DemoListing
{
    int index = -1; // position over all results pages, from 0
    qint64 id = 0;
    int category = 0; // see DemoCatalogue::categoryName()
    QString title;
    QString item; // the title without the seller's words after it
    int price = 0; // whole dollars
    QString neighbourhood;
    QString description;
    QString posted; // "2024-03-15 6:04pm"
    int minutesOld = 0; // before the catalogue's newest moment
    int photoCount = 0;
    // Which of its category's pictures the first photo shows (the others follow in turn).
    int photoVariant = 0;
    // The id of the listing this one posts again, with its photos and text; 0 for none. Its
    // first photo is a re-encoded, smaller copy of the original's.
    qint64 repostOf = 0;

    QString priceText() const { return u'$' + QString::number(price); }
    // As a results row shows it: relative within a day of the newest listing ("3 hours ago"),
    // else the day ("Mar 14").
    QString postedText() const
    {
        if (minutesOld < 60)
            return QString::number(std::max(1, minutesOld)) + QStringLiteral(" minutes ago");
        if (minutesOld < 24 * 60)
            return QString::number(minutesOld / 60) + QStringLiteral(" hours ago");
        return posted.section(u' ', 0, 0);
    }
};
