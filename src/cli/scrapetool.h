#pragma once

#include <QStringList>

class QTextStream;

// listoro-scrape as a function: parses the command line, chooses the rule set, has the engine
// scrape the page and prints the report. The program's main() only wires it to the standard
// streams, so the same road can be driven from a test.
class ScrapeTool
{
public:
    enum ExitStatus {
        Success = 0,
        FileError = 1,
        UsageError = 2,
        RuleProblem = 3,
        NothingNew = 4,
    };

    // arguments[0] is the program name. The report goes to out, one error line to err.
    static int run(const QStringList &arguments, QTextStream &out, QTextStream &err);
};
