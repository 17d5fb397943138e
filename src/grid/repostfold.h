#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Listings posted again: a listing whose first photo is the same picture as another's and whose
// title is close is the same offer. Of each such group the grid shows one, the first in the
// order shown, and keeps the others' addresses with it.
namespace RepostFold {

struct Listing
{
    std::optional<quint64> fingerprint; // of the first photo
    QString title;
};

struct Result
{
    QList<int> rows; // the rows shown, in the order given
    QHash<int, QList<int>> others; // a row shown -> the rows folded into it, in the order given
};

// The words a title is compared by: case folded, without punctuation.
QStringList words(const QString &title);
// Most of the shorter title's words are in the longer one.
bool closeTitles(const QStringList &a, const QStringList &b);

// rows in the order they are shown; listing gives each row's fingerprint and title words.
// Cost grows with the rows, not their square: a picture shared by very many listings (a site's
// placeholder) is compared against its latest few only.
Result fold(const QList<int> &rows,
            const std::function<std::optional<quint64>(int row)> &fingerprint,
            const std::function<QStringList(int row)> &words);

} // namespace RepostFold
