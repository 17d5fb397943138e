#pragma once

#include <QHashFunctions>
#include <QMetaType>

#include <compare>
#include <cstddef>
#include <functional>

// The position of an item in a collection view: its section and its number within the section.
struct IndexPath
{
    int section = 0;
    int item = 0;

    int row() const { return item; }

    friend bool operator==(const IndexPath &, const IndexPath &) = default;
    // clang-tidy 14 mistakes the comparison with 0 in the defaulted operator for a null pointer.
    friend auto operator<=>(const IndexPath &, const IndexPath &)
        = default; // NOLINT(modernize-use-nullptr)
};

inline size_t qHash(const IndexPath &path, size_t seed = 0) noexcept
{
    return qHashMulti(seed, path.section, path.item);
}

template<>
struct std::hash<IndexPath>
{
    size_t operator()(const IndexPath &path) const noexcept { return qHash(path); }
};

Q_DECLARE_METATYPE(IndexPath)
