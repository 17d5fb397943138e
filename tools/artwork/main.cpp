// Draws the application's artwork into a folder (resources/images by default):
// add.png, delete.png and their @2x versions, and the three seamless background patterns.
// The drawing is seeded, so running it again writes the same pictures.

#include "buttonartwork.h"
#include "patternartwork.h"

#include <QCommandLineParser>
#include <QDir>
#include <QGuiApplication>
#include <QImageWriter>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcDrawArtwork, "listoro.artwork", QtInfoMsg)

namespace {

// A tile whose wrap-around edges jump this much more than its inside has a visible seam.
constexpr double seamLimit = 1.6;

bool save(const QImage &image, const QDir &folder, const QString &name)
{
    const QString path = folder.filePath(name);
    QImageWriter writer(path, "png");
    if (!writer.write(image)) {
        qCCritical(lcDrawArtwork, "cannot write %s: %s", qPrintable(path),
                   qPrintable(writer.errorString()));
        return false;
    }
    qCInfo(lcDrawArtwork, "wrote %s (%dx%d)", qPrintable(path), image.width(), image.height());
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Draws the Listoro artwork."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("folder"),
                                 QStringLiteral("Where to write the PNG files."));
    parser.process(app);

    const QStringList positional = parser.positionalArguments();
    const QDir folder(positional.isEmpty() ? QStringLiteral("resources/images")
                                           : positional.constFirst());
    if (!QDir().mkpath(folder.path())) {
        qCCritical(lcDrawArtwork, "cannot create %s", qPrintable(folder.path()));
        return 1;
    }

    bool ok = save(ButtonArtwork::addButton(32), folder, QStringLiteral("add.png"))
        && save(ButtonArtwork::addButton(64), folder, QStringLiteral("add@2x.png"))
        && save(ButtonArtwork::deleteButton(32), folder, QStringLiteral("delete.png"))
        && save(ButtonArtwork::deleteButton(64), folder, QStringLiteral("delete@2x.png"));

    const std::pair<QString, QImage> patterns[] = {
        { QStringLiteral("nasty_fabric.png"), PatternArtwork::nastyFabric() },
        { QStringLiteral("kindajean.png"), PatternArtwork::kindaJean() },
        { QStringLiteral("lightpaperfibers.png"), PatternArtwork::lightPaperFibers() },
    };
    for (const auto &[name, image] : patterns) {
        const PatternArtwork::SeamScore seam = PatternArtwork::seamScore(image);
        qCInfo(lcDrawArtwork, "%s: seam %.2f across, %.2f down (1 is seamless)", qPrintable(name),
               seam.horizontal, seam.vertical);
        if (seam.horizontal > seamLimit || seam.vertical > seamLimit) {
            qCCritical(lcDrawArtwork, "%s does not tile cleanly", qPrintable(name));
            ok = false;
        }
        ok = save(image, folder, name) && ok;
    }
    return ok ? 0 : 1;
}
