#pragma once

#include <QHash>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QString>

#include <optional>

// A photo's perceptual fingerprint: 64 bits of how brightness changes from left to right over a
// 9 by 8 grey copy (a difference hash). A copy of the photo re-encoded, resized or lightly
// retouched keeps nearly the same bits; another picture does not.
namespace PhotoFingerprint {

// Fingerprints this many bits apart or fewer are taken for the same picture.
constexpr int tolerance = 5;

// Nothing for a null image or one too plain to tell apart from others (a blank placeholder).
std::optional<quint64> ofImage(const QImage &image);
// Reads only as much of the file as a small copy needs; nothing when it is no image.
std::optional<quint64> ofFile(const QString &path);
int distance(quint64 a, quint64 b);
inline bool samePicture(quint64 a, quint64 b)
{
    return distance(a, b) <= tolerance;
}

} // namespace PhotoFingerprint

// The fingerprints of cached photos, by photo address, worked out on the background pool the
// first time they are asked for. Used on the GUI thread.
class PhotoFingerprints final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PhotoFingerprints)

public:
    static PhotoFingerprints &instance();

    // The fingerprint of the cached photo of url, or nothing: not worked out yet (it is asked
    // for, and found() follows), or the photo has none.
    std::optional<quint64> find(const QString &url);

Q_SIGNALS:
    // Fingerprints were worked out since the last time (once per turn of the event loop).
    void found();

private:
    PhotoFingerprints() = default;
    void land(const QString &url, std::optional<quint64> fingerprint);

    // Bounded: at this many, the oldest answers are dropped and asked again when needed.
    static constexpr int capacity = 20000;
    QHash<QString, std::optional<quint64>> m_found;
    QSet<QString> m_pending;
    bool m_announced = false;
};
