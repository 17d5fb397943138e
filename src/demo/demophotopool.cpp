#include "demo/demophotopool.h"

#include "demo/democatalogue.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImageWriter>
#include <QLinearGradient>
#include <QLoggingCategory>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <iterator>
#include <numbers>

Q_LOGGING_CATEGORY(lcDemoPhotoPool, "listoro.demo.photopool", QtWarningMsg)

namespace {

const QSize shapes[]
    = { { 1200, 900 }, { 1600, 900 }, { 900, 1200 }, { 768, 1024 }, { 1000, 1000 } };

struct Backdrop
{
    QRgb wallTop, wallBottom, floorTop, floorBottom;
};

// A warm room with a wooden floor, a garden under a blue sky, and a grey studio.
const Backdrop backdrops[DemoPhotoPool::variantsPerCategory] = {
    { 0xfde6c8, 0xf3c49c, 0x9c6b43, 0x6e462a },
    { 0xd6ecfa, 0x9fcbec, 0x8fb96a, 0x5d8a3e },
    { 0xf0f0f3, 0xcfd2da, 0xb8b2a8, 0x8a847c },
};

// The subject's main colour, three per category in catalogue order.
const QRgb subjectColours[][DemoPhotoPool::variantsPerCategory] = {
    { 0x2f7f86, 0xc8642d, 0x9b4a6c }, // furniture
    { 0xd23c3c, 0x2c6fbb, 0x2f9e6a }, // bikes
    { 0x1f5fa8, 0xb8262b, 0x5b6770 }, // cars
    { 0x3a7bd5, 0xe07b39, 0x7a4fb5 }, // electronics
    { 0xe8d7b0, 0xc9dfe8, 0xf1c6b8 }, // apartments
    { 0xc27a2c, 0x8e2f1f, 0xd9a441 }, // instruments
    { 0x3f8f3a, 0x5aa54a, 0x2e7d5b }, // garden
};

const QColor ink(0x22, 0x22, 0x22);

void drawSofa(QPainter &p, const QColor &c)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x4a, 0x32, 0x20));
    p.drawRect(QRectF(-340, -45, 32, 45));
    p.drawRect(QRectF(308, -45, 32, 45));
    p.setBrush(c.darker(115));
    p.drawRoundedRect(QRectF(-340, -440, 680, 270), 40, 40);
    p.setBrush(c);
    p.drawRoundedRect(QRectF(-370, -230, 740, 190), 30, 30);
    p.setBrush(c.lighter(112));
    p.drawRoundedRect(QRectF(-300, -270, 290, 90), 25, 25);
    p.drawRoundedRect(QRectF(10, -270, 290, 90), 25, 25);
    p.setBrush(c.darker(125));
    p.drawRoundedRect(QRectF(-430, -340, 115, 300), 45, 45);
    p.drawRoundedRect(QRectF(315, -340, 115, 300), 45, 45);
    p.save();
    p.translate(-200, -340);
    p.rotate(-12);
    p.setBrush(QColor(0xf4, 0xe3, 0xb5));
    p.drawRoundedRect(QRectF(-75, -65, 150, 130), 30, 30);
    p.restore();
}

void drawBicycle(QPainter &p, const QColor &c)
{
    const QPointF rear(-240, -172), front(240, -172), crank(-10, -185), seat(-95, -430),
        head(175, -420);
    p.setBrush(Qt::NoBrush);
    for (const QPointF &hub : { rear, front }) {
        p.setPen(QPen(QColor(0x9a, 0x9a, 0x9a), 3));
        for (int i = 0; i < 16; ++i) {
            const double a = i * std::numbers::pi / 8;
            p.drawLine(hub, hub + QPointF(150 * std::cos(a), 150 * std::sin(a)));
        }
        p.setPen(QPen(ink, 24));
        p.drawEllipse(hub, 160, 160);
    }
    p.setPen(QPen(c, 26, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolygon(QPolygonF{ rear, crank, seat });
    p.drawLine(crank, head);
    p.drawLine(seat + QPointF(8, 10), head);
    p.drawLine(head, front);
    p.setPen(QPen(QColor(0x55, 0x55, 0x55), 10));
    p.drawEllipse(crank, 48, 48);
    p.setPen(QPen(ink, 16, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(seat, seat + QPointF(-14, -60));
    p.drawLine(head, head + QPointF(-20, -75));
    p.drawLine(head + QPointF(-20, -75), head + QPointF(65, -95));
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawRoundedRect(QRectF(seat.x() - 90, seat.y() - 84, 150, 34), 17, 17);
}

void drawCar(QPainter &p, const QColor &c)
{
    p.setPen(Qt::NoPen);
    QPainterPath body;
    body.addRoundedRect(QRectF(-440, -300, 880, 190), 60, 60);
    QPainterPath cabin;
    cabin.addPolygon(QPolygonF{ { -270, -290 }, { -180, -460 }, { 170, -460 }, { 290, -290 } });
    cabin.closeSubpath();
    QLinearGradient paint(0, -460, 0, -110);
    paint.setColorAt(0, c.lighter(125));
    paint.setColorAt(1, c.darker(120));
    p.setBrush(paint);
    p.drawPath(body.united(cabin));
    p.setBrush(QColor(0xcf, 0xe6, 0xf5));
    p.drawPolygon(QPolygonF{ { -240, -300 }, { -168, -432 }, { -18, -432 }, { -18, -300 } });
    p.drawPolygon(QPolygonF{ { 12, -300 }, { 12, -432 }, { 155, -432 }, { 252, -300 } });
    p.setPen(QPen(c.darker(150), 5));
    p.drawLine(QPointF(-3, -300), QPointF(-3, -135));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xff, 0xf1, 0xa8));
    p.drawRoundedRect(QRectF(388, -272, 46, 36), 10, 10);
    p.setBrush(QColor(0xd6, 0x3a, 0x2f));
    p.drawRoundedRect(QRectF(-437, -272, 30, 36), 8, 8);
    for (double x : { -262.0, 262.0 }) {
        p.setBrush(ink);
        p.drawEllipse(QPointF(x, -95), 95, 95);
        p.setBrush(QColor(0xb8, 0xbc, 0xc2));
        p.drawEllipse(QPointF(x, -95), 48, 48);
    }
}

void drawTelevision(QPainter &p, const QColor &c)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x6b, 0x4a, 0x2f));
    p.drawRect(QRectF(-420, -170, 840, 170));
    p.setBrush(QColor(0x58, 0x3c, 0x26));
    p.drawRect(QRectF(-400, -150, 390, 130));
    p.drawRect(QRectF(10, -150, 390, 130));
    p.setBrush(QColor(0x30, 0x30, 0x30));
    p.drawRect(QRectF(-25, -235, 50, 70));
    p.drawRoundedRect(QRectF(-140, -192, 280, 22), 8, 8);
    p.setBrush(QColor(0x18, 0x18, 0x1a));
    p.drawRoundedRect(QRectF(-400, -710, 800, 480), 14, 14);
    QLinearGradient screen(0, -690, 0, -250);
    screen.setColorAt(0, c.lighter(160));
    screen.setColorAt(1, c.darker(170));
    p.setBrush(screen);
    p.drawRect(QRectF(-380, -690, 760, 440));
    p.setBrush(QColor(255, 236, 170, 230));
    p.drawEllipse(QPointF(150, -530), 70, 70);
    QPainterPath hills;
    hills.moveTo(-380, -250);
    hills.cubicTo(-200, -430, 0, -300, 120, -390);
    hills.cubicTo(220, -450, 320, -330, 380, -370);
    hills.lineTo(380, -250);
    hills.closeSubpath();
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawPath(hills);
}

void drawHouse(QPainter &p, const QColor &c)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x8a, 0x3b, 0x2c));
    p.drawRect(QRectF(170, -770, 60, 170));
    p.setBrush(c);
    p.drawRect(QRectF(-330, -490, 660, 490));
    p.setBrush(QColor(0x7a, 0x2e, 0x25));
    p.drawPolygon(QPolygonF{ { -395, -480 }, { 0, -800 }, { 395, -480 } });
    p.setBrush(c.darker(200));
    p.drawRoundedRect(QRectF(-60, -235, 120, 235), 8, 8);
    p.setBrush(QColor(0xe8, 0xc5, 0x4a));
    p.drawEllipse(QPointF(35, -115), 9, 9);
    for (const QRectF &window : { QRectF(-270, -420, 150, 120), QRectF(120, -420, 150, 120),
                                  QRectF(-270, -215, 150, 120), QRectF(120, -215, 150, 120) }) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xfa, 0xf3, 0xd0));
        p.drawRect(window);
        p.setPen(QPen(Qt::white, 10));
        p.setBrush(Qt::NoBrush);
        p.drawRect(window);
        p.drawLine(QPointF(window.center().x(), window.top()),
                   QPointF(window.center().x(), window.bottom()));
        p.drawLine(QPointF(window.left(), window.center().y()),
                   QPointF(window.right(), window.center().y()));
    }
    p.setPen(QPen(Qt::white, 10));
    p.setBrush(QColor(0xfa, 0xf3, 0xd0));
    p.drawEllipse(QPointF(0, -590), 50, 50);
}

void drawGuitar(QPainter &p, const QColor &c)
{
    p.save();
    p.translate(0, -392);
    p.rotate(-18);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x5a, 0x3a, 0x22));
    p.drawRect(QRectF(-28, -420, 56, 420));
    p.setBrush(QColor(0x3a, 0x25, 0x15));
    p.drawRoundedRect(QRectF(-42, -510, 84, 105), 14, 14);
    QPainterPath body;
    body.addEllipse(QPointF(0, 230), 205, 170);
    body.addEllipse(QPointF(0, 25), 158, 140);
    body.setFillRule(Qt::WindingFill);
    QRadialGradient wood(QPointF(-40, 160), 320);
    wood.setColorAt(0, c.lighter(135));
    wood.setColorAt(1, c.darker(150));
    p.setBrush(wood);
    p.drawPath(body.simplified());
    p.setBrush(QColor(0x1e, 0x14, 0x0c));
    p.drawEllipse(QPointF(0, 70), 55, 55);
    p.drawRect(QRectF(-70, 275, 140, 26));
    p.setPen(QPen(QColor(0xc8, 0xc8, 0xc8), 4));
    for (int fret = 1; fret <= 10; ++fret)
        p.drawLine(QPointF(-28, -400 + fret * 36), QPointF(28, -400 + fret * 36));
    p.setPen(QPen(QColor(0xee, 0xee, 0xee), 3));
    for (int string = 0; string < 6; ++string)
        p.drawLine(QPointF(-20 + string * 8, -480), QPointF(-20 + string * 8, 288));
    p.restore();
}

void drawPlant(QPainter &p, const QColor &c)
{
    p.setPen(Qt::NoPen);
    for (int leaf = 0; leaf < 9; ++leaf) {
        const double length = 300 + (leaf % 3) * 90;
        p.save();
        p.translate(0, -320);
        p.rotate(-72 + leaf * 18);
        QLinearGradient green(0, -length, 0, 0);
        green.setColorAt(0, c.lighter(135));
        green.setColorAt(1, c.darker(130));
        p.setBrush(green);
        p.drawEllipse(QRectF(-50, -length, 100, length));
        p.setPen(QPen(c.darker(160), 5));
        p.drawLine(QPointF(0, -length + 30), QPointF(0, 0));
        p.setPen(Qt::NoPen);
        p.restore();
    }
    p.setBrush(QColor(0xc8, 0x6b, 0x3c));
    p.drawPolygon(QPolygonF{ { -165, -320 }, { 165, -320 }, { 120, 0 }, { -120, 0 } });
    p.setBrush(QColor(0xb0, 0x5a, 0x30));
    p.drawRect(QRectF(-185, -345, 370, 62));
}

using SubjectPainter = void (*)(QPainter &, const QColor &);
const SubjectPainter subjects[]
    = { drawSofa, drawBicycle, drawCar, drawTelevision, drawHouse, drawGuitar, drawPlant };

QByteArray encodeJpeg(const QImage &image, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    if (!writer.write(image)) {
        qCWarning(lcDemoPhotoPool) << "cannot encode a JPEG:" << writer.errorString();
        return QByteArray();
    }
    return bytes;
}

} // namespace

static_assert(std::size(subjectColours) == std::size(subjects));

DemoPhotoPool::DemoPhotoPool()
{
    QElapsedTimer timer;
    timer.start();
    m_photos.reserve(poolSize());
    for (int index = 0; index < poolSize(); ++index) {
        const QImage image = draw(index);
        m_photos.append({ encodeJpeg(image, 85),
                          encodeJpeg(image.scaled(thumbSize(index), Qt::IgnoreAspectRatio,
                                                  Qt::SmoothTransformation),
                                     80),
                          encodeJpeg(image.scaled(copySize(index), Qt::IgnoreAspectRatio,
                                                  Qt::SmoothTransformation),
                                     55) });
    }
    qCDebug(lcDemoPhotoPool) << "drew" << poolSize() << "photos in" << timer.elapsed() << "ms";
}

std::shared_ptr<const DemoPhotoPool> DemoPhotoPool::shared()
{
    static const std::shared_ptr<const DemoPhotoPool> pool = std::make_shared<DemoPhotoPool>();
    return pool;
}

int DemoPhotoPool::poolSize()
{
    return int(std::size(subjects)) * variantsPerCategory;
}

int DemoPhotoPool::poolIndex(const DemoListing &listing, int k)
{
    const int category = qBound(0, listing.category, int(std::size(subjects)) - 1);
    return category * variantsPerCategory
        + (std::max(0, listing.photoVariant) + std::max(0, k)) % variantsPerCategory;
}

QSize DemoPhotoPool::photoSize(int poolIndex)
{
    const int category = poolIndex / variantsPerCategory;
    const int variant = poolIndex % variantsPerCategory;
    return shapes[(category + 2 * variant) % std::size(shapes)];
}

QSize DemoPhotoPool::thumbSize(int poolIndex)
{
    const QSize full = photoSize(poolIndex);
    return QSize(thumbWidth, qRound(full.height() * double(thumbWidth) / full.width()));
}

QSize DemoPhotoPool::copySize(int poolIndex)
{
    return photoSize(poolIndex) * 3 / 4;
}

QImage DemoPhotoPool::draw(int poolIndex)
{
    const int category = poolIndex / variantsPerCategory;
    const int variant = poolIndex % variantsPerCategory;
    const QSize size = photoSize(poolIndex);
    const double w = size.width(), h = size.height();
    const double floorY = h * 0.70;
    const Backdrop &backdrop = backdrops[variant];
    const bool indoors = category == 0 || category == 3 || category == 5;

    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient wall(0, 0, 0, floorY);
    wall.setColorAt(0, QColor::fromRgb(backdrop.wallTop));
    wall.setColorAt(1, QColor::fromRgb(backdrop.wallBottom));
    p.fillRect(QRectF(0, 0, w, floorY), wall);
    QLinearGradient floor(0, floorY, 0, h);
    floor.setColorAt(0, QColor::fromRgb(backdrop.floorTop));
    floor.setColorAt(1, QColor::fromRgb(backdrop.floorBottom));
    p.fillRect(QRectF(0, floorY, w, h - floorY), floor);
    if (variant == 1) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 244, 200, 200));
        p.drawEllipse(QPointF(w * 0.82, h * 0.16), h * 0.07, h * 0.07);
    } else if (variant == 0 && !indoors) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 190, 120, 210));
        p.drawEllipse(QPointF(w * 0.20, floorY - h * 0.10), h * 0.09, h * 0.09);
    } else if (variant == 0) {
        p.setPen(QPen(QColor(0x8a, 0x6a, 0x4a), h * 0.012));
        p.setBrush(QColor(0xfb, 0xf6, 0xee));
        p.drawRect(QRectF(w * 0.10, h * 0.10, w * 0.14, h * 0.16));
    }

    // The subject stands on the floor line, drawn in a 1000-unit box scaled to the photo.
    // Centred in the first variant, off to one side and smaller in the others: the pictures of
    // one category differ in their layout, not only in colour, as different photos do.
    const double across[variantsPerCategory] = { 0.5, 0.36, 0.64 };
    const double scale = std::min(w * 0.80 / 900, h * 0.62 / 850) * (variant == 0 ? 1.0 : 0.8);
    p.save();
    p.translate(w * across[variant], floorY + h * 0.08);
    p.scale(scale, scale);
    QRadialGradient shadow(QPointF(0, 0), 450);
    shadow.setColorAt(0, QColor(0, 0, 0, 90));
    shadow.setColorAt(1, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shadow);
    p.drawEllipse(QPointF(0, 0), 470, 45);
    subjects[category](p, QColor::fromRgb(subjectColours[category][variant]));
    p.restore();

    const double band = h * 0.085;
    p.fillRect(QRectF(0, h - band, w, band), QColor(0, 0, 0, 130));
    // Text needs the GUI application's fonts; a photo drawn without one goes uncaptioned.
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        const QString caption = DemoCatalogue::categoryName(category)
            + QStringLiteral("  ·  Listoro Demo Classifieds");
        QFont font;
        font.setBold(true);
        font.setPixelSize(std::max(8, int(band * 0.42)));
        const double room = w - band;
        const double width = QFontMetricsF(font).horizontalAdvance(caption);
        if (width > room)
            font.setPixelSize(std::max(8, int(font.pixelSize() * room / width)));
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRectF(band * 0.5, h - band, room, band), Qt::AlignVCenter | Qt::AlignLeft,
                   caption);
    }
    return image;
}

bool DemoPhotoPool::isValid() const
{
    return std::all_of(m_photos.cbegin(), m_photos.cend(), [](const Photo &photo) {
        return !photo.jpeg.isEmpty() && !photo.thumbJpeg.isEmpty() && !photo.copyJpeg.isEmpty();
    });
}
