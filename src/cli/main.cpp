#include "cli/scrapetool.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QTextStream>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Listoro"));
    QCoreApplication::setApplicationName(QStringLiteral("Listoro"));
    // The engine's debug lines would come between the report and the one error line;
    // QT_LOGGING_RULES still turns them on.
    QLoggingCategory::setFilterRules(QStringLiteral("listoro.*.debug=false"));

    QTextStream out(stdout);
    QTextStream err(stderr);
    return ScrapeTool::run(QCoreApplication::arguments(), out, err);
}
