#include "scrape/pagesigns.h"

#include "query/tfhpple.h"

#include <QStringList>

namespace {

// XPath 1.0 has no lower-case(): translate() with the letters these words and marks use.
QString lowered(const QString &expression)
{
    static const QString upper = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZÀÁÂÄĂÇÈÉÊÍÎÓÔÖȘȚÚÜŁŚ");
    static const QString lower = upper.toLower();
    return QStringLiteral("translate(%1,'%2','%3')").arg(expression, upper, lower);
}

QString nextLinkQuery()
{
    // Words that begin a next link's text; marks that are its whole text.
    static const QStringList words{
        QStringLiteral("next"),      QStringLiteral("suivant"),  QStringLiteral("page suivante"),
        QStringLiteral("nächste"),   QStringLiteral("weiter"),   QStringLiteral("următoare"),
        QStringLiteral("próxima"),   QStringLiteral("próximo"),  QStringLiteral("siguiente"),
        QStringLiteral("successiv"), QStringLiteral("avanti"),   QStringLiteral("volgende"),
        QStringLiteral("następn"),   QStringLiteral("nästa"),    QStringLiteral("neste"),
        QStringLiteral("næste"),     QStringLiteral("seuraava"), QStringLiteral("další"),
    };
    static const QStringList marks{ QStringLiteral("›"), QStringLiteral("»"), QStringLiteral("→"),
                                    QStringLiteral(">"), QStringLiteral(">>") };
    const QString text = lowered(QStringLiteral("normalize-space(.)"));
    QStringList byRole{
        QStringLiteral("contains(concat(' ',%1,' '),' next ')")
            .arg(lowered(QStringLiteral("normalize-space(@rel)"))),
        QStringLiteral("contains(%1,'next')").arg(lowered(QStringLiteral("@id"))),
        QStringLiteral("contains(%1,'next')").arg(lowered(QStringLiteral("@class"))),
        QStringLiteral("contains(%1,'next')").arg(lowered(QStringLiteral("@aria-label"))),
    };
    for (const QString &word : words)
        byRole << QStringLiteral("starts-with(%1,'%2')").arg(text, word);
    for (const QString &mark : marks)
        byRole << QStringLiteral("%1='%2'").arg(text, mark);
    const QString classes = QStringLiteral("concat(' ',%1,' ')")
                                .arg(lowered(QStringLiteral("normalize-space(@class)")));
    const QString hidden
        = QStringLiteral("@hidden or @aria-hidden='true' or @aria-disabled='true' or "
                         "contains(%1,' disabled ') or contains(%1,' is-disabled ') or "
                         "contains(%1,' hidden ') or "
                         "contains(translate(@style,' ',''),'display:none')")
              .arg(classes);
    return QStringLiteral("(//a[@href] | //link[@href])[%1][not(ancestor-or-self::*[%2])]"
                          "[not(starts-with(normalize-space(@href),'#'))]"
                          "[not(starts-with(%3,'javascript:'))]")
        .arg(byRole.join(QStringLiteral(" or ")), hidden,
             lowered(QStringLiteral("normalize-space(@href)")));
}

} // namespace

bool PageSigns::hasNextLink(const TFHpple &page)
{
    static const QString query = nextLinkQuery();
    return !page.searchWithXPathQuery(query).isEmpty();
}

bool PageSigns::showsPhotos(const TFHpple &page)
{
    static const QString query
        = QStringLiteral(
              "//meta[@property='og:image' or @name='og:image' or @name='twitter:image']"
              "[normalize-space(@content)] | "
              "//img[contains(%1,'.jpg') or contains(%1,'.jpeg') or contains(%1,'.webp')]")
              .arg(lowered(QStringLiteral("@src")));
    return !page.searchWithXPathQuery(query).isEmpty();
}
