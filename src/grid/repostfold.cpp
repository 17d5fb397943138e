#include "grid/repostfold.h"

#include "grid/photofingerprint.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// Fingerprints within the tolerance agree on at least one of tolerance + 1 bands of bits, so
// only listings sharing a band are compared.
constexpr int bands = PhotoFingerprint::tolerance + 1;
constexpr int bandBits = (64 + bands - 1) / bands;
// Listings kept per band value for comparison.
constexpr int bandDepth = 32;
constexpr double closeShare = 0.75;

quint64 bandKey(quint64 fingerprint, int band)
{
    const int shift = band * bandBits;
    const quint64 mask = (quint64(1) << bandBits) - 1;
    return (quint64(band) << 56) | ((fingerprint >> shift) & mask);
}

} // namespace

namespace RepostFold {

QStringList words(const QString &title)
{
    static const QRegularExpression separators(QStringLiteral("[^\\p{L}\\p{N}]+"));
    QStringList list = title.toCaseFolded().split(separators, Qt::SkipEmptyParts);
    list.removeDuplicates();
    return list;
}

bool closeTitles(const QStringList &a, const QStringList &b)
{
    const QStringList &shorter = a.size() <= b.size() ? a : b;
    const QStringList &longer = a.size() <= b.size() ? b : a;
    if (shorter.isEmpty())
        return false;
    const auto shared = std::count_if(shorter.cbegin(), shorter.cend(),
                                      [&longer](const QString &w) { return longer.contains(w); });
    return double(shared) >= closeShare * double(shorter.size());
}

Result fold(const QList<int> &rows, const std::function<std::optional<quint64>(int)> &fingerprint,
            const std::function<QStringList(int)> &words)
{
    Result result;
    struct Kept
    {
        int row;
        quint64 fingerprint;
        QStringList words;
    };
    QList<Kept> kept;
    QHash<quint64, QList<int>> byBand; // band value -> indices into kept, latest last
    std::vector<int> triedBy; // per kept listing: the row last compared with it
    for (const int row : rows) {
        const std::optional<quint64> print = fingerprint(row);
        if (!print) {
            result.rows.append(row);
            continue;
        }
        const QStringList title = words(row);
        int into = -1;
        for (int band = 0; band < bands && into < 0; ++band) {
            const auto candidates = byBand.constFind(bandKey(*print, band));
            if (candidates == byBand.cend())
                continue;
            for (const int k : *candidates) {
                // A listing sharing several bands is compared once.
                if (std::exchange(triedBy[k], row) == row)
                    continue;
                if (PhotoFingerprint::samePicture(kept.at(k).fingerprint, *print)
                    && closeTitles(kept.at(k).words, title)) {
                    into = k;
                    break;
                }
            }
        }
        if (into >= 0) {
            result.others[kept.at(into).row].append(row);
            continue;
        }
        result.rows.append(row);
        kept.append({ row, *print, title });
        triedBy.push_back(-1);
        for (int band = 0; band < bands; ++band) {
            QList<int> &list = byBand[bandKey(*print, band)];
            if (list.size() >= bandDepth)
                list.removeFirst();
            list.append(int(kept.size()) - 1);
        }
    }
    return result;
}

} // namespace RepostFold
