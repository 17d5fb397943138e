// The listing grid without a network: about thirty listings whose photos are drawn into a
// temporary cache, shown as the application shows a results page.
//   listoro-gallery [--screenshot FILE] [--scroll POINTS]
// With --screenshot the window is saved to FILE once the photos on screen are placed (after
// scrolling the grid down by POINTS), and the program ends.

#include "gallerywindow.h"
#include "grid/largeuicollectionview.h"
#include "platform/cachedirectory.h"
#include "platform/userdefaults.h"
#include "samplelistings.h"
#include "saved/zestofavorite.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLoggingCategory>
#include <QTemporaryDir>

Q_LOGGING_CATEGORY(lcGallery, "listoro.gallery", QtInfoMsg)

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("listoro-gallery"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("The listing grid with drawn photos, as the application shows it."));
    parser.addHelpOption();
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Save the window to <file> once the photos on screen are placed, and quit."),
        QStringLiteral("file"));
    const QCommandLineOption scroll(QStringLiteral("scroll"),
                                    QStringLiteral("Scroll the grid down by <points> first."),
                                    QStringLiteral("points"), QStringLiteral("0"));
    parser.addOptions({ screenshot, scroll });
    parser.process(app);
    bool scrollOk = false;
    const int scrollPoints = parser.value(scroll).toInt(&scrollOk);
    if (!scrollOk || scrollPoints < 0) {
        qCCritical(lcGallery) << "--scroll takes a number of points, not" << parser.value(scroll);
        return 2;
    }

    // Photos and favorites live in a temporary directory: the user's own are never touched.
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        qCCritical(lcGallery) << "no temporary directory:" << scratch.errorString();
        return 1;
    }
    CacheDirectory::setPath(scratch.filePath(QStringLiteral("cache")));
    UserDefaults::setStoreFile(scratch.filePath(QStringLiteral("defaults.ini")));

    const QList<ParsedLink::Ptr> records = SampleListings::gallery();
    if (!SampleListings::waitForPhotos(records, 60000))
        qCWarning(lcGallery) << "some listings did not complete their photos";
    for (int favorite : { 0, 8, 11 })
        ZestoFavorite(records.at(favorite)->title(), records.at(favorite)->url()).addToFavorites();

    GalleryWindow window(records);
    window.show();
    if (parser.isSet(screenshot)) {
        window.saveWhenPlaced(parser.value(screenshot), scrollPoints, 30000,
                              [](bool ok) { QCoreApplication::exit(ok ? 0 : 1); });
    } else if (scrollPoints > 0) {
        window.grid()->setContentOffset(QPointF(0, scrollPoints), false);
    }
    const int status = app.exec();
    CacheDirectory::setPath({});
    UserDefaults::setStoreFile({});
    return status;
}
