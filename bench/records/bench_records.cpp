// Photos cached per second (download from loopback, decode, JPEG encode at quality 100, atomic
// write, size recorded) for 100 photos of 1200 x 900, and the time to answer isFavorited with
// 1,000 and 10,000 stored favorites.
//
//   bench_records [--photos N] [--runs N]

#include "platform/cachedirectory.h"
#include "platform/userdefaults.h"
#include "saved/zestofavorite.h"
#include "scrape/parsedlink.h"

#include <QBuffer>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QHttpServer>
#include <QHttpServerResponse>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

QByteArray photo()
{
    // Noise and shapes, so the JPEG is as heavy as a real photo.
    QImage image(1200, 900, QImage::Format_RGB32);
    QRandomGenerator random(42);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qRgb((x / 5 + random.bounded(40)) % 256, (y / 4 + random.bounded(40)) % 256,
                           (x + y) / 10 % 256);
    }
    QPainter painter(&image);
    painter.setBrush(Qt::yellow);
    painter.drawEllipse(300, 200, 500, 400);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 85);
    return bytes;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

} // namespace

int main(int argc, char **argv)
{
    QStandardPaths::setTestModeEnabled(true);
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({ "photos", "Photos per run.", "N", "100" });
    parser.addOption({ "runs", "Runs of each measurement.", "N", "5" });
    parser.process(app);
    const int photos = parser.value("photos").toInt();
    const int runs = parser.value("runs").toInt();

    QTemporaryDir dir;
    CacheDirectory::setPath(dir.filePath("cache"));
    UserDefaults::setStoreFile(dir.filePath("defaults.ini"));

    const QByteArray jpeg = photo();
    QHttpServer server;
    server.route("/photo/<arg>",
                 [&jpeg](const QString &) { return QHttpServerResponse("image/jpeg", jpeg); });
    const quint16 port = server.listen(QHostAddress::LocalHost);

    QList<double> rates;
    for (int run = 0; run < runs; ++run) {
        ParsedLink::cleanCache();
        QStringList urls;
        for (int i = 0; i < photos; ++i)
            urls << QStringLiteral("http://127.0.0.1:%1/photo/%2-%3.jpg").arg(port).arg(run).arg(i);
        auto record = std::make_shared<ParsedLink>();
        record->setImagesUrls(urls);
        QElapsedTimer timer;
        timer.start();
        record->downloadImages();
        while (!record->settled())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        const double seconds = timer.nsecsElapsed() / 1e9;
        if (!record->done())
            std::fprintf(stderr, "run %d: %lld photos failed\n", run,
                         qlonglong(record->failedImages().size()));
        rates << photos / seconds;
    }
    std::printf("photos cached: %d photos of 1200x900 (%lld bytes each), %d runs\n", photos,
                qlonglong(jpeg.size()), runs);
    std::printf("  median %.1f photos/s, best %.1f photos/s\n", median(rates),
                *std::max_element(rates.cbegin(), rates.cend()));

    for (int count : { 1000, 10000 }) {
        QList<ZestoFavorite> favorites;
        for (int i = 0; i < count; ++i)
            favorites.append(
                { QStringLiteral("Listing %1 with a title of usual length").arg(i),
                  QStringLiteral("https://vancouver.craigslist.org/apa/d/some-listing/%1.html")
                      .arg(7000000000 + i) });
        ZestoFavorite::setFavorites(favorites);
        UserDefaults::standard().synchronize();
        QList<double> times;
        for (int run = 0; run < runs; ++run) {
            QElapsedTimer timer;
            timer.start();
            // The last one: the whole list is read and walked.
            const bool found = ZestoFavorite::isFavorited(favorites.last().url());
            times << timer.nsecsElapsed() / 1e6;
            if (!found)
                std::fprintf(stderr, "favorite not found\n");
        }
        std::printf("isFavorited with %d favorites: median %.2f ms\n", count, median(times));
    }
    CacheDirectory::setPath({});
    UserDefaults::setStoreFile({});
    return 0;
}
