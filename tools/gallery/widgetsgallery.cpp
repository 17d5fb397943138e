// The drawn widgets and the artwork on one screen, to check their look by eye:
//   listoro-widgets-gallery [--screenshot FILE]
// With --screenshot the window is saved to FILE once it has been shown, and the program ends.

#include "ui/activityindicatorview.h"
#include "widgets/bigactivityindicator.h"
#include "widgets/custombadge.h"
#include "widgets/roundedrectview.h"
#include "widgets/uibuttonutils.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLabel>
#include <QLoggingCategory>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>

Q_LOGGING_CATEGORY(lcGallery, "listoro.gallery.widgets", QtInfoMsg)

namespace {

constexpr int columnWidth = 500;

QLabel *heading(const QString &text, QWidget *parent, QPoint at)
{
    auto *label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.15);
    label->setFont(font);
    label->move(at);
    label->adjustSize();
    return label;
}

QLabel *caption(const QString &text, QWidget *parent, QPoint at, const QColor &color)
{
    auto *label = new QLabel(text, parent);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    label->move(at);
    label->adjustSize();
    return label;
}

// A panel showing a tiling pattern, offset so that the tile's edges cross the middle of the
// panel, where a seam would show.
QLabel *patternPanel(const QString &image, QWidget *parent, const QRect &frame)
{
    const QPixmap tile(QStringLiteral(":/") + image);
    QPixmap canvas(frame.size());
    QPainter painter(&canvas);
    painter.drawTiledPixmap(
        canvas.rect(), tile,
        QPoint(tile.width() - frame.width() / 2, tile.height() - frame.height() / 2));
    painter.end();
    auto *panel = new QLabel(parent);
    panel->setPixmap(canvas);
    panel->setGeometry(frame);
    return panel;
}

QLabel *picture(const QString &image, QWidget *parent, QPoint at)
{
    // Shown pixel for pixel, so the @2x files appear at twice the size.
    QImage pixels(QStringLiteral(":/") + image);
    pixels.setDevicePixelRatio(1);
    auto *label = new QLabel(parent);
    label->setPixmap(QPixmap::fromImage(pixels));
    label->move(at);
    label->adjustSize();
    return label;
}

void addBadges(QWidget *window)
{
    heading(QStringLiteral("CustomBadge"), window, { 20, 12 });
    QLabel *panel = patternPanel(QStringLiteral("lightpaperfibers.png"), window,
                                 QRect(20, 40, columnWidth, 210));
    const QColor ink(70, 70, 70);
    caption(QStringLiteral("scale 1"), panel, { 14, 26 }, ink);
    caption(QStringLiteral("scale 2"), panel, { 14, 98 }, ink);
    caption(QStringLiteral("options"), panel, { 14, 172 }, ink);

    const QString texts[] = { QStringLiteral("1"), QStringLiteral("12"), QStringLiteral("128") };
    int x = 90;
    for (const QString &text : texts) {
        CustomBadge *badge = CustomBadge::customBadgeWithString(text, panel);
        badge->move(x, 20);
        x += badge->width() + 24;
    }
    x = 90;
    for (const QString &text : texts) {
        auto *badge = new CustomBadge(text, 2.0f, true, panel);
        badge->move(x, 76);
        x += badge->width() + 24;
    }

    // Without rim and gloss; a blue one at 1.5; no text.
    auto *plain = CustomBadge::customBadgeWithString(QStringLiteral("7"), Qt::white, Qt::red, false,
                                                     Qt::white, 1.0f, false, panel);
    plain->move(90, 166);
    auto *blue = CustomBadge::customBadgeWithString(
        QStringLiteral("42"), Qt::white, QColor(30, 110, 220), true, Qt::white, 1.5f, true, panel);
    blue->move(140, 158);
    auto *empty = CustomBadge::customBadgeWithString(QString(), panel);
    empty->move(140 + blue->width() + 24, 166);
}

void addActivity(QWidget *window)
{
    heading(QStringLiteral("BigActivityIndicator and spinners"), window, { 20, 266 });
    QLabel *panel = patternPanel(QStringLiteral("nasty_fabric.png"), window,
                                 QRect(20, 294, columnWidth, 170));

    auto *big = new BigActivityIndicator(QRect(20, 25, 120, 120), panel);
    Q_UNUSED(big);

    auto *large = new ActivityIndicatorView(ActivityIndicatorView::Style::WhiteLarge, panel);
    large->move(190, 66);
    large->startAnimating();
    caption(QStringLiteral("white large"), panel, { 178, 110 }, Qt::white);

    auto *card = new RoundedRectView(panel);
    card->setGeometry(290, 45, 180, 80);
    card->setCornerRadius(6);
    card->setFillColor(Qt::white);
    auto *gray = new ActivityIndicatorView(ActivityIndicatorView::Style::Gray, card);
    gray->move(80, 20);
    gray->startAnimating();
    caption(QStringLiteral("gray"), card, { 76, 48 }, QColor(90, 90, 90));
}

void addButtons(QWidget *window)
{
    heading(QStringLiteral("UIButtonUtils::setColorOfButtons"), window, { 20, 480 });
    QLabel *panel = patternPanel(QStringLiteral("lightpaperfibers.png"), window,
                                 QRect(20, 508, columnWidth, 120));

    auto *save = new QPushButton(QStringLiteral("Save"), panel);
    save->setGeometry(24, 20, 120, 36);
    auto *cancel = new QPushButton(QStringLiteral("Remove favorite"), panel);
    cancel->setGeometry(164, 20, 180, 36);
    UIButtonUtils::setColorOfButtons({ save, cancel }, 46, 139, 87, 1.0f);

    auto *red = new QPushButton(QStringLiteral("Delete"), panel);
    red->setGeometry(24, 70, 120, 36);
    auto *redWide = new QPushButton(QStringLiteral("Delete all bookmarks"), panel);
    redWide->setGeometry(164, 70, 220, 36);
    UIButtonUtils::setColorOfButtons({ red, redWide }, 255, 0, 0, 1.0f);
}

void addArtwork(QWidget *window)
{
    const int left = 40 + columnWidth;
    heading(QStringLiteral("Artwork over each pattern"), window, { left, 12 });
    const QString patterns[]
        = { QStringLiteral("nasty_fabric.png"), QStringLiteral("kindajean.png"),
            QStringLiteral("lightpaperfibers.png") };
    int y = 40;
    for (const QString &pattern : patterns) {
        QLabel *panel = patternPanel(pattern, window, QRect(left, y, columnWidth, 190));
        const bool dark = pattern != patterns[2];
        caption(pattern, panel, { 12, 8 }, dark ? QColor(235, 235, 235) : QColor(60, 60, 60));

        picture(QStringLiteral("add.png"), panel, { 16, 44 });
        picture(QStringLiteral("delete.png"), panel, { 60, 44 });
        picture(QStringLiteral("add@2x.png"), panel, { 16, 100 });
        picture(QStringLiteral("delete@2x.png"), panel, { 90, 100 });

        // A tile header as the listing grid draws it: a white card with the favorite button.
        auto *tile = new RoundedRectView(panel);
        tile->setGeometry(190, 44, 290, 126);
        tile->setFillColor(Qt::white);
        picture(QStringLiteral("add.png"), tile, { 10, 10 });
        caption(QStringLiteral("Oak dining table, seats six - $60"), tile, { 52, 18 },
                QColor(30, 30, 30));
        auto *loading = new ActivityIndicatorView(ActivityIndicatorView::Style::Gray, tile);
        loading->move(tile->width() - loading->width() - 10, 12);
        loading->startAnimating();
        picture(QStringLiteral("delete.png"), tile, { 10, 62 });
        caption(QStringLiteral("A favorite: the button removes it"), tile, { 52, 70 },
                QColor(30, 30, 30));
        y += 190 + 16;
    }
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Listoro's drawn widgets and artwork."));
    parser.addHelpOption();
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Save the window to <file> and quit."),
                                        QStringLiteral("file"));
    parser.addOption(screenshot);
    parser.process(app);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Listoro widgets"));
    window.setFixedSize(60 + 2 * columnWidth, 660);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, QColor(226, 226, 226));
    window.setPalette(palette);

    addBadges(&window);
    addActivity(&window);
    addButtons(&window);
    addArtwork(&window);
    window.show();

    if (parser.isSet(screenshot)) {
        const QString file = parser.value(screenshot);
        QTimer::singleShot(600, &window, [&window, file] {
            const bool saved = window.grab().save(file);
            if (saved)
                qCInfo(lcGallery, "saved %s", qPrintable(file));
            else
                qCCritical(lcGallery, "cannot save %s", qPrintable(file));
            QCoreApplication::exit(saved ? 0 : 1);
        });
    }
    return app.exec();
}
