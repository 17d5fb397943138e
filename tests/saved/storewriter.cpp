#include "platform/userdefaults.h"
#include "saved/zestobookmark.h"
#include "saved/zestofavorite.h"

#include <QCoreApplication>

#include <cstdio>

// listoro_store_writer STORE_FILE: writes favorite i and bookmark i for i = 0, 1, ... and prints
// i once both are written, until killed.
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    UserDefaults::setStoreFile(QString::fromLocal8Bit(argv[1]));
    for (int i = 0;; ++i) {
        const QString n = QString::number(i);
        ZestoFavorite("favorite " + n, "http://host/item/" + n + ".html").addToFavorites();
        ZestoBookmark("bookmark " + n, "http://host/search?page=" + n).addToBookmarks();
        std::printf("%d\n", i);
        std::fflush(stdout);
    }
}
