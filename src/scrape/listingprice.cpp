#include "scrape/listingprice.h"

#include <QRegularExpression>
#include <QStringList>

#include <unicode/decimfmt.h>
#include <unicode/fmtable.h>
#include <unicode/locid.h>
#include <unicode/numfmt.h>
#include <unicode/parsepos.h>
#include <unicode/unistr.h>

#include <memory>

namespace {

struct CurrencySign
{
    const char16_t *sign;
    const char *code;
};

// Longest first, so that "CA$" is not read as "$".
const CurrencySign currencySigns[] = {
    { u"CA$", "CAD" }, { u"C$", "CAD" },  { u"CAD", "CAD" }, { u"US$", "USD" }, { u"USD", "USD" },
    { u"AU$", "AUD" }, { u"A$", "AUD" },  { u"AUD", "AUD" }, { u"NZ$", "NZD" }, { u"EUR", "EUR" },
    { u"€", "EUR" },   { u"GBP", "GBP" }, { u"£", "GBP" },   { u"CHF", "CHF" }, { u"Fr.", "CHF" },
    { u"JPY", "JPY" }, { u"¥", "JPY" },   { u"INR", "INR" }, { u"₹", "INR" },
};

struct RegionDollar
{
    const char *region;
    const char *code;
};

const RegionDollar regionDollars[] = {
    { "CA", "CAD" }, { "US", "USD" }, { "AU", "AUD" }, { "NZ", "NZD" }, { "MX", "MXN" },
};

const QStringList freeWords = {
    QStringLiteral("free"),     QStringLiteral("gratuit"),   QStringLiteral("gratuite"),
    QStringLiteral("gratis"),   QStringLiteral("kostenlos"), QStringLiteral("zu verschenken"),
    QStringLiteral("à donner"), QStringLiteral("umsonst"),
};

QString currencyOf(const QString &text, const QString &locale)
{
    for (const CurrencySign &sign : currencySigns) {
        const QString s = QString::fromUtf16(sign.sign);
        const qsizetype at = text.indexOf(s, 0, Qt::CaseInsensitive);
        if (at < 0)
            continue;
        // A letter code counts only as a word of its own ("CAD", not "CADEAU").
        const bool letters = s.front().isLetter();
        const qsizetype end = at + s.size();
        if (letters
            && ((at > 0 && text.at(at - 1).isLetter())
                || (end < text.size() && text.at(end).isLetter())))
            continue;
        return QString::fromLatin1(sign.code);
    }
    if (!text.contains(u'$'))
        return {};
    const QString region = locale.section(u'_', 1, 1).toUpper();
    for (const RegionDollar &dollar : regionDollars) {
        if (region == QLatin1StringView(dollar.region))
            return QString::fromLatin1(dollar.code);
    }
    return {};
}

// Separators are told apart by shape, not by the page's language: a site in French may still
// write "$2,010". Two kinds: the last is the decimal mark. One kind: repeated, or followed by
// exactly three digits, it groups thousands (no price has thousandths); otherwise it is the
// decimal mark.
std::optional<double> amountOf(QString digits)
{
    static const QRegularExpression grouping(QStringLiteral("[\\s\\x{00a0}\\x{202f}']"));
    digits.remove(grouping);
    const qsizetype lastDot = digits.lastIndexOf(u'.');
    const qsizetype lastComma = digits.lastIndexOf(u',');
    QChar decimal = u'.';
    if (lastDot >= 0 && lastComma >= 0) {
        decimal = lastDot > lastComma ? u'.' : u',';
    } else if (lastDot >= 0 || lastComma >= 0) {
        const QChar mark = lastDot >= 0 ? u'.' : u',';
        const qsizetype at = std::max(lastDot, lastComma);
        const bool groups = digits.count(mark) > 1 || digits.size() - at - 1 == 3;
        decimal = groups ? (mark == u'.' ? u',' : u'.') : mark;
    }
    // ICU reads the number in a locale whose marks are these: English for a decimal point,
    // German for a decimal comma.
    const icu::Locale locale = decimal == u'.' ? icu::Locale::getUS() : icu::Locale::getGermany();
    // Made once for each thread: making one costs more than reading a whole row.
    thread_local std::unique_ptr<icu::NumberFormat> point, comma;
    std::unique_ptr<icu::NumberFormat> &format = decimal == u'.' ? point : comma;
    UErrorCode status = U_ZERO_ERROR;
    if (!format) {
        format.reset(icu::NumberFormat::createInstance(locale, status));
        if (U_FAILURE(status) || !format) {
            format.reset();
            return std::nullopt;
        }
        format->setLenient(false);
        format->setParseIntegerOnly(false);
    }
    const icu::UnicodeString number(reinterpret_cast<const UChar *>(digits.utf16()),
                                    int32_t(digits.size()));
    icu::Formattable result;
    icu::ParsePosition position(0);
    format->parse(number, result, position);
    if (position.getIndex() != number.length())
        return std::nullopt;
    status = U_ZERO_ERROR;
    const double value = result.getDouble(status);
    if (U_FAILURE(status) || value < 0)
        return std::nullopt;
    return value;
}

} // namespace

ListingPrice ListingPrice::parse(const QString &text, const QString &locale)
{
    ListingPrice price;
    price.m_text = text.simplified();
    if (price.m_text.isEmpty())
        return {};

    static const QRegularExpression numberRun(
        QStringLiteral("\\d(?:[\\d.,'\\x{00a0}\\x{202f}]|\\s(?=\\d{3}(?!\\d)))*"));
    QStringList numbers;
    for (QRegularExpressionMatchIterator it = numberRun.globalMatch(price.m_text); it.hasNext();) {
        QString run = it.next().captured();
        while (!run.isEmpty() && !run.back().isDigit())
            run.chop(1);
        numbers.append(run);
    }
    if (numbers.isEmpty()) {
        const QString lower = price.m_text.toLower();
        for (const QString &word : freeWords) {
            if (lower == word || lower.startsWith(word + u' ') || lower.startsWith(word + u'!'))
                price.m_amount = 0.0;
        }
        return price;
    }
    // A range, or a price beside other figures ("$300 / 4br"), is no single amount.
    if (numbers.size() != 1)
        return price;
    price.m_amount = amountOf(numbers.constFirst());
    if (price.m_amount)
        price.m_currency = currencyOf(price.m_text, locale);
    return price;
}
