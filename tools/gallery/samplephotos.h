#pragma once

#include <QImage>
#include <QSize>
#include <QString>

// Photo-like pictures for demonstration listings, drawn from a seed: a landscape, a piece of
// furniture in a room, an object on a studio backdrop, a car in a street. Each gets film grain
// and a vignette, so its JPEG is about as large and as costly to decode as a real photo's.
class SamplePhotos
{
public:
    enum class Scene { Landscape, Sofa, Table, Dresser, Vase, Lamp, Bicycle, Car };

    static QImage paint(Scene scene, QSize size, quint32 seed);

    // JPEG at quality 100, the way the photo cache stores photos.
    static bool saveJpeg(const QImage &image, const QString &path);
};
