#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Decides how an HTML page's bytes are to be read, as a browser decides it, and prepares them for
// libxml2. A page declared UTF-8 (byte order mark or meta charset), or undeclared and mostly
// valid UTF-8, is read as UTF-8 to its end: each invalid byte becomes one U+FFFD instead of
// libxml2's switch of the rest of the page to Latin-1. Any other declaration is left to libxml2.
class HtmlEncoding
{
public:
    // The charset a meta element names near the top of the page (lowercase), or empty.
    static QByteArray declaredCharset(QByteArrayView bytes);
    // Whether the page is to be read as UTF-8.
    static bool readsAsUtf8(QByteArrayView bytes);
    // bytes with every byte that is no part of a valid UTF-8 sequence replaced by U+FFFD;
    // invalid == nullptr or not, it says how many were replaced.
    static QByteArray repairedUtf8(const QByteArray &bytes, qsizetype *invalid = nullptr);

private:
    struct Census
    {
        qsizetype multibyte = 0; // valid sequences of two bytes or more
        qsizetype invalid = 0; // bytes that belong to no valid sequence
    };
    static Census census(QByteArrayView bytes);
    // The length of the valid UTF-8 sequence at bytes[at], or 0 when none starts there.
    static int sequenceLength(QByteArrayView bytes, qsizetype at);
};
