#pragma once

#include <QStringList>

// Subcommands of qmxtool. Each takes its own arguments (without the subcommand name)
// and returns the process exit status.
int RunDecode(const QStringList& args);
int RunMonitor(const QStringList& args);
int RunRecord(const QStringList& args);
int RunCsv(const QStringList& args);
int RunInfo(const QStringList& args);
int RunMdb(const QStringList& args);
int RunImport(const QStringList& args);
