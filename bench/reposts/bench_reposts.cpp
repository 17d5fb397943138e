// What folding reposts costs the grid: the fold of N listings (a tenth of them sharing a site's
// placeholder picture, one in a hundred posted twice), as the grid works it out again while it
// fills, and fingerprinting a cached photo of 1200 x 900 read from its JPEG file.
//
//   bench_reposts [--listings N] [--runs N]

#include "grid/photofingerprint.h"
#include "grid/repostfold.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <numeric>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({ u"listings"_qs, u"listings folded"_qs, u"N"_qs, u"10000"_qs });
    parser.addOption({ u"runs"_qs, u"runs of each"_qs, u"N"_qs, u"5"_qs });
    parser.process(app);
    const int count = std::max(1, parser.value(u"listings"_qs).toInt());
    const int runs = std::max(1, parser.value(u"runs"_qs).toInt());

    QRandomGenerator random(42);
    const QStringList words{ u"sofa"_qs,    u"bike"_qs, u"table"_qs, u"oak"_qs,  u"red"_qs,
                             u"vintage"_qs, u"new"_qs,  u"chair"_qs, u"lamp"_qs, u"desk"_qs };
    const quint64 placeholder = random.generate64();
    QList<std::optional<quint64>> prints(count);
    QList<QStringList> titles(count);
    for (int i = 0; i < count; ++i) {
        QStringList title;
        for (int w = 0; w < 5; ++w)
            title.append(words.at(random.bounded(int(words.size()))) + QString::number(i % 97));
        titles[i] = RepostFold::words(title.join(u' '));
        prints[i] = i % 10 == 0 ? placeholder : random.generate64();
        if (i % 100 == 1 && i > 1) { // posted again: same picture, a bit flipped, same title
            prints[i] = *prints[i - 1] ^ 0b101;
            titles[i] = titles[i - 1];
        }
    }
    QList<int> rows(count);
    std::iota(rows.begin(), rows.end(), 0);

    QList<qint64> foldTimes;
    int shown = 0;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        const RepostFold::Result result = RepostFold::fold(
            rows, [&](int row) { return prints.at(row); }, [&](int row) { return titles.at(row); });
        foldTimes.append(timer.nsecsElapsed() / 1000);
        shown = int(result.rows.size());
    }
    std::sort(foldTimes.begin(), foldTimes.end());
    std::printf("fold of %d listings: %d shown, median %.2f ms (best %.2f ms)\n", count, shown,
                foldTimes.at(foldTimes.size() / 2) / 1000.0, foldTimes.first() / 1000.0);

    QTemporaryDir dir;
    QImage photo(1200, 900, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(photo.scanLine(y));
        for (int x = 0; x < photo.width(); ++x)
            line[x] = qRgb((x / 5 + random.bounded(40)) % 256, (y / 4) % 256, (x + y) / 10 % 256);
    }
    const QString path = dir.filePath(u"photo.jpg"_qs);
    photo.save(path, "JPEG", 100);
    QList<qint64> printTimes;
    for (int run = 0; run < std::max(runs, 20); ++run) {
        QElapsedTimer timer;
        timer.start();
        if (!PhotoFingerprint::ofFile(path))
            return 1;
        printTimes.append(timer.nsecsElapsed() / 1000);
    }
    std::sort(printTimes.begin(), printTimes.end());
    std::printf("fingerprint of a cached 1200 x 900 photo: median %.2f ms\n",
                printTimes.at(printTimes.size() / 2) / 1000.0);
    return 0;
}
