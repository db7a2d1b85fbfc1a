#pragma once

#include <QString>
#include <QStringList>

namespace qmx {

class CommandLine;

// One command of qmxtool: its name, its arguments as the usage line shows them, what it
// does, and the function that runs it. The function adds its options to the command line,
// parses the arguments that follow the name and returns the process exit status. A
// command that draws runs in a GUI application on the offscreen platform (no display).
struct Command {
    QString Name;
    QString Synopsis;
    QString Summary;
    int (*Run)(CommandLine& line, const QStringList& args);
    bool Draws = false;
};

int RunDecode(CommandLine& line, const QStringList& args);
int RunMonitor(CommandLine& line, const QStringList& args);
int RunRecord(CommandLine& line, const QStringList& args);
int RunCsv(CommandLine& line, const QStringList& args);
int RunInfo(CommandLine& line, const QStringList& args);
int RunMdb(CommandLine& line, const QStringList& args);
int RunImport(CommandLine& line, const QStringList& args);
int RunPlot(CommandLine& line, const QStringList& args);
int RunStats(CommandLine& line, const QStringList& args);

} // namespace qmx
