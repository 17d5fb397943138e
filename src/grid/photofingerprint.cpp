#include "grid/photofingerprint.h"

#include "platform/imageutils.h"
#include "platform/mainqueue.h"
#include "scrape/parsedlink.h"

#include <QImageReader>

#include <algorithm>
#include <bit>

namespace {

// Brightness levels between the darkest and lightest cells below which a picture is too plain
// to fingerprint.
constexpr int plainRange = 12;
// The copy read from a file before it is reduced: enough pixels that the reduction averages.
constexpr int readSide = 96;

} // namespace

namespace PhotoFingerprint {

std::optional<quint64> ofImage(const QImage &image)
{
    if (image.isNull())
        return std::nullopt;
    const QImage small = image.convertToFormat(QImage::Format_Grayscale8)
                             .scaled(9, 8, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    int darkest = 255;
    int lightest = 0;
    quint64 bits = 0;
    for (int y = 0; y < 8; ++y) {
        const uchar *row = small.constScanLine(y);
        for (int x = 0; x < 9; ++x) {
            darkest = std::min<int>(darkest, row[x]);
            lightest = std::max<int>(lightest, row[x]);
            if (x < 8)
                bits = (bits << 1) | (row[x] < row[x + 1] ? 1 : 0);
        }
    }
    if (lightest - darkest < plainRange)
        return std::nullopt;
    return bits;
}

std::optional<quint64> ofFile(const QString &path)
{
    QImageReader reader(path);
    const QSize size = reader.size();
    if (!size.isValid() || !ImageUtils::isDecodableSize(size))
        return std::nullopt;
    reader.setScaledSize(size.scaled(readSide, readSide, Qt::KeepAspectRatioByExpanding));
    return ofImage(reader.read());
}

int distance(quint64 a, quint64 b)
{
    return std::popcount(a ^ b);
}

} // namespace PhotoFingerprint

PhotoFingerprints &PhotoFingerprints::instance()
{
    static PhotoFingerprints fingerprints;
    return fingerprints;
}

std::optional<quint64> PhotoFingerprints::find(const QString &url)
{
    if (const auto it = m_found.constFind(url); it != m_found.cend())
        return *it;
    if (m_pending.contains(url))
        return std::nullopt;
    m_pending.insert(url);
    const QString path = ParsedLink::getImagePathFromStringURL(url);
    MainQueue::runInBackground(
        [this, url, path] {
            const std::optional<quint64> fingerprint = PhotoFingerprint::ofFile(path);
            MainQueue::post(this, [this, url, fingerprint] { land(url, fingerprint); });
        },
        QThread::LowPriority);
    return std::nullopt;
}

void PhotoFingerprints::land(const QString &url, std::optional<quint64> fingerprint)
{
    if (!m_pending.remove(url))
        return;
    if (m_found.size() >= capacity)
        m_found.clear();
    m_found.insert(url, fingerprint);
    // Many land in one turn as a page's photos are read: the listeners hear once.
    if (m_announced)
        return;
    m_announced = true;
    MainQueue::post(this, [this] {
        m_announced = false;
        emit found();
    });
}
