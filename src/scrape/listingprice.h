#pragma once

#include <QString>

#include <optional>

// A listing's asking price: the text the site shows, and the amount and currency where the text
// states them plainly. "Free" reads as an amount of 0; text that names no single number
// ("Please contact", "$1,200 - $1,500") keeps its text and has no amount. A bare "$" names a
// currency only where the page's region says which dollar it is.
class ListingPrice
{
public:
    ListingPrice() = default;
    // locale: "fr_CA", "en", "_CA" and the like; its region settles a bare "$".
    static ListingPrice parse(const QString &text, const QString &locale = {});

    bool isNull() const { return m_text.isEmpty(); }
    // The site's text, runs of white space made one space.
    QString text() const { return m_text; }
    std::optional<double> amount() const { return m_amount; }
    // ISO 4217 code; null when the text names none that can be told apart.
    QString currency() const { return m_currency; }

    bool operator==(const ListingPrice &) const = default;

private:
    QString m_text;
    std::optional<double> m_amount;
    QString m_currency;
};
