#include "saved/seenstate.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <algorithm>

namespace {

const QString seenKey = QStringLiteral("seen");

} // namespace

bool SeenState::load(const QString &statePath, QString *error)
{
    path = statePath;
    order.clear();
    keys.clear();
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    const QJsonValue seen = document.object().value(seenKey);
    if (!document.isObject() || !seen.isArray()) {
        *error = QStringLiteral("%1 is not a state file of listoro-scrape "
                                "(a JSON object with a \"seen\" array); it is left as it is")
                     .arg(path);
        return false;
    }
    for (const QJsonValue &address : seen.toArray()) {
        const QString text = address.toString();
        if (!text.isEmpty() && !keys.contains(text)) {
            keys.insert(text);
            order.append(text);
        }
    }
    return true;
}

bool SeenState::save(QString *error)
{
    QStringList added;
    const QSet<QString> before(order.cbegin(), order.cend());
    for (const QString &key : std::as_const(keys)) {
        if (!before.contains(key))
            added.append(key);
    }
    std::sort(added.begin(), added.end());
    order += added;
    if (order.size() > maxAddresses)
        order.remove(0, order.size() - maxAddresses);
    keys = QSet<QString>(order.cbegin(), order.cend());

    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QJsonDocument(QJsonObject{ { seenKey, QJsonArray::fromStringList(order) } })
                       .toJson(QJsonDocument::Indented));
        if (file.commit())
            return true;
    }
    *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
    return false;
}
