#include "samplephotos.h"

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

// Draws one picture; every choice comes from the seeded generator.
class Painter
{
public:
    Painter(QImage &image, quint32 seed)
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

std::vector<qreal> Painter::ridge(int points, qreal roughness)
{
    // Midpoint displacement over a power-of-two span, values around 0.
    int span = 1;
    while (span < points - 1)
        span *= 2;
    std::vector<qreal> heights(size_t(span) + 1, 0.0);
    heights.front() = real(-0.5, 0.5);
    heights.back() = real(-0.5, 0.5);
    qreal amplitude = 1.0;
    for (int step = span; step > 1; step /= 2) {
        for (int i = 0; i < span; i += step) {
            const qreal middle = (heights[size_t(i)] + heights[size_t(i + step)]) / 2;
            heights[size_t(i + step / 2)] = middle + real(-amplitude, amplitude);
        }
        amplitude *= roughness;
    }
    return heights;
}

void Painter::softEllipse(const QPointF &centre, qreal rx, qreal ry, const QColor &color)
{
    p.save();
    p.translate(centre);
    p.scale(1.0, ry / rx);
    QRadialGradient glow(QPointF(), rx);
    glow.setColorAt(0, color);
    glow.setColorAt(1, alpha(color, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(QPointF(), rx, rx);
    p.restore();
}

void Painter::sky(const QColor &top, const QColor &horizon, qreal horizonY)
{
    QLinearGradient gradient(0, 0, 0, horizonY);
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, horizon);
    p.fillRect(QRectF(0, 0, w, horizonY + 1), gradient);
}

void Painter::landscape()
{
    struct Palette
    {
        QColor top, horizon, sun, far, near, meadow, meadowNear;
    };
    static const std::array<Palette, 4> palettes{ {
        { "#3f7fc4", "#cfe3f1", "#fff8e0", "#8da9c4", "#41604c", "#6f9443", "#3c5a26" },
        { "#272b58", "#f2a469", "#ffd98a", "#7c5c7a", "#2f2a41", "#53404f", "#1e1a27" },
        { "#7ea6d6", "#f8d8bd", "#fff3e2", "#a8a3ba", "#5a6975", "#8d9367", "#4c5a3b" },
        { "#5c8fbf", "#e8eef2", "#ffffff", "#b7c6d4", "#6f8193", "#e9eef2", "#c5d0d8" },
    } };
    const Palette &c = pick(palettes);
    const qreal horizon = h * real(0.5, 0.62);
    sky(c.top, c.horizon, horizon);

    const QPointF sun(w * real(0.15, 0.85), horizon * real(0.3, 0.7));
    const qreal sunRadius = std::min(w, h) * real(0.035, 0.06);
    softEllipse(sun, sunRadius * 6, sunRadius * 6, alpha(c.sun, 110));
    p.setPen(Qt::NoPen);
    p.setBrush(c.sun);
    p.drawEllipse(sun, sunRadius, sunRadius);
    for (int i = int(real(2, 6)); i > 0; --i) {
        const QPointF at(w * real(0, 1), horizon * real(0.1, 0.6));
        const qreal size = w * real(0.06, 0.16);
        for (int puff = 0; puff < 5; ++puff)
            softEllipse(at + QPointF(size * real(-0.8, 0.8), size * real(-0.12, 0.12)), size * 0.6,
                        size * 0.22, QColor(255, 255, 255, 60));
    }

    for (int layer = 0; layer < 3; ++layer) {
        const qreal base = horizon - h * (0.05 + 0.07 * (2 - layer)) + h * 0.06;
        const qreal amplitude = h * (0.16 - 0.04 * layer);
        const std::vector<qreal> heights = ridge(65, 0.55);
        QPainterPath path(QPointF(0, h));
        for (size_t i = 0; i < heights.size(); ++i) {
            const qreal x = w * qreal(i) / qreal(heights.size() - 1);
            path.lineTo(x, base - amplitude * (0.6 + heights[i] * 0.8));
        }
        path.lineTo(w, h);
        path.closeSubpath();
        const QColor tone = mix(c.far, c.near, layer / 2.0);
        QLinearGradient haze(0, base - amplitude * 1.4, 0, horizon + h * 0.1);
        haze.setColorAt(0, tone);
        haze.setColorAt(1, mix(tone, c.horizon, 0.35 - 0.1 * layer));
        p.fillPath(path, haze);
    }

    const qreal groundTop = horizon + h * 0.06;
    if (chance(0.5)) {
        const qreal lakeBottom = groundTop + h * real(0.1, 0.16);
        QLinearGradient water(0, groundTop, 0, lakeBottom);
        water.setColorAt(0, mix(c.horizon, c.near, 0.3));
        water.setColorAt(1, mix(c.top, c.near, 0.5));
        p.fillRect(QRectF(0, groundTop, w, lakeBottom - groundTop), water);
        p.setPen(QPen(alpha(c.sun, 70), std::max(1.0, h / 500)));
        for (int i = 0; i < 14; ++i) {
            const qreal y = groundTop + (lakeBottom - groundTop) * real(0.05, 0.95);
            const qreal x = sun.x() + w * real(-0.12, 0.12);
            p.drawLine(QPointF(x, y), QPointF(x + w * real(0.02, 0.08), y));
        }
        p.setPen(Qt::NoPen);
        QLinearGradient meadow(0, lakeBottom, 0, h);
        meadow.setColorAt(0, c.meadow);
        meadow.setColorAt(1, c.meadowNear);
        QPainterPath shore(QPointF(0, h));
        const std::vector<qreal> bank = ridge(33, 0.5);
        for (size_t i = 0; i < bank.size(); ++i)
            shore.lineTo(w * qreal(i) / qreal(bank.size() - 1), lakeBottom + h * 0.015 * bank[i]);
        shore.lineTo(w, h);
        p.fillPath(shore, meadow);
    } else {
        QLinearGradient meadow(0, groundTop, 0, h);
        meadow.setColorAt(0, c.meadow);
        meadow.setColorAt(1, c.meadowNear);
        p.fillRect(QRectF(0, groundTop, w, h - groundTop), meadow);
    }

    // A stand of pines in the foreground.
    const QColor pine = mix(c.near, Qt::black, 0.35);
    const int trees = int(real(3, 10));
    const qreal clusterX = w * real(0.05, 0.7);
    for (int i = 0; i < trees; ++i) {
        const qreal x = clusterX + w * real(0, 0.3);
        const qreal bottom = h * real(0.88, 1.0);
        const qreal height = h * real(0.16, 0.3);
        const qreal width = height * 0.32;
        p.setBrush(pine);
        for (int tier = 0; tier < 4; ++tier) {
            const qreal top = bottom - height + tier * height * 0.2;
            const qreal spread = width * (0.45 + tier * 0.18);
            p.drawPolygon(QPolygonF{ QPointF(x, top), QPointF(x + spread, top + height * 0.35),
                                     QPointF(x - spread, top + height * 0.35) });
        }
        p.fillRect(QRectF(x - width * 0.05, bottom - height * 0.18, width * 0.1, height * 0.18),
                   mix(pine, Qt::black, 0.3));
    }
}

void Painter::sofa(QRectF box, const QColor &color)
{
    const QColor dark = color.darker(135);
    const qreal r = box.height() * 0.08;
    const qreal arm = box.width() * 0.09;
    QLinearGradient shade(0, box.top(), 0, box.bottom());
    shade.setColorAt(0, color.lighter(112));
    shade.setColorAt(1, dark);
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    // Back, seat, then the arms over them.
    p.drawRoundedRect(
        QRectF(box.left() + arm * 0.6, box.top(), box.width() - arm * 1.2, box.height() * 0.6), r,
        r);
    const QRectF seat(box.left() + arm * 0.5, box.top() + box.height() * 0.48, box.width() - arm,
                      box.height() * 0.34);
    p.setBrush(color);
    p.drawRoundedRect(seat, r, r);
    const int cushions = box.width() > box.height() * 2.6 ? 3 : 2;
    p.setPen(QPen(dark, std::max(1.0, box.height() / 90)));
    for (int i = 1; i < cushions; ++i) {
        const qreal x = seat.left() + seat.width() * i / cushions;
        p.drawLine(QPointF(x, box.top() + box.height() * 0.06), QPointF(x, seat.bottom()));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawRoundedRect(QRectF(box.left(), box.top() + box.height() * 0.3, arm, box.height() * 0.6),
                      r, r);
    p.drawRoundedRect(
        QRectF(box.right() - arm, box.top() + box.height() * 0.3, arm, box.height() * 0.6), r, r);
    p.setBrush(QColor(40, 30, 25));
    const qreal legW = box.width() * 0.02;
    for (qreal x : { box.left() + arm * 0.4, box.right() - arm * 0.4 - legW })
        p.drawRect(QRectF(x, box.top() + box.height() * 0.9, legW, box.height() * 0.1));
}

void Painter::table(QRectF box, const QColor &wood)
{
    const qreal depth = box.height() * 0.28;
    const qreal thickness = box.height() * 0.07;
    const qreal inset = box.width() * 0.06;
    p.setPen(Qt::NoPen);
    const QColor legColor = wood.darker(130);
    const qreal legW = box.width() * 0.035;
    for (qreal x : { box.left() + inset * 0.6, box.right() - inset * 0.6 - legW,
                     box.left() + inset * 1.6, box.right() - inset * 1.6 - legW }) {
        const bool back = x > box.left() + inset && x < box.right() - inset - legW;
        p.setBrush(back ? legColor.darker(120) : legColor);
        p.drawRect(QRectF(x, box.top() + depth, legW, box.height() - depth - (back ? depth : 0)));
    }
    QLinearGradient top(0, box.top(), 0, box.top() + depth);
    top.setColorAt(0, wood.darker(108));
    top.setColorAt(1, wood.lighter(118));
    p.setBrush(top);
    p.drawPolygon(QPolygonF{
        QPointF(box.left() + inset, box.top()), QPointF(box.right() - inset, box.top()),
        QPointF(box.right(), box.top() + depth), QPointF(box.left(), box.top() + depth) });
    p.setPen(QPen(alpha(wood.darker(140), 60), std::max(1.0, box.height() / 160)));
    for (int i = 1; i < 6; ++i) {
        const qreal t = i / 6.0;
        p.drawLine(QPointF(box.left() + inset * (1 - t), box.top() + depth * t),
                   QPointF(box.right() - inset * (1 - t), box.top() + depth * t));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(wood.darker(125));
    p.drawRect(QRectF(box.left(), box.top() + depth, box.width(), thickness));
}

void Painter::dresser(QRectF box, const QColor &color)
{
    p.setPen(Qt::NoPen);
    const QRectF body(box.left(), box.top(), box.width(), box.height() * 0.9);
    QLinearGradient shade(body.left(), 0, body.right(), 0);
    shade.setColorAt(0, color.lighter(110));
    shade.setColorAt(1, color.darker(112));
    p.setBrush(shade);
    p.drawRect(body);
    p.setBrush(color.lighter(125));
    p.drawRect(QRectF(body.left() - box.width() * 0.02, body.top() - box.height() * 0.03,
                      box.width() * 1.04, box.height() * 0.04));
    const int drawers = 3;
    const qreal gap = box.height() * 0.03;
    const qreal drawerH = (body.height() - gap * (drawers + 1)) / drawers;
    for (int i = 0; i < drawers; ++i) {
        const QRectF drawer(body.left() + gap, body.top() + gap + i * (drawerH + gap),
                            body.width() - 2 * gap, drawerH);
        p.setBrush(color.darker(104));
        p.drawRect(drawer);
        p.setBrush(QColor(200, 180, 120));
        const qreal knob = box.height() * 0.025;
        for (qreal x :
             { drawer.left() + drawer.width() * 0.25, drawer.left() + drawer.width() * 0.75 })
            p.drawEllipse(QPointF(x, drawer.center().y()), knob, knob);
    }
    p.setBrush(color.darker(150));
    const qreal legW = box.width() * 0.04;
    for (qreal x : { body.left() + legW, body.right() - 2 * legW })
        p.drawRect(QRectF(x, body.bottom(), legW, box.height() * 0.1));
}

void Painter::plant(QPointF base, qreal size)
{
    const QColor leaf(62, 120, 70);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 9; ++i) {
        p.save();
        p.translate(base.x(), base.y() - size * 0.35);
        p.rotate(real(-70, 70));
        p.setBrush(mix(leaf, QColor(120, 170, 90), real(0, 0.6)));
        p.drawEllipse(QRectF(-size * 0.07, -size * 0.62, size * 0.14, size * 0.6));
        p.restore();
    }
    QPainterPath pot;
    pot.moveTo(base.x() - size * 0.2, base.y() - size * 0.38);
    pot.lineTo(base.x() + size * 0.2, base.y() - size * 0.38);
    pot.lineTo(base.x() + size * 0.14, base.y());
    pot.lineTo(base.x() - size * 0.14, base.y());
    pot.closeSubpath();
    p.fillPath(pot, QColor(188, 104, 70));
}

void Painter::room(Furniture furniture)
{
    static const std::array<QColor, 5> walls{ QColor("#ebe3d5"), QColor("#cfd9de"),
                                              QColor("#d8e2cf"), QColor("#f0e7e1"),
                                              QColor("#e4e1ea") };
    static const std::array<QColor, 4> woods{ QColor("#a2713f"), QColor("#c28c55"),
                                              QColor("#7b5331"), QColor("#d3b58c") };
    static const std::array<QColor, 6> fabrics{ QColor("#5d7b8c"), QColor("#9a5b4f"),
                                                QColor("#707070"), QColor("#c4a56a"),
                                                QColor("#3f4f6b"), QColor("#6d8b6a") };
    const QColor wall = pick(walls);
    const QColor floor = pick(woods);
    const qreal floorY = h * real(0.6, 0.7);
    const bool windowLeft = chance(0.5);

    QLinearGradient light(windowLeft ? 0 : w, 0, windowLeft ? w : 0, 0);
    light.setColorAt(0, wall.lighter(108));
    light.setColorAt(1, wall.darker(112));
    p.fillRect(QRectF(0, 0, w, floorY), light);

    const QRectF window(windowLeft ? w * 0.07 : w * 0.63, h * 0.1, w * 0.3, floorY * 0.58);
    QLinearGradient outside(0, window.top(), 0, window.bottom());
    outside.setColorAt(0, QColor("#bcdcf7"));
    outside.setColorAt(1, QColor("#f3f9ff"));
    p.fillRect(window, outside);
    const qreal frame = std::max(2.0, w * 0.008);
    p.setPen(QPen(QColor(250, 250, 248), frame));
    p.setBrush(Qt::NoBrush);
    p.drawRect(window);
    p.drawLine(QPointF(window.center().x(), window.top()),
               QPointF(window.center().x(), window.bottom()));
    p.drawLine(QPointF(window.left(), window.center().y()),
               QPointF(window.right(), window.center().y()));
    p.setPen(Qt::NoPen);

    // Floor boards converging to a point above the horizon.
    p.fillRect(QRectF(0, floorY, w, h - floorY), floor);
    const QPointF vanish(w * real(0.4, 0.6), floorY - h * 1.2);
    const qreal spacing = w * 0.085;
    const qreal t = (floorY - vanish.y()) / (h - vanish.y());
    for (int k = -14; k < 14; ++k) {
        const qreal b0 = vanish.x() + k * spacing;
        const qreal b1 = b0 + spacing;
        QPolygonF board{ QPointF(vanish.x() + (b0 - vanish.x()) * t, floorY),
                         QPointF(vanish.x() + (b1 - vanish.x()) * t, floorY), QPointF(b1, h),
                         QPointF(b0, h) };
        p.setBrush(floor.lighter(int(real(92, 110))));
        p.drawPolygon(board);
    }
    QLinearGradient depth(0, floorY, 0, h);
    depth.setColorAt(0, QColor(0, 0, 0, 70));
    depth.setColorAt(1, QColor(0, 0, 0, 0));
    p.fillRect(QRectF(0, floorY, w, h - floorY), depth);
    QPolygonF patch{ QPointF(window.left(), floorY), QPointF(window.right(), floorY),
                     QPointF(window.right() + (windowLeft ? w * 0.25 : -w * 0.05), h),
                     QPointF(window.left() + (windowLeft ? w * 0.05 : -w * 0.25), h) };
    p.setBrush(QColor(255, 250, 235, 30));
    p.drawPolygon(patch);
    p.fillRect(QRectF(0, floorY - h * 0.03, w, h * 0.03), QColor(246, 243, 236));
    p.fillRect(QRectF(0, floorY - 1, w, std::max(1.0, h / 400)), QColor(0, 0, 0, 40));

    const qreal centreX = w * real(0.38, 0.62);
    const qreal groundY = floorY + (h - floorY) * real(0.45, 0.7);
    const qreal width = std::min(w * real(0.45, 0.62), h * 1.2);
    softEllipse(QPointF(centreX, groundY), width * 0.62, (h - floorY) * 0.16, QColor(0, 0, 0, 110));
    if (furniture == Furniture::Sofa) {
        const qreal height = width * 0.42;
        sofa(QRectF(centreX - width / 2, groundY - height, width, height), pick(fabrics));
    } else if (furniture == Furniture::Table) {
        const qreal height = width * 0.5;
        table(QRectF(centreX - width / 2, groundY - height, width, height), pick(woods));
    } else {
        const qreal dw = width * 0.7;
        const qreal height = dw * 0.75;
        dresser(QRectF(centreX - dw / 2, groundY - height, dw, height),
                chance(0.5) ? pick(woods) : QColor("#f2efe8"));
    }
    if (chance(0.6))
        plant(QPointF(windowLeft ? w * 0.88 : w * 0.12, floorY + (h - floorY) * 0.3),
              std::min(w, h) * 0.28);
}

void Painter::vase(QPointF base, qreal size, const QColor &color)
{
    const qreal bellyW = size * real(0.22, 0.3);
    const qreal neckW = size * real(0.07, 0.11);
    const qreal height = size * real(0.62, 0.8);
    QPainterPath path;
    path.moveTo(base.x() - bellyW * 0.55, base.y());
    path.cubicTo(base.x() - bellyW * 1.2, base.y() - height * 0.3, base.x() - bellyW,
                 base.y() - height * 0.62, base.x() - neckW, base.y() - height * 0.82);
    path.lineTo(base.x() - neckW * 1.3, base.y() - height);
    path.lineTo(base.x() + neckW * 1.3, base.y() - height);
    path.lineTo(base.x() + neckW, base.y() - height * 0.82);
    path.cubicTo(base.x() + bellyW, base.y() - height * 0.62, base.x() + bellyW * 1.2,
                 base.y() - height * 0.3, base.x() + bellyW * 0.55, base.y());
    path.closeSubpath();
    QLinearGradient shade(base.x() - bellyW * 1.2, 0, base.x() + bellyW * 1.2, 0);
    shade.setColorAt(0, color.darker(170));
    shade.setColorAt(0.35, color.lighter(125));
    shade.setColorAt(0.45, color.lighter(150));
    shade.setColorAt(1, color.darker(200));
    p.fillPath(path, shade);
    p.fillRect(QRectF(base.x() - neckW * 1.3, base.y() - height, neckW * 2.6, height * 0.02),
               color.darker(160));
}

void Painter::lamp(QPointF base, qreal size, const QColor &color, bool glowing)
{
    const qreal height = size * 0.85;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 60, 60));
    p.drawEllipse(QPointF(base.x(), base.y() - size * 0.02), size * 0.14, size * 0.035);
    QLinearGradient metal(base.x() - size * 0.02, 0, base.x() + size * 0.02, 0);
    metal.setColorAt(0, QColor(90, 90, 90));
    metal.setColorAt(0.5, QColor(210, 210, 210));
    metal.setColorAt(1, QColor(80, 80, 80));
    p.fillRect(
        QRectF(base.x() - size * 0.012, base.y() - height * 0.7, size * 0.024, height * 0.68),
        metal);
    const qreal top = base.y() - height;
    const QPolygonF shade{ QPointF(base.x() - size * 0.12, top),
                           QPointF(base.x() + size * 0.12, top),
                           QPointF(base.x() + size * 0.22, top + height * 0.32),
                           QPointF(base.x() - size * 0.22, top + height * 0.32) };
    if (glowing)
        softEllipse(QPointF(base.x(), top + height * 0.35), size * 0.5, size * 0.35,
                    QColor(255, 220, 150, 120));
    QLinearGradient cloth(base.x() - size * 0.22, 0, base.x() + size * 0.22, 0);
    cloth.setColorAt(0, color.darker(125));
    cloth.setColorAt(0.4, glowing ? color.lighter(140) : color.lighter(110));
    cloth.setColorAt(1, color.darker(140));
    p.setBrush(cloth);
    p.drawPolygon(shade);
}

void Painter::bicycle(QPointF base, qreal size, const QColor &color)
{
    const qreal r = size * 0.19;
    const QPointF rear(base.x() - size * 0.3, base.y() - r);
    const QPointF front(base.x() + size * 0.3, base.y() - r);
    const QPointF crank(base.x() - size * 0.04, base.y() - r * 0.95);
    const QPointF seat(base.x() - size * 0.12, base.y() - r * 2.35);
    const QPointF head(base.x() + size * 0.2, base.y() - r * 2.2);
    p.setBrush(Qt::NoBrush);
    for (const QPointF &hub : { rear, front }) {
        p.setPen(QPen(QColor(150, 150, 150), std::max(1.0, size / 700)));
        for (int s = 0; s < 16; ++s) {
            const qreal angle = s * M_PI / 8;
            p.drawLine(hub, hub + QPointF(std::cos(angle), std::sin(angle)) * r * 0.92);
        }
        p.setPen(QPen(QColor(30, 30, 30), size * 0.024));
        p.drawEllipse(hub, r, r);
        p.setPen(QPen(QColor(185, 185, 190), size * 0.006));
        p.drawEllipse(hub, r * 0.92, r * 0.92);
    }
    QPen tube(color, size * 0.022, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(tube);
    p.drawPolyline(QPolygonF{ rear, seat, crank, rear });
    p.drawPolyline(QPolygonF{ seat, head, crank });
    p.drawLine(head, front);
    p.setPen(QPen(QColor(40, 40, 40), size * 0.014, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(seat, seat + QPointF(-size * 0.01, -size * 0.06));
    p.drawLine(head, head + QPointF(-size * 0.02, -size * 0.08));
    p.drawLine(head + QPointF(-size * 0.02, -size * 0.08),
               head + QPointF(size * 0.05, -size * 0.09));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(35, 35, 35));
    p.drawRoundedRect(
        QRectF(seat.x() - size * 0.06, seat.y() - size * 0.08, size * 0.11, size * 0.025),
        size * 0.01, size * 0.01);
    p.setPen(QPen(QColor(70, 70, 70), size * 0.008));
    p.setBrush(QColor(170, 170, 175));
    p.drawEllipse(crank, size * 0.04, size * 0.04);
}

void Painter::studio(Product product)
{
    static const std::array<QColor, 5> backdrops{ QColor("#e9e9e9"), QColor("#f1e7da"),
                                                  QColor("#dce6ef"), QColor("#3a3a3c"),
                                                  QColor("#e6ece3") };
    static const std::array<QColor, 6> glazes{ QColor("#2f6f8f"), QColor("#b5523b"),
                                               QColor("#d9b85c"), QColor("#4c7a4c"),
                                               QColor("#e9e4da"), QColor("#7a4f8c") };
    const QColor backdrop = pick(backdrops);
    const bool dark = backdrop.lightness() < 100;
    QRadialGradient paper(QPointF(w * 0.5, h * 0.42), std::max(w, h) * 0.75);
    paper.setColorAt(0, backdrop.lighter(dark ? 160 : 108));
    paper.setColorAt(1, backdrop.darker(dark ? 150 : 130));
    p.fillRect(QRectF(0, 0, w, h), paper);

    const qreal size = std::min(w, h) * real(0.75, 0.9);
    const QPointF base(w * real(0.42, 0.58), h * 0.5 + size * 0.42);
    softEllipse(base, size * 0.38, size * 0.05, QColor(0, 0, 0, dark ? 160 : 90));
    switch (product) {
    case Product::Vase:
        vase(base, size, pick(glazes));
        break;
    case Product::Lamp:
        lamp(base, size, pick(glazes), dark || chance(0.5));
        break;
    case Product::Bicycle:
        bicycle(base, size * 1.3, pick(glazes));
        break;
    }
}

void Painter::car(QPointF base, qreal length, const QColor &color)
{
    const qreal x0 = base.x() - length / 2;
    const qreal wheelR = length * 0.085;
    const qreal bodyBottom = base.y() - wheelR * 0.55;
    const qreal bodyTop = bodyBottom - length * 0.17;
    const qreal roof = bodyTop - length * 0.14;
    softEllipse(QPointF(base.x(), base.y()), length * 0.58, wheelR * 0.45, QColor(0, 0, 0, 150));

    QPainterPath cabin;
    cabin.moveTo(x0 + length * 0.2, bodyTop + 1);
    cabin.cubicTo(x0 + length * 0.27, roof + length * 0.02, x0 + length * 0.3, roof,
                  x0 + length * 0.38, roof);
    cabin.lineTo(x0 + length * 0.66, roof);
    cabin.cubicTo(x0 + length * 0.72, roof, x0 + length * 0.76, roof + length * 0.03,
                  x0 + length * 0.83, bodyTop + 1);
    cabin.closeSubpath();
    QPainterPath body;
    body.addRoundedRect(QRectF(x0, bodyTop, length, bodyBottom - bodyTop), length * 0.045,
                        length * 0.045);
    QLinearGradient paint(0, roof, 0, bodyBottom);
    paint.setColorAt(0, color.lighter(135));
    paint.setColorAt(0.55, color);
    paint.setColorAt(1, color.darker(160));
    p.fillPath(cabin.united(body), paint);

    QPainterPath glass;
    glass.moveTo(x0 + length * 0.25, bodyTop);
    glass.cubicTo(x0 + length * 0.3, roof + length * 0.03, x0 + length * 0.32, roof + length * 0.02,
                  x0 + length * 0.39, roof + length * 0.02);
    glass.lineTo(x0 + length * 0.65, roof + length * 0.02);
    glass.cubicTo(x0 + length * 0.7, roof + length * 0.02, x0 + length * 0.73, roof + length * 0.05,
                  x0 + length * 0.78, bodyTop);
    glass.closeSubpath();
    QLinearGradient sheen(0, roof, 0, bodyTop);
    sheen.setColorAt(0, QColor(190, 215, 235));
    sheen.setColorAt(1, QColor(50, 65, 80));
    p.fillPath(glass, sheen);
    p.fillRect(QRectF(x0 + length * 0.52, roof, length * 0.02, bodyTop - roof), color.darker(130));
    p.fillRect(QRectF(x0 + length * 0.03, bodyTop + length * 0.05, length * 0.94, length * 0.006),
               QColor(255, 255, 255, 70));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 244, 214));
    p.drawRoundedRect(
        QRectF(x0 + length * 0.935, bodyTop + length * 0.02, length * 0.06, length * 0.03),
        length * 0.01, length * 0.01);
    p.setBrush(QColor(190, 30, 30));
    p.drawRoundedRect(
        QRectF(x0 + length * 0.005, bodyTop + length * 0.02, length * 0.04, length * 0.03),
        length * 0.01, length * 0.01);
    for (qreal x : { x0 + length * 0.2, x0 + length * 0.8 }) {
        const QPointF hub(x, base.y() - wheelR);
        p.setBrush(QColor(25, 25, 25));
        p.drawEllipse(hub, wheelR * 1.1, wheelR * 1.1);
        p.setBrush(QColor(18, 18, 18));
        p.drawEllipse(hub, wheelR, wheelR);
        QRadialGradient rim(hub - QPointF(wheelR * 0.2, wheelR * 0.2), wheelR * 0.7);
        rim.setColorAt(0, QColor(235, 235, 235));
        rim.setColorAt(1, QColor(120, 120, 125));
        p.setBrush(rim);
        p.drawEllipse(hub, wheelR * 0.6, wheelR * 0.6);
    }
}

void Painter::street()
{
    const bool evening = chance(0.35);
    const qreal kerb = h * real(0.56, 0.64);
    sky(evening ? QColor("#2b335e") : QColor("#6fa1d2"),
        evening ? QColor("#e79b6d") : QColor("#dfeaf2"), kerb);
    static const std::array<QColor, 6> facades{ QColor("#b9a58f"), QColor("#8f9aa3"),
                                                QColor("#c7b9a4"), QColor("#9c7b6b"),
                                                QColor("#d4cbbd"), QColor("#7f8a7c") };
    qreal x = -w * real(0, 0.1);
    p.setPen(Qt::NoPen);
    while (x < w) {
        const qreal bw = w * real(0.12, 0.26);
        const qreal top = kerb - h * real(0.2, 0.5);
        QColor facade = pick(facades);
        if (evening)
            facade = facade.darker(170);
        p.fillRect(QRectF(x, top, bw, kerb - top), facade);
        const qreal win = bw * 0.12;
        for (qreal wy = top + win; wy < kerb - win * 2; wy += win * 2) {
            for (qreal wx = x + win * 0.8; wx < x + bw - win * 1.5; wx += win * 2) {
                const QColor glass = evening
                    ? (chance(0.45) ? QColor(255, 214, 140) : QColor(40, 45, 60))
                    : QColor(120, 150, 175).lighter(int(real(90, 130)));
                p.fillRect(QRectF(wx, wy, win, win * 1.3), glass);
            }
        }
        x += bw + w * real(0, 0.02);
    }
    p.fillRect(QRectF(0, kerb, w, h * 0.06), QColor(168, 166, 160));
    p.fillRect(QRectF(0, kerb + h * 0.06, w, std::max(2.0, h * 0.008)), QColor(110, 108, 104));
    QLinearGradient asphalt(0, kerb + h * 0.06, 0, h);
    asphalt.setColorAt(0, QColor(85, 86, 90));
    asphalt.setColorAt(1, QColor(45, 46, 50));
    p.fillRect(QRectF(0, kerb + h * 0.068, w, h), asphalt);
    const qreal laneY = kerb + (h - kerb) * 0.82;
    for (qreal dash = -w * real(0, 0.1); dash < w; dash += w * 0.18)
        p.fillRect(QRectF(dash, laneY, w * 0.09, std::max(2.0, h * 0.01)), QColor(235, 230, 200));

    static const std::array<QColor, 6> paints{ QColor("#b3262e"), QColor("#1f4e8c"),
                                               QColor("#e4e4e4"), QColor("#26272b"),
                                               QColor("#8a9096"), QColor("#2f6b4f") };
    const qreal length = std::min(w * real(0.6, 0.75), h * 1.3);
    car(QPointF(w * real(0.45, 0.55), kerb + (h - kerb) * 0.62), length, pick(paints));
}

void Painter::vignette()
{
    QRadialGradient edge(QPointF(w / 2, h / 2), std::hypot(w, h) / 2);
    edge.setColorAt(0.55, QColor(0, 0, 0, 0));
    edge.setColorAt(1, QColor(0, 0, 0, 90));
    p.fillRect(QRectF(0, 0, w, h), edge);
}

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
        Painter painter(image, seed);
        switch (scene) {
        case Scene::Landscape:
            painter.landscape();
            break;
        case Scene::Sofa:
            painter.room(Painter::Furniture::Sofa);
            break;
        case Scene::Table:
            painter.room(Painter::Furniture::Table);
            break;
        case Scene::Dresser:
            painter.room(Painter::Furniture::Dresser);
            break;
        case Scene::Vase:
            painter.studio(Painter::Product::Vase);
            break;
        case Scene::Lamp:
            painter.studio(Painter::Product::Lamp);
            break;
        case Scene::Bicycle:
            painter.studio(Painter::Product::Bicycle);
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
