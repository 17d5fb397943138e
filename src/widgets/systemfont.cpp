#include "widgets/systemfont.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QPaintDevice>
#include <QScreen>

Q_LOGGING_CATEGORY(lcSystemFont, "listoro.widgets.systemfont", QtInfoMsg)

namespace {

constexpr qreal pointsPerInch = 72.0;
constexpr qreal fallbackDpi = 96.0;

} // namespace

qreal SystemFont::logicalDpi(const QPaintDevice *device)
{
    if (device && device->logicalDpiY() > 0)
        return device->logicalDpiY();
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            return screen->logicalDotsPerInchY();
    }
    qCDebug(lcSystemFont) << "no device or screen: assuming" << fallbackDpi << "DPI";
    return fallbackDpi;
}

QFont SystemFont::systemFontOfSize(qreal size, const QPaintDevice *device)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(size * pointsPerInch / logicalDpi(device));
    return font;
}

QFont SystemFont::boldSystemFontOfSize(qreal size, const QPaintDevice *device)
{
    QFont font = systemFontOfSize(size, device);
    font.setBold(true);
    return font;
}
