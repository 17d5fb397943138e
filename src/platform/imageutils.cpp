#include "platform/imageutils.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QLoggingCategory>
#include <QPainter>
#include <QScreen>

#include <cmath>

Q_LOGGING_CATEGORY(lcImageUtils, "listoro.imageutils")

namespace {

// Larger targets are refused: they could only come from a broken size and would exhaust memory.
constexpr qreal maxTargetPixels = 16384;

QImage readChecked(QImageReader &reader)
{
    reader.setAutoTransform(true);
    if (!ImageUtils::isDecodableSize(reader.size()))
        return {};
    return reader.read();
}

} // namespace

FloatSize ImageUtils::fitSize(FloatSize size, FloatSize box)
{
    const float w = size.width;
    const float h = size.height;
    const float boxW = box.width;
    const float boxH = box.height;
    if (w <= boxW && h <= boxH)
        return size;

    const float ratio = w / h;
    float fittedW = w;
    float fittedH = h;
    if (w > boxW) {
        fittedH = boxW / ratio;
        fittedW = boxW;
    }
    if (fittedH > boxH) {
        fittedW = boxH * ratio;
        fittedH = boxH;
    }

    const float current = fittedW / fittedH;
    const float drift = current - ratio;
    // A drift that is not a number (a zero side) converts to 0; an infinite one counts as large.
    const bool lost = !std::isnan(drift) && std::fabs(std::trunc(drift)) >= 1.0f;
    if (lost) {
        qCWarning(lcImageUtils,
                  "Did not preserve aspect ratio! original:%f current:%f . Original dims: %fx%f "
                  "fitting in %fx%f",
                  double(ratio), double(current), double(w), double(h), double(boxW), double(boxH));
    }
    return { fittedW, fittedH };
}

qreal ImageUtils::displayScaleFactor()
{
    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        if (const QScreen *screen = app->primaryScreen())
            return screen->devicePixelRatio();
    }
    return 1.0;
}

QImage ImageUtils::imageWithImage(const QImage &image, FloatSize size)
{
    if (image.isNull())
        return {};
    const qreal scale = displayScaleFactor();
    const qreal pixelW = std::ceil(qreal(size.width) * scale);
    const qreal pixelH = std::ceil(qreal(size.height) * scale);
    if (!(pixelW >= 1 && pixelH >= 1 && pixelW <= maxTargetPixels && pixelH <= maxTargetPixels))
        return {};

    QImage scaled(int(pixelW), int(pixelH), QImage::Format_ARGB32_Premultiplied);
    scaled.setDevicePixelRatio(scale);
    scaled.fill(Qt::transparent);
    QPainter painter(&scaled);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(0, 0, size.width, size.height), image);
    painter.end();
    return scaled;
}

bool ImageUtils::isDecodableSize(QSize size)
{
    return size.isValid() && qint64(size.width()) * size.height() <= maxImagePixels;
}

QImage ImageUtils::decodeImage(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return {};
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return readChecked(reader);
}

QImage ImageUtils::decodeImageFile(const QString &path)
{
    QImageReader reader(path);
    return readChecked(reader);
}

QByteArray ImageUtils::encodeJpeg(const QImage &image)
{
    if (image.isNull())
        return {};
    QImage opaque = image;
    if (image.hasAlphaChannel()) {
        // JPEG has no transparency: lay the photo on white rather than on black.
        opaque = QImage(image.size(), QImage::Format_RGB32);
        opaque.fill(Qt::white);
        QPainter painter(&opaque);
        painter.drawImage(0, 0, image);
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(100);
    if (!writer.write(opaque))
        return {};
    return jpeg;
}
