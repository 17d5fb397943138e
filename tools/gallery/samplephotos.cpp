#include "samplephotos.h"

#include "samplepainter.h"

#include <QImageWriter>
#include <QLinearGradient>
#include <QLoggingCategory>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

Q_LOGGING_CATEGORY(lcSamplePhotos, "listoro.gallery.photos", QtInfoMsg)

namespace {

// Luminance noise, as a camera sensor adds: it also gives the JPEG encoder real detail to keep.
void addGrain(QImage &image, quint32 seed)
{
    quint32 state = seed | 1u;
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            const int noise = int(state % 7) - 3;
            const QRgb c = line[x];
            line[x]
                = qRgb(std::clamp(qRed(c) + noise, 0, 255), std::clamp(qGreen(c) + noise, 0, 255),
                       std::clamp(qBlue(c) + noise, 0, 255));
        }
    }
}

} // namespace

QImage SamplePhotos::paint(Scene scene, QSize size, quint32 seed)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::gray);
    {
        SamplePainter painter(image, seed);
        switch (scene) {
        case Scene::Landscape:
            painter.landscape();
            break;
        case Scene::Sofa:
            painter.room(SamplePainter::Furniture::Sofa);
            break;
        case Scene::Table:
            painter.room(SamplePainter::Furniture::Table);
            break;
        case Scene::Dresser:
            painter.room(SamplePainter::Furniture::Dresser);
            break;
        case Scene::Vase:
            painter.studio(SamplePainter::Product::Vase);
            break;
        case Scene::Lamp:
            painter.studio(SamplePainter::Product::Lamp);
            break;
        case Scene::Bicycle:
            painter.studio(SamplePainter::Product::Bicycle);
            break;
        case Scene::Car:
            painter.street();
            break;
        }
        painter.vignette();
    }
    addGrain(image, seed * 2654435761u);
    return image;
}

bool SamplePhotos::saveJpeg(const QImage &image, const QString &path)
{
    QImageWriter writer(path, "jpeg");
    writer.setQuality(100);
    if (writer.write(image))
        return true;
    qCWarning(lcSamplePhotos) << "cannot write" << path << writer.errorString();
    return false;
}
