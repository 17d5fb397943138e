#pragma once

#include <QString>

// The identity of a listing by its address: two links are one listing when their resolved
// addresses agree once the fragment, tracking parameters (utm_*, fbclid, gclid ...), the letter
// case of scheme and host, and a default port are set aside.
class ListingAddress
{
public:
    // The key for url; null for a null url. An address that does not parse is its own key.
    static QString key(const QString &url);
};
