#include "scrape/pagelocale.h"

#include <QRegularExpression>
#include <QUrl>

namespace PageLocale {

QString of(const TFHpple &document, const QString &url)
{
    static const QRegularExpression tag(QStringLiteral("^([a-z]{2,3})(?:[-_]([a-z]{2}))?\\b"),
                                        QRegularExpression::CaseInsensitiveOption);
    QString language;
    QString region;
    // The attribute alone: asking for the root element would copy out the whole page.
    if (const TFHppleElement::Ptr lang
        = document.peekAtSearchWithXPathQuery(QStringLiteral("/html/@lang"))) {
        const QRegularExpressionMatch match = tag.match(lang->text());
        if (match.hasMatch()) {
            language = match.captured(1).toLower();
            region = match.captured(2).toUpper();
        }
    }
    if (region.isEmpty()) {
        const QString host = QUrl(url).host();
        const QString top = host.section(u'.', -1);
        // Two letters name a country; "uk" is the one that differs from its ISO code.
        if (top.size() == 2 && top.front().isLetter() && top.back().isLetter())
            region = top == u"uk" ? QStringLiteral("GB") : top.toUpper();
    }
    if (language.isEmpty() && region.isEmpty())
        return {};
    return region.isEmpty() ? language : language + u'_' + region;
}

} // namespace PageLocale
