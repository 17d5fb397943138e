#include "ui/theme.h"

#include <QFile>
#include <QWidget>

#include <algorithm>

namespace Theme {

namespace {

struct Named
{
    Colour colour;
    QLatin1StringView name;
    QColor value;
};

const Named palette[] = {
    { Colour::BrandGreen, QLatin1StringView("brandGreen"), QColor(0x4f, 0x8a, 0x3c) },
    { Colour::BrandGreenHover, QLatin1StringView("brandGreenHover"), QColor(0x5a, 0x9a, 0x45) },
    { Colour::BrandGreenPressed, QLatin1StringView("brandGreenPressed"), QColor(0x3f, 0x70, 0x30) },
    { Colour::ZestoTop, QLatin1StringView("zestoTop"), QColor(0xff, 0xb3, 0x47) },
    { Colour::ZestoBottom, QLatin1StringView("zestoBottom"), QColor(0xf0, 0x7c, 0x00) },
    { Colour::ZestoBorder, QLatin1StringView("zestoBorder"), QColor(0xb8, 0x5e, 0x00) },
    { Colour::ZestoHover, QLatin1StringView("zestoHover"), QColor(0xff, 0x9f, 0x1a) },
    { Colour::Accent, QLatin1StringView("accent"), QColor(0x2f, 0x7d, 0xe1) },
    { Colour::AccentLight, QLatin1StringView("accentLight"), QColor(0x6a, 0xae, 0xf5) },
    { Colour::Danger, QLatin1StringView("danger"), QColor(0xb0, 0x3a, 0x2e) },
    { Colour::Ink, QLatin1StringView("ink"), QColor(0x2b, 0x2b, 0x2b) },
    { Colour::InkSoft, QLatin1StringView("inkSoft"), QColor(0x6b, 0x6b, 0x6b) },
    { Colour::InkMuted, QLatin1StringView("inkMuted"), QColor(0x8a, 0x86, 0x7e) },
    { Colour::InkFaint, QLatin1StringView("inkFaint"), QColor(0x9a, 0x96, 0x8e) },
    { Colour::TileTitle, QLatin1StringView("tileTitle"), QColor(0x33, 0x36, 0x3b) },
    { Colour::TileHeader, QLatin1StringView("tileHeader"), QColor(0xf6, 0xf7, 0xf9) },
    { Colour::TileHairline, QLatin1StringView("tileHairline"), QColor(0, 0, 0, 26) },
    { Colour::TileEdge, QLatin1StringView("tileEdge"), QColor(0xd9, 0xdb, 0xdf) },
    { Colour::NavigationText, QLatin1StringView("navigationText"), QColor(0x1f, 0x5f, 0xa8) },
    { Colour::NavigationTitle, QLatin1StringView("navigationTitle"), QColor(0x1e, 0x25, 0x2d) },
    { Colour::NavigationDisabled, QLatin1StringView("navigationDisabled"), QColor(40, 50, 65, 90) },
    { Colour::NavigationTop, QLatin1StringView("navigationTop"), QColor(0xfb, 0xfc, 0xfd) },
    { Colour::NavigationBottom, QLatin1StringView("navigationBottom"), QColor(0xe2, 0xe6, 0xeb) },
    { Colour::NavigationEdge, QLatin1StringView("navigationEdge"), QColor(0xa7, 0xaf, 0xb9) },
    { Colour::AlertDim, QLatin1StringView("alertDim"), QColor(16, 22, 30, 110) },
    { Colour::AlertSeparator, QLatin1StringView("alertSeparator"), QColor(0xd9, 0xdd, 0xe3) },
    { Colour::AlertTitle, QLatin1StringView("alertTitle"), QColor(0x1b, 0x21, 0x29) },
    { Colour::AlertText, QLatin1StringView("alertText"), QColor(0x3b, 0x43, 0x4d) },
    { Colour::PanelBorder, QLatin1StringView("panelBorder"), QColor(0, 0, 0, 26) },
    { Colour::Shadow, QLatin1StringView("shadow"), QColor(0, 0, 0, 90) },
    { Colour::Outline, QLatin1StringView("outline"), QColor(0, 0, 0, 45) },
    { Colour::Cover, QLatin1StringView("cover"), QColor(24, 28, 34, 150) },
};

QString cssColour(const QColor &colour)
{
    if (colour.alpha() == 255)
        return colour.name(QColor::HexRgb);
    return QStringLiteral("rgba(%1, %2, %3, %4)")
        .arg(colour.red())
        .arg(colour.green())
        .arg(colour.blue())
        .arg(colour.alphaF(), 0, 'f', 3);
}

} // namespace

QColor colour(Colour wanted)
{
    const auto found
        = std::find_if(std::begin(palette), std::end(palette),
                       [wanted](const Named &named) { return named.colour == wanted; });
    return found != std::end(palette) ? found->value : QColor();
}

QString styleSheet()
{
    static const QString sheet = [] {
        QFile file(QStringLiteral(":/theme/listoro.qss"));
        QString text
            = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
        // Longer names first, so that no name replaces the start of another.
        QList<const Named *> byLength;
        for (const Named &named : palette)
            byLength.append(&named);
        std::sort(byLength.begin(), byLength.end(),
                  [](const Named *a, const Named *b) { return a->name.size() > b->name.size(); });
        for (const Named *named : byLength)
            text.replace(u'@' + QString(named->name), cssColour(named->value));
        return text;
    }();
    return sheet;
}

void apply(QWidget *window)
{
    if (window)
        window->setStyleSheet(styleSheet());
}

} // namespace Theme
