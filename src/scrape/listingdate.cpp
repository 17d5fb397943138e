#include "scrape/listingdate.h"

#include <QLocale>
#include <QRegularExpression>
#include <QTimeZone>

#include <unicode/locid.h>
#include <unicode/parsepos.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <array>
#include <map>
#include <memory>
#include <string>
#include <utility>

namespace {

enum class Unit { Second, Minute, Hour, Day, Week, Month, Year };

struct UnitWord
{
    const char16_t *stem; // matched at the start of a word
    Unit unit;
};

struct RelativeLanguage
{
    // Captures the count (a number or an article) and the unit word.
    const char16_t *pattern;
    std::array<UnitWord, 7> units;
    std::array<const char16_t *, 2> yesterday;
    std::array<const char16_t *, 3> today;
};

const RelativeLanguage relativeLanguages[] = {
    { u"^(?:about |over |< ?)?(\\d+|an?|one) (\\w+) ago$",
      { { { u"sec", Unit::Second },
          { u"min", Unit::Minute },
          { u"h", Unit::Hour },
          { u"d", Unit::Day },
          { u"w", Unit::Week },
          { u"mo", Unit::Month },
          { u"y", Unit::Year } } },
      { u"yesterday", nullptr },
      { u"today", u"just now", nullptr } },
    { u"^il y a (?:environ |moins d'|moins de )?(\\d+|une?) (\\w+)$",
      { { { u"sec", Unit::Second },
          { u"min", Unit::Minute },
          { u"h", Unit::Hour },
          { u"j", Unit::Day },
          { u"sem", Unit::Week },
          { u"mois", Unit::Month },
          { u"an", Unit::Year } } },
      { u"hier", nullptr },
      { u"aujourd'hui", u"à l'instant", nullptr } },
    { u"^vor (?:etwa |über )?(\\d+|einer?|einem) (\\w+)$",
      { { { u"sek", Unit::Second },
          { u"min", Unit::Minute },
          { u"stu", Unit::Hour },
          { u"jahr", Unit::Year },
          { u"tag", Unit::Day },
          { u"woche", Unit::Week },
          { u"monat", Unit::Month } } },
      { u"gestern", nullptr },
      { u"heute", u"gerade eben", nullptr } },
};

QDateTime subtract(const QDateTime &from, qint64 count, Unit unit)
{
    switch (unit) {
    case Unit::Second:
        return from.addSecs(-count);
    case Unit::Minute:
        return from.addSecs(-count * 60);
    case Unit::Hour:
        return from.addSecs(-count * 3600);
    case Unit::Day:
        return from.addDays(-count);
    case Unit::Week:
        return from.addDays(-count * 7);
    case Unit::Month:
        return from.addMonths(-int(count));
    case Unit::Year:
        return from.addYears(-int(count));
    }
    return {};
}

// The languages' patterns, compiled once per thread: compiling them for every date cost more
// than the rest of a results page's scrape.
const QList<QRegularExpression> &relativePatterns()
{
    thread_local const QList<QRegularExpression> patterns = [] {
        QList<QRegularExpression> compiled;
        for (const RelativeLanguage &language : relativeLanguages)
            compiled.append(QRegularExpression(QString::fromUtf16(language.pattern),
                                               QRegularExpression::UseUnicodePropertiesOption));
        return compiled;
    }();
    return patterns;
}

QDateTime relative(const QString &text, const QDateTime &fetchedAt)
{
    const QString lower = text.toLower();
    const QList<QRegularExpression> &patterns = relativePatterns();
    for (qsizetype i = 0; i < patterns.size(); ++i) {
        const RelativeLanguage &language = relativeLanguages[i];
        for (const char16_t *word : language.yesterday) {
            if (word && lower == QStringView(word))
                return fetchedAt.addDays(-1);
        }
        for (const char16_t *word : language.today) {
            if (word && lower == QStringView(word))
                return fetchedAt;
        }
        const QRegularExpressionMatch match = patterns.at(i).match(lower);
        if (!match.hasMatch())
            continue;
        bool isNumber = false;
        qint64 count = match.captured(1).toLongLong(&isNumber);
        if (!isNumber)
            count = 1;
        // Far beyond any listing's life: no date rather than an overflowing one.
        if (count > 100000)
            return {};
        const QString unitWord = match.captured(2);
        // German "Minute"/"Monat" and English "min"/"mo": the longer stems are tried first.
        const UnitWord *best = nullptr;
        for (const UnitWord &unit : language.units) {
            const QStringView stem(unit.stem);
            if (unitWord.startsWith(stem)
                && (!best || stem.size() > QStringView(best->stem).size()))
                best = &unit;
        }
        if (!best)
            return {};
        return subtract(fetchedAt, count, best->unit);
    }
    return {};
}

QDateTime iso(const QString &text)
{
    QDateTime stamp = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!stamp.isValid()) {
        // Qt reads a date from the start of a longer text: only a bare day is one here.
        const QDate day = text.size() == 10 ? QDate::fromString(text, Qt::ISODate) : QDate();
        if (!day.isValid())
            return {};
        stamp = QDateTime(day, QTime(0, 0), QTimeZone::utc());
    }
    if (stamp.timeSpec() == Qt::LocalTime)
        stamp = QDateTime(stamp.date(), stamp.time(), QTimeZone::utc());
    return stamp.toUTC();
}

struct AbsoluteFormat
{
    const char *pattern;
    bool hasYear;
};

const AbsoluteFormat absoluteFormats[] = {
    { "yyyy-MM-dd h:mma", true },
    { "yyyy-MM-dd, h:mma z", true },
    { "yyyy-MM-dd, h:mma", true },
    { "yyyy-MM-dd HH:mm", true },
    { "dd-MMM-yy", true },
    { "dd/MM/yyyy", true },
    { "MMM d, yyyy", true },
    { "MMMM d, yyyy", true },
    { "d MMMM yyyy", true },
    { "d MMM yyyy", true },
    { "d. MMMM yyyy", true },
    { "d. MMM yyyy", true },
    { "dd.MM.yyyy", true },
    { "EEE MMM d", false },
    { "MMM d", false },
    { "d MMM", false },
    { "d MMMM", false },
    { "d. MMMM", false },
};

// English, French and German month names; the page's own language first when it is one.
QList<icu::Locale> localesFor(const QString &locale)
{
    QList<icu::Locale> locales{ icu::Locale::getEnglish(), icu::Locale::getFrench(),
                                icu::Locale::getGerman() };
    const QString language = locale.section(u'_', 0, 0).section(u'-', 0, 0).toLower();
    for (qsizetype i = 1; i < locales.size(); ++i) {
        if (language == QLatin1StringView(locales.at(i).getLanguage()))
            locales.move(i, 0);
    }
    return locales;
}

// The parser of one format in one language, made once for each thread: making one costs far
// more than a page's every other step, and a results page asks for one per row.
icu::SimpleDateFormat *parserFor(const icu::Locale &language, std::size_t format)
{
    thread_local std::map<std::pair<std::string, std::size_t>,
                          std::unique_ptr<icu::SimpleDateFormat>>
        parsers;
    std::unique_ptr<icu::SimpleDateFormat> &parser = parsers[{ language.getName(), format }];
    if (!parser) {
        UErrorCode status = U_ZERO_ERROR;
        auto made = std::make_unique<icu::SimpleDateFormat>(
            icu::UnicodeString(absoluteFormats[format].pattern, -1, US_INV), language, status);
        if (U_FAILURE(status))
            return nullptr;
        made->setLenient(false);
        made->adoptTimeZone(icu::TimeZone::createTimeZone("UTC"));
        parser = std::move(made);
    }
    return parser.get();
}

QDateTime absolute(const QString &text, const QDateTime &fetchedAt, const QString &locale)
{
    const icu::UnicodeString input(reinterpret_cast<const UChar *>(text.utf16()),
                                   int32_t(text.size()));
    for (const icu::Locale &language : localesFor(locale)) {
        for (std::size_t i = 0; i < std::size(absoluteFormats); ++i) {
            const AbsoluteFormat &format = absoluteFormats[i];
            icu::SimpleDateFormat *parser = parserFor(language, i);
            if (!parser)
                continue;
            icu::ParsePosition position(0);
            const UDate parsed = parser->parse(input, position);
            if (position.getIndex() != input.length() || position.getErrorIndex() >= 0)
                continue;
            QDateTime stamp = QDateTime::fromMSecsSinceEpoch(qint64(parsed), QTimeZone::utc());
            if (format.hasYear)
                return stamp;
            // A day without a year: this year's, or last year's when that is still to come.
            stamp = QDateTime(
                QDate(fetchedAt.date().year(), stamp.date().month(), stamp.date().day()),
                stamp.time(), QTimeZone::utc());
            if (stamp > fetchedAt.addDays(1))
                stamp = stamp.addYears(-1);
            return stamp;
        }
    }
    return {};
}

} // namespace

namespace ListingDate {

QDateTime parse(const QString &text, const QDateTime &fetchedAt, const QString &locale)
{
    static const QRegularExpression label(
        QStringLiteral("^(?:posted(?: on)?|date(?: listed| posted)?|publiée? le|publiée?|le|"
                       "eingestellt am|am)\\s*:?\\s*"),
        QRegularExpression::CaseInsensitiveOption);
    QString simplified = text.simplified();
    // Bounded work on untrusted text: no date is this long.
    if (simplified.isEmpty() || simplified.size() > 200)
        return {};
    simplified.remove(label);
    const QDateTime fetched
        = fetchedAt.isValid() ? fetchedAt.toUTC() : QDateTime::currentDateTimeUtc();
    for (const QDateTime &candidate : { iso(simplified), relative(simplified, fetched),
                                        absolute(simplified, fetched, locale) }) {
        if (candidate.isValid())
            return candidate.toUTC();
    }
    return {};
}

QString age(const QDateTime &posted, const QDateTime &now)
{
    if (!posted.isValid())
        return {};
    const qint64 seconds = std::max<qint64>(0, posted.secsTo(now));
    if (seconds < 3600)
        return QStringLiteral("%1 min").arg(std::max<qint64>(1, seconds / 60));
    if (seconds < 86400)
        return QStringLiteral("%1 h").arg(seconds / 3600);
    if (seconds < 7 * 86400)
        return QStringLiteral("%1 d").arg(seconds / 86400);
    const QLocale english(QLocale::English);
    const QDate day = posted.toUTC().date();
    return day.year() == now.toUTC().date().year()
        ? english.toString(day, QStringLiteral("MMM d"))
        : english.toString(day, QStringLiteral("MMM d, yyyy"));
}

} // namespace ListingDate
