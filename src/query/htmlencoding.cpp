#include "query/htmlencoding.h"

#include <QRegularExpression>

namespace {

// Browsers look for the declaration in the first 1024 bytes; pages that put scripts first are
// common enough that a larger window is worth its cost.
constexpr qsizetype prescanBytes = 64 * 1024;

bool isContinuation(uchar byte)
{
    return (byte & 0xC0) == 0x80;
}

} // namespace

int HtmlEncoding::sequenceLength(QByteArrayView bytes, qsizetype at)
{
    const auto byteAt = [&](qsizetype i) {
        return uchar(bytes[i]);
    };
    const uchar lead = byteAt(at);
    if (lead < 0x80)
        return 1;
    int length = 0;
    uchar low = 0x80, high = 0xBF; // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0; // overlong
        else if (lead == 0xED)
            high = 0x9F; // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90; // overlong
        else if (lead == 0xF4)
            high = 0x8F; // above U+10FFFF
    } else {
        return 0;
    }
    if (at + length > bytes.size())
        return 0;
    const uchar second = byteAt(at + 1);
    if (second < low || second > high)
        return 0;
    for (int i = 2; i < length; ++i) {
        if (!isContinuation(byteAt(at + i)))
            return 0;
    }
    return length;
}

HtmlEncoding::Census HtmlEncoding::census(QByteArrayView bytes)
{
    Census counted;
    for (qsizetype at = 0; at < bytes.size();) {
        if (uchar(bytes[at]) < 0x80) {
            ++at;
            continue;
        }
        const int length = sequenceLength(bytes, at);
        if (length == 0) {
            ++counted.invalid;
            ++at;
        } else {
            ++counted.multibyte;
            at += length;
        }
    }
    return counted;
}

QByteArray HtmlEncoding::declaredCharset(QByteArrayView bytes)
{
    static const QRegularExpression meta(
        QStringLiteral(R"(<meta\b[^>]*?\bcharset\s*=\s*["']?\s*([A-Za-z0-9_.:-]+))"),
        QRegularExpression::CaseInsensitiveOption);
    const QString head = QString::fromLatin1(bytes.first(qMin(bytes.size(), prescanBytes)));
    const QRegularExpressionMatch match = meta.match(head);
    return match.hasMatch() ? match.captured(1).toLower().toLatin1() : QByteArray();
}

bool HtmlEncoding::readsAsUtf8(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return true;
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return false; // UTF-16: libxml2 reads it from the mark
    const QByteArray declared = declaredCharset(bytes);
    if (!declared.isEmpty())
        return declared == "utf-8" || declared == "utf8";
    const Census counted = census(bytes);
    return counted.multibyte >= counted.invalid;
}

QByteArray HtmlEncoding::repairedUtf8(const QByteArray &bytes, qsizetype *invalid)
{
    static const QByteArray replacement = QByteArrayLiteral("\xEF\xBF\xBD");
    QByteArray repaired;
    qsizetype replaced = 0;
    qsizetype copiedUpTo = 0; // bytes before this are in repaired already
    for (qsizetype at = 0; at < bytes.size();) {
        if (uchar(bytes[at]) < 0x80) {
            ++at;
            continue;
        }
        const int length = sequenceLength(bytes, at);
        if (length > 0) {
            at += length;
            continue;
        }
        if (replaced == 0)
            repaired.reserve(bytes.size() + 64);
        repaired.append(bytes.constData() + copiedUpTo, at - copiedUpTo);
        repaired.append(replacement);
        ++replaced;
        copiedUpTo = ++at;
    }
    if (invalid)
        *invalid = replaced;
    if (replaced == 0)
        return bytes;
    repaired.append(bytes.constData() + copiedUpTo, bytes.size() - copiedUpTo);
    return repaired;
}
