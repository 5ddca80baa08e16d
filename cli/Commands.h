#pragma once
// The subcommands of kestrum-sim; each takes the whole argument list and
// returns the program's exit code.

#include <QStringList>

namespace kestrum {

int CheckCommand(const QStringList& args);
int RunCommand(const QStringList& args);
int ExactCommand(const QStringList& args);
int WatchCommand(const QStringList& args);
int LogCommand(const QStringList& args);
int RecordsCommand(const QStringList& args);

}  // namespace kestrum
