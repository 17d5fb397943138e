#include "roadenvironment.h"

#include "platform/cachedirectory.h"
#include "platform/httpclient.h"
#include "platform/userdefaults.h"
#include "scrape/settingsrefresh.h"
#include "scrape/zestoscrapesetting.h"

#include <QTest>

#include <optional>

RoadEnvironment::RoadEnvironment()
{
    if (!dir.isValid())
        return;
    CacheDirectory::setPath(cachePath());
    UserDefaults::setStoreFile(dir.filePath(QStringLiteral("defaults.ini")));
    valid = SettingsRefresh::seedFromShippedDocument();
}

RoadEnvironment::~RoadEnvironment()
{
    CacheDirectory::setPath({});
    UserDefaults::setStoreFile({});
    HttpClient::instance().setInactivityTimeout(60);
}

QString RoadEnvironment::cachePath() const
{
    return dir.filePath(QStringLiteral("cache"));
}

QByteArray RoadEnvironment::fetch(const QUrl &url)
{
    std::optional<HttpResult> result;
    QObject context;
    HttpClient::instance().get(url, &context, [&result](const HttpResult &r) { result = r; });
    if (!QTest::qWaitFor([&result] { return result.has_value(); }, 20000) || !result->ok())
        return {};
    return result->body;
}

QStringList RoadEnvironment::differences(const DemoSite &site, int index, const ParsedLink &record)
{
    QStringList found;
    const DemoListing listing = site.listing(index);
    if (record.title() != listing.title)
        found << QStringLiteral("title %1, not %2").arg(record.title(), listing.title);
    if (record.url() != site.listingUrl(index).toString())
        found << QStringLiteral("url %1").arg(record.url());

    QStringList photos;
    for (int k = 0; k < listing.photoCount; ++k)
        photos << site.photoUrl(index, k).toString();
    const QStringList got = record.imagesUrls().value_or(QStringList());
    if (got != photos)
        found << QStringLiteral("photos %1, not %2").arg(got.join(u' '), photos.join(u' '));

    for (int k = 0; k < got.size() && k < photos.size(); ++k) {
        const FloatSize size = record.getSizeForImageByUrl(got.at(k));
        const QSize expected = site.photoSize(index, k);
        if (size.width != float(expected.width()) || size.height != float(expected.height())) {
            found << QStringLiteral("photo %1 measures %2x%3, not %4x%5")
                         .arg(k)
                         .arg(size.width)
                         .arg(size.height)
                         .arg(expected.width())
                         .arg(expected.height());
        }
    }
    if (!record.done())
        found << QStringLiteral("not done");
    return found;
}
