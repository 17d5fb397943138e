#include "platform/hostvetting.h"

#include <QHash>
#include <QHostInfo>
#include <QPointer>

#include <memory>

namespace HostVetting {

void locate(const QUrl &page, QObject *context, std::function<void(bool)> done)
{
    const QString host = page.host();
    if (const std::optional<bool> local = AddressPolicy::isLocalHost(host);
        local || host.isEmpty()) {
        done(local.value_or(false));
        return;
    }
    QHostInfo::lookupHost(host, context, [done = std::move(done)](const QHostInfo &info) {
        done(AddressPolicy::allLocal(info.addresses()));
    });
}

void vet(const QStringList &urls, AddressPolicy::Reach reach, QObject *context,
         std::function<void(const QList<AddressPolicy::Refusal> &)> done)
{
    // The names to look up, and the urls that wait for them.
    QStringList hosts;
    QStringList waiting;
    for (const QString &text : urls) {
        const QUrl url(text);
        if (AddressPolicy::check(url, reach) != AddressPolicy::Verdict::NeedsLookup)
            continue;
        waiting.append(text);
        if (const QString host = url.host().toLower(); !hosts.contains(host))
            hosts.append(host);
    }
    if (hosts.isEmpty()) {
        done({});
        return;
    }
    struct Pending
    {
        qsizetype left = 0;
        QStringList waiting;
        QHash<QString, QString> refusedHosts; // host to reason
        std::function<void(const QList<AddressPolicy::Refusal> &)> done;
    };
    auto pending = std::make_shared<Pending>();
    pending->left = hosts.size();
    pending->waiting = waiting;
    pending->done = std::move(done);
    for (const QString &host : std::as_const(hosts)) {
        QHostInfo::lookupHost(host, context, [pending, host](const QHostInfo &info) {
            if (AddressPolicy::allLocal(info.addresses()))
                pending->refusedHosts.insert(
                    host, AddressPolicy::resolvedRefusal(host, info.addresses()));
            if (--pending->left > 0)
                return;
            QList<AddressPolicy::Refusal> refused;
            for (const QString &url : std::as_const(pending->waiting)) {
                const QString reason = pending->refusedHosts.value(QUrl(url).host().toLower());
                if (!reason.isNull())
                    refused.append({ url, reason });
            }
            pending->done(refused);
        });
    }
}

} // namespace HostVetting
