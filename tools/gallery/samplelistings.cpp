#include "samplelistings.h"

#include "platform/cachedirectory.h"
#include "samplephotos.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <functional>
#include <optional>

Q_LOGGING_CATEGORY(lcSampleListings, "listoro.gallery.listings", QtInfoMsg)

namespace {

using Scene = SamplePhotos::Scene;

struct Listing
{
    QStringView title;
    // Pairs of a scene letter and a shape letter, one pair per photo.
    QStringView photos;
    bool loading = false;
};

// Scenes: l landscape, o sofa, t table, d dresser, v vase, m lamp, b bicycle, c car.
// Shapes: L 1200x800, W 1600x900, P 800x1200, T 900x1200, S 1000x1000, s 320x240,
// N 2000x640; x is a file that is not an image.
const Listing galleryListings[] = {
    { u"Mid-century walnut sideboard, excellent condition - $450", u"dLdSdP" },
    { u"2009 Honda Civic LX, 118k miles, new brakes - $6,200", u"cWcLcLcScW" },
    { u"Trek hybrid bike, 56 cm frame, barely ridden - $380", u"bLbP" },
    { u"Lakefront cabin, sleeps 6 - weekend rentals", u"lWlLlSoPtLlW" },
    { u"Hand-thrown stoneware vase", u"vP" },
    { u"Free: moving boxes, must pick up today", u"" },
    { u"Brass floor lamp with linen shade - $85", u"mPmT" },
    { u"Sunny 2-bedroom apartment near the park, available March 1 - $1,450/month",
      u"oLtLdPlSoWtLlTdS" },
    { u"Oak dining table, seats six - $600", u"tLtWtS" },
    { u"Vintage cruiser bicycle, fully restored", u"bLbSbP", true },
    { u"2014 Subaru Outback, AWD, roof rack - $14,900", u"cWcLcWcS" },
    { u"Velvet three-seat sofa, teal - $520", u"oWoS" },
    { u"Looking for a used road bike, 54 cm", u"" },
    { u"Pair of ceramic table lamps - $60", u"mSmS" },
    { u"Panoramic lake lot, 2 acres, utilities at the road", u"lNlL" },
    { u"White six-drawer dresser, solid wood - $240", u"ds" },
    { u"Kids' bike with training wheels - $45", u"bS" },
    { u"Huge garage sale this Saturday and Sunday \u2014 furniture, lamps, bikes, kitchenware, "
      u"tools, books, vinyl records and much more, everything must go, early birds welcome",
      u"oLmPbWvStLdScL" },
    { u"Compact city car, 2011, 62k km, winter tires included - $4,300", u"cLcP" },
    { u"Set of three glass vases - $30", u"vTvTvT" },
    { u"Mountain cabin weekend getaway", u"lLlPlL" },
    { u"Reading lamp", u"ms" },
    { u"Antique pine dresser with mirror - $310", u"dPxxdS" },
    { u"Electric bike, 500 W, two batteries - $1,150", u"bLbLbSbW" },
    { u"Coffee table, reclaimed wood - $140", u"tStL" },
    { u"Loveseat and armchair set - $375", u"oLoL" },
    { u"Studio loft downtown, utilities included", u"oWtLlP" },
    { u"Pickup truck, 2006, runs great - $7,800", u"cWcWcL" },
    { u"Cozy sofa bed - $200", u"oP" },
    { u"Garden view cottage for rent", u"lLlWoSlPtLlS" },
};

std::optional<Scene> sceneFor(QChar letter)
{
    switch (letter.unicode()) {
    case u'l':
        return Scene::Landscape;
    case u'o':
        return Scene::Sofa;
    case u't':
        return Scene::Table;
    case u'd':
        return Scene::Dresser;
    case u'v':
        return Scene::Vase;
    case u'm':
        return Scene::Lamp;
    case u'b':
        return Scene::Bicycle;
    case u'c':
        return Scene::Car;
    default:
        return std::nullopt;
    }
}

QSize shapeFor(QChar letter)
{
    switch (letter.unicode()) {
    case u'L':
        return { 1200, 800 };
    case u'W':
        return { 1600, 900 };
    case u'P':
        return { 800, 1200 };
    case u'T':
        return { 900, 1200 };
    case u'S':
        return { 1000, 1000 };
    case u's':
        return { 320, 240 };
    case u'N':
        return { 2000, 640 };
    default:
        return {};
    }
}

QString listingUrl(int id)
{
    return QStringLiteral("http://classifieds.listoro.example/item/%1.html").arg(1000 + id);
}

QString photoUrl(int id, int index)
{
    return QStringLiteral("http://photos.listoro.example/%1/%2.jpg").arg(1000 + id).arg(index);
}

// Runs the jobs on the thread pool and waits for them.
bool drawAll(const QList<std::function<bool()>> &jobs)
{
    std::atomic<int> failures = 0;
    QThreadPool pool;
    for (const auto &job : jobs) {
        pool.start([&failures, job] {
            if (!job())
                ++failures;
        });
    }
    pool.waitForDone();
    return failures == 0;
}

} // namespace

QList<ParsedLink::Ptr> SampleListings::gallery()
{
    CacheDirectory::ensureExists();
    QList<ParsedLink::Ptr> records;
    QList<std::function<bool()>> jobs;
    int id = 0;
    for (const Listing &listing : galleryListings) {
        auto record = std::make_shared<ParsedLink>();
        record->setTitle(listing.title.toString());
        record->setUrl(listingUrl(id));
        record->setIdInList(id);
        QStringList urls;
        for (qsizetype i = 0; i + 1 < listing.photos.size(); i += 2) {
            const QString url = photoUrl(id, int(urls.size()));
            const QString path = ParsedLink::getImagePathFromStringURL(url);
            urls << url;
            const std::optional<Scene> scene = sceneFor(listing.photos[i]);
            const QSize shape = shapeFor(listing.photos[i + 1]);
            const quint32 seed = quint32(id * 97 + urls.size() * 13 + 5);
            if (listing.loading)
                continue; // no file: nothing could complete it without a network
            if (!scene || shape.isEmpty()) {
                jobs << [path] {
                    QFile junk(path);
                    return junk.open(QIODevice::WriteOnly) && junk.write("<html>gone</html>") > 0;
                };
                continue;
            }
            jobs << [path, scene, shape, seed] {
                return SamplePhotos::saveJpeg(SamplePhotos::paint(*scene, shape, seed), path);
            };
        }
        record->setImagesUrls(urls);
        records << record;
        ++id;
    }
    if (!drawAll(jobs))
        qCWarning(lcSampleListings) << "some photos could not be written";
    for (qsizetype i = 0; i < records.size(); ++i) {
        if (!galleryListings[i].loading)
            records.at(i)->downloadImages();
    }
    qCInfo(lcSampleListings) << records.size() << "listings," << jobs.size() << "photo files in"
                             << CacheDirectory::path();
    return records;
}

QList<ParsedLink::Ptr> SampleListings::benchmark(int count, int photosEach)
{
    const QSize shapes[] = { { 1200, 900 }, { 900, 1200 }, { 1000, 1000 }, { 1600, 900 } };
    const Scene scenes[] = { Scene::Landscape, Scene::Sofa,    Scene::Car,
                             Scene::Table,     Scene::Bicycle, Scene::Dresser };
    constexpr int variants = 3;
    const QString dir = CacheDirectory::ensureExists();
    QList<std::function<bool()>> jobs;
    QStringList sources;
    for (int shape = 0; shape < 4; ++shape) {
        for (int variant = 0; variant < variants; ++variant) {
            const QString path
                = QStringLiteral("%1/drawn-%2-%3.jpg").arg(dir).arg(shape).arg(variant);
            const Scene scene = scenes[(shape * variants + variant) % std::size(scenes)];
            const QSize size = shapes[shape];
            const quint32 seed = quint32(31 * shape + variant + 1);
            jobs << [path, scene, size, seed] {
                return SamplePhotos::saveJpeg(SamplePhotos::paint(scene, size, seed), path);
            };
            sources << path;
        }
    }
    if (!drawAll(jobs))
        qCWarning(lcSampleListings) << "some pictures could not be written";

    QList<ParsedLink::Ptr> records;
    int photo = 0;
    for (int id = 0; id < count; ++id) {
        auto record = std::make_shared<ParsedLink>();
        record->setTitle(QStringLiteral("Listing %1: %2")
                             .arg(id)
                             .arg(galleryListings[id % std::size(galleryListings)].title));
        record->setUrl(listingUrl(id));
        record->setIdInList(id);
        QStringList urls;
        for (int i = 0; i < photosEach; ++i, ++photo) {
            const QString url = photoUrl(id, i);
            const QString &source = sources.at((i % 4) * variants + (photo / 4) % variants);
            if (!QFile::copy(source, ParsedLink::getImagePathFromStringURL(url)))
                qCWarning(lcSampleListings) << "cannot copy" << source;
            urls << url;
        }
        record->setImagesUrls(urls);
        records << record;
    }
    for (const QString &source : std::as_const(sources))
        QFile::remove(source);
    return records;
}

bool SampleListings::waitForPhotos(const QList<ParsedLink::Ptr> &records, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    const auto pending = [&records] {
        return std::any_of(records.cbegin(), records.cend(), [](const ParsedLink::Ptr &record) {
            return record->images().has_value() && !record->settled();
        });
    };
    // Wakes the loop now and then, so the deadline is seen even when nothing else happens.
    QTimer tick;
    tick.start(50);
    while (pending()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}
