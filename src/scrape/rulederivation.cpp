#include "scrape/rulederivation.h"

#include "platform/regularexpression.h"

#include <QRegularExpression>
#include <QUrl>

#include <atomic>

namespace {

// The part of a pattern that follows the host: the path of url's section, regex-escaped.
QString sectionPattern(const QUrl &address, RuleDerivation::PageKind kind)
{
    const QString fullPath = address.path(QUrl::FullyEncoded);
    const QStringList segments = fullPath.split(u'/', Qt::SkipEmptyParts);
    // The first segment that names one page rather than a section: a number, an id, a file.
    static const QRegularExpression particular(QStringLiteral("\\d|\\.html?$"));
    qsizetype first = 0;
    while (first < segments.size() && !particular.match(segments.at(first)).hasMatch())
        ++first;
    const auto escaped = [](const QString &path) {
        return QRegularExpression::escape(path);
    };
    if (kind == RuleDerivation::PageKind::Results) {
        // A path of section names only is the search itself: its later pages differ in the
        // query, and the listings below it (/section/item-123) do not match. Otherwise the
        // section above the first particular segment (later pages go to .../page-2/...), or a
        // path particular from its start as a prefix (later pages extend it).
        if (first == segments.size())
            return escaped(fullPath.isEmpty() ? QStringLiteral("/") : fullPath)
                + QStringLiteral("(?:[?#]|$)");
        return escaped(first > 0 ? u'/' + segments.mid(0, first).join(u'/') + u'/' : fullPath);
    }
    // A listing's own name (a slug beside its number) is left out too, so that every listing of
    // the section matches; a path particular from its start keeps the short prefix that marks
    // listing pages (c-, v-).
    qsizetype kept = first;
    if (kept > 1 && segments.at(kept - 1).contains(u'-'))
        --kept;
    if (kept > 0)
        return escaped(u'/' + segments.mid(0, kept).join(u'/') + u'/');
    const qsizetype dash = segments.isEmpty() ? -1 : segments.first().indexOf(u'-');
    return escaped(u'/' + (dash > 0 && dash <= 2 ? segments.first().left(dash + 1) : QString()));
}

} // namespace

namespace {
std::atomic<std::chrono::milliseconds::rep> budgetMs{ 4000 };
} // namespace

std::chrono::milliseconds RuleDerivation::timeBudget()
{
    return std::chrono::milliseconds(budgetMs.load());
}

void RuleDerivation::setTimeBudget(std::chrono::milliseconds budget)
{
    budgetMs.store(budget.count());
}

QString RuleDerivation::addressPattern(const QString &url, PageKind kind, const QString &alsoUrl)
{
    const QUrl address(url);
    QString host = QRegularExpression::escape(address.host());
    if (address.port() > 0)
        host += u':' + QString::number(address.port());
    const QString own = sectionPattern(address, kind);
    QString pattern = QStringLiteral("^https?://%1%2").arg(host, own);
    // A later page elsewhere on the same host (/bik/ then /search/bik?s=100) joins the pattern.
    const QUrl also(alsoUrl);
    if (alsoUrl.isEmpty() || also.host() != address.host() || also.port() != address.port()
        || RegularExpression(pattern).hasMatch(alsoUrl))
        return pattern;
    return QStringLiteral("^https?://%1(?:%2|%3)").arg(host, own, sectionPattern(also, kind));
}
