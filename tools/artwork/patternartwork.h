#pragma once

#include <QImage>

// The seamless background patterns: each is a square tile whose right edge continues into its
// left and its bottom into its top.
class PatternArtwork
{
public:
    // Dark charcoal plain-weave fabric, behind the browser's control bar.
    static QImage nastyFabric();
    // Indigo denim twill, behind the listing grid.
    static QImage kindaJean();
    // Light paper with scattered fibers, behind the home screen and the how-to.
    static QImage lightPaperFibers();

    // How much the colour jumps across the tile's wrap-around edges compared with neighbouring
    // pixels inside it, horizontally and vertically: about 1 when the tile is seamless.
    struct SeamScore
    {
        double horizontal;
        double vertical;
    };
    static SeamScore seamScore(const QImage &tile);
};
