#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QRandomGenerator>
#include <QRectF>

#include <array>
#include <vector>

// Draws one sample photo; every choice comes from the seeded generator. The scenes outdoors and
// the drawing helpers are in samplepainter.cpp, the rooms and studio objects in
// sampleinteriors.cpp.
class SamplePainter
{
public:
    SamplePainter(QImage &image, quint32 seed)
        : p(&image)
        , w(image.width())
        , h(image.height())
        , rng(seed)
    {
        p.setRenderHint(QPainter::Antialiasing);
    }

    enum class Furniture { Sofa, Table, Dresser };
    enum class Product { Vase, Lamp, Bicycle };

    void landscape();
    void room(Furniture furniture);
    void studio(Product product);
    void street();
    void vignette();

private:
    qreal real(qreal from, qreal to) { return from + (to - from) * rng.generateDouble(); }
    bool chance(qreal probability) { return rng.generateDouble() < probability; }
    template<typename T, size_t N>
    const T &pick(const std::array<T, N> &items)
    {
        return items[rng.bounded(quint32(N))];
    }
    static QColor mix(const QColor &a, const QColor &b, qreal t)
    {
        return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                                float(a.greenF() + (b.greenF() - a.greenF()) * t),
                                float(a.blueF() + (b.blueF() - a.blueF()) * t),
                                float(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
    }
    static QColor alpha(QColor color, int a)
    {
        color.setAlpha(a);
        return color;
    }

    std::vector<qreal> ridge(int points, qreal roughness);
    void softEllipse(const QPointF &centre, qreal rx, qreal ry, const QColor &color);
    void sky(const QColor &top, const QColor &horizon, qreal horizonY);
    void sofa(QRectF box, const QColor &color);
    void table(QRectF box, const QColor &wood);
    void dresser(QRectF box, const QColor &color);
    void plant(QPointF base, qreal size);
    void vase(QPointF base, qreal size, const QColor &color);
    void lamp(QPointF base, qreal size, const QColor &color, bool glowing);
    void bicycle(QPointF base, qreal size, const QColor &color);
    void car(QPointF base, qreal length, const QColor &color);

    QPainter p;
    qreal w;
    qreal h;
    QRandomGenerator rng;
};
