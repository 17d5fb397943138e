#pragma once

#include <QByteArrayView>
#include <QStringDecoder>

// Whether bytes are valid UTF-8 text.
inline bool isValidUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString decoded = decoder(bytes);
    return !decoder.hasError();
}
