#include "scrape/zestoscrapesetting.h"

#include "platform/defaultskeys.h"
#include "platform/regularexpression.h"
#include "platform/userdefaults.h"
#include "scrape/compiledrulesets.h"
#include "scrape/userrulesets.h"

#include <QCborArray>
#include <QCborValue>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QRegularExpression>

#include <cmath>

namespace {

struct RuleKey
{
    QLatin1StringView key;
    void (ZestoScrapeSetting::*setSelect)(const QString &);
    void (ZestoScrapeSetting::*setExtract)(const QString &);
};

const RuleKey ruleKeys[] = {
    { QLatin1StringView("link"), &ZestoScrapeSetting::setLink,
      &ZestoScrapeSetting::setLink_extract },
    { QLatin1StringView("next"), &ZestoScrapeSetting::setNext,
      &ZestoScrapeSetting::setNext_extract },
    { QLatin1StringView("title"), &ZestoScrapeSetting::setTitle,
      &ZestoScrapeSetting::setTitle_extract },
    { QLatin1StringView("innerImgsWithHref"), &ZestoScrapeSetting::setInnerImgsWithHref,
      &ZestoScrapeSetting::setInnerImgsWithHref_extract },
    { QLatin1StringView("innerImgsWithSrc"), &ZestoScrapeSetting::setInnerImgsWithSrc,
      &ZestoScrapeSetting::setInnerImgsWithSrc_extract },
    { QLatin1StringView("date"), &ZestoScrapeSetting::setDate,
      &ZestoScrapeSetting::setDate_extract },
    { QLatin1StringView("price"), &ZestoScrapeSetting::setPrice,
      &ZestoScrapeSetting::setPrice_extract },
};

struct Property
{
    QLatin1StringView key;
    QString (ZestoScrapeSetting::*get)() const;
    void (ZestoScrapeSetting::*set)(const QString &);
};

const Property properties[] = {
    { QLatin1StringView("name"), &ZestoScrapeSetting::name, &ZestoScrapeSetting::setName },
    { QLatin1StringView("regex"), &ZestoScrapeSetting::regex, &ZestoScrapeSetting::setRegex },
    { QLatin1StringView("link"), &ZestoScrapeSetting::link, &ZestoScrapeSetting::setLink },
    { QLatin1StringView("next"), &ZestoScrapeSetting::next, &ZestoScrapeSetting::setNext },
    { QLatin1StringView("title"), &ZestoScrapeSetting::title, &ZestoScrapeSetting::setTitle },
    { QLatin1StringView("innerImgsWithHref"), &ZestoScrapeSetting::innerImgsWithHref,
      &ZestoScrapeSetting::setInnerImgsWithHref },
    { QLatin1StringView("innerImgsWithSrc"), &ZestoScrapeSetting::innerImgsWithSrc,
      &ZestoScrapeSetting::setInnerImgsWithSrc },
    { QLatin1StringView("date"), &ZestoScrapeSetting::date, &ZestoScrapeSetting::setDate },
    { QLatin1StringView("price"), &ZestoScrapeSetting::price, &ZestoScrapeSetting::setPrice },
    { QLatin1StringView("link_extract"), &ZestoScrapeSetting::link_extract,
      &ZestoScrapeSetting::setLink_extract },
    { QLatin1StringView("next_extract"), &ZestoScrapeSetting::next_extract,
      &ZestoScrapeSetting::setNext_extract },
    { QLatin1StringView("title_extract"), &ZestoScrapeSetting::title_extract,
      &ZestoScrapeSetting::setTitle_extract },
    { QLatin1StringView("innerImgsWithHref_extract"),
      &ZestoScrapeSetting::innerImgsWithHref_extract,
      &ZestoScrapeSetting::setInnerImgsWithHref_extract },
    { QLatin1StringView("innerImgsWithSrc_extract"), &ZestoScrapeSetting::innerImgsWithSrc_extract,
      &ZestoScrapeSetting::setInnerImgsWithSrc_extract },
    { QLatin1StringView("date_extract"), &ZestoScrapeSetting::date_extract,
      &ZestoScrapeSetting::setDate_extract },
    { QLatin1StringView("price_extract"), &ZestoScrapeSetting::price_extract,
      &ZestoScrapeSetting::setPrice_extract },
};

QJsonObject parseRoot(const QString &document)
{
    const QJsonDocument json = QJsonDocument::fromJson(document.toUtf8());
    return json.isObject() ? json.object() : QJsonObject();
}

// A string value, or null for anything else: other JSON types count as absent.
QString stringValue(const QJsonValue &value)
{
    if (!value.isString())
        return {};
    const QString text = value.toString();
    return text.isNull() ? QStringLiteral("") : text;
}

std::optional<double> leadingNumber(const QString &text)
{
    static const QRegularExpression number(
        QStringLiteral("^\\s*([+-]?(?:\\d+\\.?\\d*|\\.\\d+)(?:[eE][+-]?\\d+)?)"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    // A number out of a double's range is no readable number.
    bool ok = false;
    const double value = match.captured(1).toDouble(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

} // namespace

QList<ZestoScrapeSetting> ZestoScrapeSetting::readSettings(const QString &document)
{
    QList<ZestoScrapeSetting> list;
    const QJsonArray entries = parseRoot(document).value(QLatin1StringView("settings")).toArray();
    for (const auto &entryValue : entries) {
        ZestoScrapeSetting setting;
        const QJsonObject entry = entryValue.toObject();
        const QString regex = stringValue(entry.value(QLatin1StringView("regex")));
        if (!regex.isNull()) {
            setting.setRegex(regex);
            setting.setName(stringValue(entry.value(QLatin1StringView("name"))));
            const QJsonObject ruleObjects = entry.value(QLatin1StringView("settings")).toObject();
            for (const RuleKey &rule : ruleKeys) {
                const QJsonValue ruleValue = ruleObjects.value(rule.key);
                if (!ruleValue.isObject())
                    continue;
                const QJsonObject ruleObject = ruleValue.toObject();
                (setting
                 .*rule.setSelect)(stringValue(ruleObject.value(QLatin1StringView("select"))));
                (setting
                 .*rule.setExtract)(stringValue(ruleObject.value(QLatin1StringView("extract"))));
            }
        }
        list.append(setting);
    }
    return list;
}

QString ZestoScrapeSetting::writeSettings(const QList<ZestoScrapeSetting> &list, double version)
{
    QJsonArray entries;
    for (const ZestoScrapeSetting &setting : list) {
        QJsonObject rules;
        for (const Rule &rule : setting.rules()) {
            if (rule.select.isNull())
                continue;
            QJsonObject object{ { QStringLiteral("select"), rule.select } };
            if (!rule.extract.isNull())
                object.insert(QStringLiteral("extract"), rule.extract);
            rules.insert(QString(rule.key), object);
        }
        QJsonObject entry{ { QStringLiteral("regex"), setting.regex() },
                           { QStringLiteral("settings"), rules } };
        if (!setting.name().isNull())
            entry.insert(QStringLiteral("name"), setting.name());
        entries.append(entry);
    }
    const QJsonObject root{ { QStringLiteral("version"), version },
                            { QStringLiteral("settings"), entries } };
    return QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Indented));
}

double ZestoScrapeSetting::getVersion(const QString &document)
{
    return readVersion(document).value_or(0.0);
}

std::optional<double> ZestoScrapeSetting::readVersion(const QString &document)
{
    const QJsonValue version = parseRoot(document).value(QLatin1StringView("version"));
    if (version.isUndefined() || version.isNull())
        return 0.0;
    if (version.isDouble())
        return version.toDouble();
    if (version.isString())
        return leadingNumber(version.toString());
    return std::nullopt;
}

double ZestoScrapeSetting::currentVersion()
{
    // A version stored before versions were checked may be infinite, which no later document
    // would ever exceed.
    const double version = UserDefaults::standard().doubleForKey(DefaultsKeys::scrapeVersion);
    return std::isfinite(version) ? version : 0.0;
}

bool ZestoScrapeSetting::updateSettings(const QString &document)
{
    const QList<ZestoScrapeSetting> list = readSettings(document);
    const double version = getVersion(document);
    QCborArray archive;
    for (const ZestoScrapeSetting &setting : list)
        archive.append(setting.encode());
    UserDefaults &defaults = UserDefaults::standard();
    bool written = defaults.setObject(QCborValue(archive).toCbor(), DefaultsKeys::scrapeSettings);
    written = defaults.setDouble(version, DefaultsKeys::scrapeVersion) && written;
    return defaults.synchronize() && written;
}

namespace {

// The adopted document's rule sets with their patterns compiled, made again only when the
// stored rule sets change: a large document holds many thousands of them. Null when none are
// stored or they cannot be read.
std::shared_ptr<const CompiledRuleSets> compiledStoredRuleSets()
{
    static QMutex mutex;
    static QByteArray compiledFrom;
    static std::shared_ptr<const CompiledRuleSets> compiled;
    const QByteArray stored = UserDefaults::standard().dataForKey(DefaultsKeys::scrapeSettings);
    QMutexLocker locker(&mutex);
    const bool same = stored.isNull() == compiledFrom.isNull()
        && (stored.constData() == compiledFrom.constData() || stored == compiledFrom);
    if (!same) {
        const auto list = ZestoScrapeSetting::decodeStored(stored);
        compiled = list ? std::make_shared<const CompiledRuleSets>(*list) : nullptr;
        compiledFrom = stored;
    }
    return compiled;
}

} // namespace

std::optional<QList<ZestoScrapeSetting>> ZestoScrapeSetting::allSettings()
{
    return decodeStored(UserDefaults::standard().dataForKey(DefaultsKeys::scrapeSettings));
}

QStringList ZestoScrapeSetting::unusableRuleSets()
{
    const auto compiled = compiledStoredRuleSets();
    return compiled ? compiled->unusable() : QStringList();
}

std::optional<QList<ZestoScrapeSetting>> ZestoScrapeSetting::decodeStored(const QByteArray &stored)
{
    if (stored.isNull())
        return std::nullopt;
    QCborParserError error;
    const QCborValue archive = QCborValue::fromCbor(stored, &error);
    if (error.error != QCborError::NoError || !archive.isArray())
        return std::nullopt;
    QList<ZestoScrapeSetting> list;
    for (const auto &element : archive.toArray()) {
        if (element.isMap())
            list.append(decode(element.toMap()));
    }
    return list;
}

bool ZestoScrapeSetting::matchesUrl(const QString &url) const
{
    if (m_regex.isNull())
        return false;
    return RegularExpression(m_regex).hasMatch(url);
}

QList<ZestoScrapeSetting::Rule> ZestoScrapeSetting::rules() const
{
    return {
        { QLatin1StringView("link"), m_link, m_link_extract },
        { QLatin1StringView("next"), m_next, m_next_extract },
        { QLatin1StringView("title"), m_title, m_title_extract },
        { QLatin1StringView("innerImgsWithHref"), m_innerImgsWithHref,
          m_innerImgsWithHref_extract },
        { QLatin1StringView("innerImgsWithSrc"), m_innerImgsWithSrc, m_innerImgsWithSrc_extract },
        { QLatin1StringView("date"), m_date, m_date_extract },
        { QLatin1StringView("price"), m_price, m_price_extract },
    };
}

std::optional<ZestoScrapeSetting> ZestoScrapeSetting::settingsForUrl(
    const QString &url, const QList<ZestoScrapeSetting> &list)
{
    for (const ZestoScrapeSetting &setting : list) {
        if (setting.matchesUrl(url))
            return setting;
    }
    return std::nullopt;
}

std::optional<ZestoScrapeSetting> ZestoScrapeSetting::settingsForUrl(const QString &url)
{
    if (auto own = settingsForUrl(url, UserRuleSets::all()))
        return own;
    const auto compiled = compiledStoredRuleSets();
    return compiled ? compiled->first(url) : std::nullopt;
}

QCborMap ZestoScrapeSetting::encode() const
{
    QCborMap archive;
    for (const Property &property : properties) {
        const QString value = (this->*property.get)();
        if (!value.isNull())
            archive.insert(QString(property.key), value);
    }
    return archive;
}

ZestoScrapeSetting ZestoScrapeSetting::decode(const QCborMap &archive)
{
    ZestoScrapeSetting setting;
    for (const Property &property : properties) {
        const QCborValue value = archive.value(QString(property.key));
        if (value.isString()) {
            const QString text = value.toString();
            (setting.*property.set)(text.isNull() ? QStringLiteral("") : text);
        }
    }
    return setting;
}
