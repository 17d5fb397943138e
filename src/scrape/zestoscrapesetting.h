#pragma once

#include <QCborMap>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// One scrape rule set: a name, a pattern recognising a site's page URLs and seven rules, each an
// XPath query ("select") and an extraction directive ("extract": "@content" or an attribute
// name).
// Every property is a null QString unless the settings document supplied it.
//
// The class operations are the store of rule sets: the adopted document's rule sets and version
// live in the user-defaults store under "scrape_settings" and "scrape_version"; their patterns
// are compiled once for each set of rule sets stored.
class ZestoScrapeSetting
{
public:
    // The document text's rule sets, in document order; empty when it has none or is not JSON.
    static QList<ZestoScrapeSetting> readSettings(const QString &document);
    // A settings document of the rule sets (the shipped document's format, with their names).
    static QString writeSettings(const QList<ZestoScrapeSetting> &list, double version);
    // The document's "version" (a number, or a string by its leading decimal number); 0 when
    // absent or unreadable.
    static double getVersion(const QString &document);
    // As getVersion(), but nothing when the document has a version that is no number; 0 when
    // it has none.
    static std::optional<double> readVersion(const QString &document);
    // The stored version; 0 when nothing is stored, or what is stored is no finite number.
    static double currentVersion();
    // Replaces the stored rule sets and version with the document's, whatever its version.
    // False when the store could not be written (it then holds them for this run only).
    static bool updateSettings(const QString &document);
    // The stored rule sets in stored order; nothing when none are stored or they cannot be read.
    static std::optional<QList<ZestoScrapeSetting>> allSettings();
    // The stored rule sets as the store keeps them (readable or not).
    static std::optional<QList<ZestoScrapeSetting>> decodeStored(const QByteArray &stored);
    // The names of the stored rule sets that are never chosen because their pattern does not
    // compile.
    static QStringList unusableRuleSets();
    // The first of the user's own rule sets (UserRuleSets), then of the stored ones, whose
    // pattern matches anywhere in url, case-insensitively.
    static std::optional<ZestoScrapeSetting> settingsForUrl(const QString &url);
    // As settingsForUrl(), over the given rule sets instead of the stored ones.
    static std::optional<ZestoScrapeSetting> settingsForUrl(const QString &url,
                                                            const QList<ZestoScrapeSetting> &list);
    bool matchesUrl(const QString &url) const;

    // One rule of the set by its document key ("link", "next", "title", "innerImgsWithHref",
    // "innerImgsWithSrc", "date", "price"); select is null when the set lacks the rule.
    struct Rule
    {
        QLatin1StringView key;
        QString select;
        QString extract;
    };
    // The seven rules in that order, present or not.
    QList<Rule> rules() const;
    // The name the document gives the set, else its pattern: what messages call it.
    QString displayName() const { return m_name.isEmpty() ? m_regex : m_name; }

    // Keyed archive: each property under its own name; absent properties are left out.
    QCborMap encode() const;
    static ZestoScrapeSetting decode(const QCborMap &archive);

    QString name() const { return m_name; }
    void setName(const QString &v) { m_name = v; }
    QString regex() const { return m_regex; }
    void setRegex(const QString &v) { m_regex = v; }
    QString link() const { return m_link; }
    void setLink(const QString &v) { m_link = v; }
    QString next() const { return m_next; }
    void setNext(const QString &v) { m_next = v; }
    QString title() const { return m_title; }
    void setTitle(const QString &v) { m_title = v; }
    QString innerImgsWithHref() const { return m_innerImgsWithHref; }
    void setInnerImgsWithHref(const QString &v) { m_innerImgsWithHref = v; }
    QString innerImgsWithSrc() const { return m_innerImgsWithSrc; }
    void setInnerImgsWithSrc(const QString &v) { m_innerImgsWithSrc = v; }
    QString date() const { return m_date; }
    void setDate(const QString &v) { m_date = v; }
    QString price() const { return m_price; }
    void setPrice(const QString &v) { m_price = v; }
    QString link_extract() const { return m_link_extract; }
    void setLink_extract(const QString &v) { m_link_extract = v; }
    QString next_extract() const { return m_next_extract; }
    void setNext_extract(const QString &v) { m_next_extract = v; }
    QString title_extract() const { return m_title_extract; }
    void setTitle_extract(const QString &v) { m_title_extract = v; }
    QString innerImgsWithHref_extract() const { return m_innerImgsWithHref_extract; }
    void setInnerImgsWithHref_extract(const QString &v) { m_innerImgsWithHref_extract = v; }
    QString innerImgsWithSrc_extract() const { return m_innerImgsWithSrc_extract; }
    void setInnerImgsWithSrc_extract(const QString &v) { m_innerImgsWithSrc_extract = v; }
    QString date_extract() const { return m_date_extract; }
    void setDate_extract(const QString &v) { m_date_extract = v; }
    QString price_extract() const { return m_price_extract; }
    void setPrice_extract(const QString &v) { m_price_extract = v; }

    friend bool operator==(const ZestoScrapeSetting &, const ZestoScrapeSetting &) = default;

private:
    QString m_name;
    QString m_regex;
    QString m_link;
    QString m_next;
    QString m_title;
    QString m_innerImgsWithHref;
    QString m_innerImgsWithSrc;
    QString m_date;
    QString m_price;
    QString m_link_extract;
    QString m_next_extract;
    QString m_title_extract;
    QString m_innerImgsWithHref_extract;
    QString m_innerImgsWithSrc_extract;
    QString m_date_extract;
    QString m_price_extract;
};
