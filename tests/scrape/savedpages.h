#pragma once

#include "common/testregistry.h"

#include <QFile>
#include <QHash>
#include <QString>
#include <QStringList>

// Saved pages listed in a SOURCES.tsv: the real sites' (../shared/fixtures) and the hand-written
// ones of tests/data/rules (the demo site's, and small pages of other markup generations).
namespace SavedPages {

struct Page
{
    QString path;
    QString url;
    QString kind;
};

// A SOURCES.tsv: file (relative to the directory), site, kind, page_url, ... with a header line.
inline QHash<QString, Page> readSources(const QString &directory)
{
    QHash<QString, Page> pages;
    QFile file(directory + QStringLiteral("/SOURCES.tsv"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return pages;
    file.readLine();
    while (!file.atEnd()) {
        const QStringList fields = QString::fromUtf8(file.readLine()).trimmed().split(u'\t');
        if (fields.size() >= 4)
            pages.insert(fields[0], { directory + u'/' + fields[0], fields[3], fields[2] });
    }
    return pages;
}

inline QHash<QString, Page> fixturePages()
{
    return readSources(ListoroTest::fixturesDir());
}

inline QHash<QString, Page> handWrittenPages()
{
    return readSources(ListoroTest::dataDir() + QStringLiteral("/rules"));
}

// The page of a file name: a hand-written page, or a saved real one (a null path when unknown).
inline Page pageFor(const QString &file)
{
    const QHash<QString, Page> written = handWrittenPages();
    return written.contains(file) ? written.value(file) : fixturePages().value(file);
}

inline QByteArray readPage(const Page &page)
{
    QFile file(page.path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace SavedPages
