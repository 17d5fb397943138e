#pragma once

#include <QString>
#include <QStringConverter>

// Percent-encodes text completely: every character but the ASCII letters, digits and "-._~"
// becomes "%XX" per byte of its encoded form (upper-case hex). The result never holds "/" and
// can serve as a file name.
QString urlEncodeUsingEncoding(const QString &text,
                               QStringConverter::Encoding encoding = QStringConverter::Utf8);
