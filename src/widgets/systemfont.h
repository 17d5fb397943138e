#pragma once

#include <QFont>

class QPaintDevice;

// The application's system font at a size given in device-independent pixels, the unit all
// drawing here is measured in. Qt sizes fonts in points through a device's logical DPI, so the
// size is converted with the DPI of the device the text is measured or drawn on (the primary
// screen's without a device).
class SystemFont
{
public:
    static QFont systemFontOfSize(qreal size, const QPaintDevice *device = nullptr);
    static QFont boldSystemFontOfSize(qreal size, const QPaintDevice *device = nullptr);
    static qreal logicalDpi(const QPaintDevice *device);
};
