#include "platform/addresspolicy.h"

#include <array>

namespace {

QString &publicStandIn()
{
    static QString host;
    return host;
}

struct Range
{
    const char *network;
    int prefix;
};

// Every range that is not a public unicast destination.
constexpr std::array localRanges{
    Range{ "0.0.0.0", 8 }, // this network, unspecified
    Range{ "10.0.0.0", 8 },     Range{ "100.64.0.0", 10 }, // carrier-grade NAT
    Range{ "127.0.0.0", 8 },    Range{ "169.254.0.0", 16 }, Range{ "172.16.0.0", 12 },
    Range{ "192.0.0.0", 24 }, // protocol assignments
    Range{ "192.168.0.0", 16 }, Range{ "198.18.0.0", 15 }, // benchmarking
    Range{ "224.0.0.0", 4 }, // multicast
    Range{ "240.0.0.0", 4 }, // reserved, broadcast
    Range{ "::", 128 },         Range{ "::1", 128 },        Range{ "fc00::", 7 }, // unique-local
    Range{ "fe80::", 10 }, // link-local
    Range{ "fec0::", 10 }, // site-local, deprecated but still routed by some networks
    Range{ "ff00::", 8 }, // multicast
};

bool inLocalRange(const QHostAddress &address)
{
    for (const Range &range : localRanges) {
        if (address.isInSubnet(QHostAddress(QString::fromLatin1(range.network)), range.prefix))
            return true;
    }
    return false;
}

bool isLocalhostName(const QString &host)
{
    QString name = host.toLower();
    if (name.endsWith(u'.'))
        name.chop(1);
    return name == u"localhost" || name.endsWith(u".localhost");
}

} // namespace

bool AddressPolicy::isLocal(const QHostAddress &address)
{
    if (address.isNull())
        return true;
    if (address.protocol() == QAbstractSocket::IPv6Protocol) {
        // IPv4-mapped (::ffff:a.b.c.d) and IPv4-compatible (::a.b.c.d) forms reach the IPv4
        // address they carry.
        const Q_IPV6ADDR bytes = address.toIPv6Address();
        const bool zeros = std::all_of(bytes.c, bytes.c + 10, [](quint8 b) { return b == 0; });
        const bool mapped = zeros && bytes.c[10] == 0xff && bytes.c[11] == 0xff;
        const bool compatible = zeros && bytes.c[10] == 0 && bytes.c[11] == 0;
        if (mapped || (compatible && !inLocalRange(address))) {
            const quint32 v4 = (quint32(bytes.c[12]) << 24) | (quint32(bytes.c[13]) << 16)
                | (quint32(bytes.c[14]) << 8) | quint32(bytes.c[15]);
            return inLocalRange(QHostAddress(v4));
        }
    }
    return inLocalRange(address);
}

std::optional<bool> AddressPolicy::isLocalHost(const QString &host)
{
    if (!publicStandIn().isEmpty() && host == publicStandIn())
        return false;
    if (isLocalhostName(host))
        return true;
    QHostAddress address;
    if (!address.setAddress(host))
        return std::nullopt;
    return isLocal(address);
}

bool AddressPolicy::allLocal(const QList<QHostAddress> &addresses)
{
    return !addresses.isEmpty() && std::all_of(addresses.cbegin(), addresses.cend(), isLocal);
}

AddressPolicy::Reach AddressPolicy::reachFrom(const QString &pageUrl)
{
    const QUrl page(pageUrl);
    return reachFor(isLocalHost(page.host()).value_or(false));
}

AddressPolicy::Verdict AddressPolicy::check(const QUrl &target, Reach reach, QString *reason)
{
    const auto refuse = [reason](const QString &why) {
        if (reason)
            *reason = why;
        return Verdict::Refused;
    };
    if (reach == Reach::Any)
        return Verdict::Allowed;
    const QString scheme = target.scheme().toLower();
    if (scheme != u"http" && scheme != u"https")
        return refuse(QStringLiteral("not a web address (%1)")
                          .arg(scheme.isEmpty() ? QStringLiteral("no scheme") : scheme));
    if (target.host().isEmpty())
        return refuse(QStringLiteral("no host"));
    if (reach == Reach::Web)
        return Verdict::Allowed;
    const std::optional<bool> local = isLocalHost(target.host());
    if (!local)
        return Verdict::NeedsLookup;
    if (*local)
        return refuse(
            QStringLiteral("a local address (%1), named by a public page").arg(target.host()));
    return Verdict::Allowed;
}

QString AddressPolicy::resolvedRefusal(const QString &host, const QList<QHostAddress> &addresses)
{
    return QStringLiteral("%1 resolves only to local addresses (%2), named by a public page")
        .arg(host, addresses.isEmpty() ? QString() : addresses.first().toString());
}

void AddressPolicy::setPublicStandInForTesting(const QString &host)
{
    publicStandIn() = host;
}
