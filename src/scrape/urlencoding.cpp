#include "scrape/urlencoding.h"

#include <QStringEncoder>

QString urlEncodeUsingEncoding(const QString &text, QStringConverter::Encoding encoding)
{
    QStringEncoder encoder(encoding);
    const QByteArray bytes = encoder.encode(text);
    return QString::fromLatin1(bytes.toPercentEncoding());
}
