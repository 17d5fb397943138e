#include "scrape/listingaddress.h"

#include <QUrl>
#include <QUrlQuery>

namespace {

// Parameters that say where a visitor came from, not which listing the address names.
bool isTracking(const QString &name)
{
    static const QStringList exact{
        QStringLiteral("fbclid"),  QStringLiteral("gclid"),  QStringLiteral("dclid"),
        QStringLiteral("msclkid"), QStringLiteral("yclid"),  QStringLiteral("igshid"),
        QStringLiteral("mc_cid"),  QStringLiteral("mc_eid"), QStringLiteral("_ga"),
    };
    const QString lower = name.toLower();
    return lower.startsWith(u"utm_") || exact.contains(lower);
}

} // namespace

QString ListingAddress::key(const QString &url)
{
    if (url.isNull())
        return {};
    QUrl address(url, QUrl::StrictMode);
    if (!address.isValid() || address.host().isEmpty())
        return url;
    address.setFragment({});
    address.setScheme(address.scheme().toLower());
    address.setHost(address.host().toLower());
    if ((address.scheme() == u"http" && address.port() == 80)
        || (address.scheme() == u"https" && address.port() == 443))
        address.setPort(-1);
    if (address.hasQuery()) {
        QUrlQuery query(address);
        const auto items = query.queryItems(QUrl::FullyEncoded);
        QUrlQuery kept;
        for (const auto &[name, value] : items) {
            if (!isTracking(name))
                kept.addQueryItem(name, value);
        }
        address.setQuery(kept.isEmpty() ? QString() : kept.query(QUrl::FullyEncoded));
    }
    return address.toString(QUrl::FullyEncoded);
}
