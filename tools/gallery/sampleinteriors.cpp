#include "samplepainter.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

void SamplePainter::sofa(QRectF box, const QColor &color)
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

void SamplePainter::table(QRectF box, const QColor &wood)
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

void SamplePainter::dresser(QRectF box, const QColor &color)
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

void SamplePainter::plant(QPointF base, qreal size)
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

void SamplePainter::room(Furniture furniture)
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

void SamplePainter::vase(QPointF base, qreal size, const QColor &color)
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

void SamplePainter::lamp(QPointF base, qreal size, const QColor &color, bool glowing)
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

void SamplePainter::bicycle(QPointF base, qreal size, const QColor &color)
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

void SamplePainter::studio(Product product)
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
