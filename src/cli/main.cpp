#include "cli/scrapetool.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Listoro"));
    QCoreApplication::setApplicationName(QStringLiteral("Listoro"));

    QTextStream out(stdout);
    QTextStream err(stderr);
    return ScrapeTool::run(QCoreApplication::arguments(), out, err);
}
