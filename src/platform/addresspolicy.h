#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

// Where the system may fetch listing pages and photos from. A page on the open internet may lead
// to other public sites, never into the user's own machine or network: loopback, private,
// shared (carrier-grade NAT), link-local, unique-local, unspecified, multicast and reserved
// addresses, IPv4 or IPv6 (also IPv4 written as IPv6), literal or behind a name that resolves
// only to such addresses. A page that is itself on such an address (a site on the user's own
// network, the demo site) may lead to them. Either way only http and https are fetched.
class AddressPolicy
{
public:
    enum class Reach {
        Any, // what the user asked for: not checked
        Web, // http and https, any address: found on a page that is itself local
        PublicWeb, // http and https on public addresses only
    };
    enum class Verdict { Allowed, Refused, NeedsLookup };

    // An address the policy refuses, as found on a page, and why.
    struct Refusal
    {
        QString address;
        QString reason;
        bool operator==(const Refusal &) const = default;
    };

    // Whether address lies within this machine or its network, or is no unicast destination.
    static bool isLocal(const QHostAddress &address);
    // Whether a URL's host is local: known for a literal address and for the localhost names;
    // nothing for any other name, which only a lookup can place.
    static std::optional<bool> isLocalHost(const QString &host);
    // At least one address, and every one of them local.
    static bool allLocal(const QList<QHostAddress> &addresses);

    // The reach of the links on the page at pageUrl, as far as its address tells without a
    // lookup: Web for a page on a local literal address or a localhost name, PublicWeb otherwise.
    static Reach reachFrom(const QString &pageUrl);
    static Reach reachFor(bool pageIsLocal) { return pageIsLocal ? Reach::Web : Reach::PublicWeb; }

    // Whether target may be fetched within reach; why not in reason. A name on a public reach
    // needs a lookup.
    static Verdict check(const QUrl &target, Reach reach, QString *reason = nullptr);
    // The reason for refusing host, which resolved to addresses that are all local.
    static QString resolvedRefusal(const QString &host, const QList<QHostAddress> &addresses);

    // Tests serve "public" pages from loopback: a URL host written exactly as host counts as
    // public (its resolved addresses do not). Empty: none.
    static void setPublicStandInForTesting(const QString &host);
};
