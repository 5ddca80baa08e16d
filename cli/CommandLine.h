#pragma once
// What every subcommand of kestrum-sim shares: parsing its options with
// QCommandLineParser, the usage message and exit code 2 for bad arguments,
// strict reading of numeric options, and the Ctrl-C flag.

#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <optional>

class QCommandLineParser;

namespace kestrum {

inline constexpr int kExitOk = 0;
inline constexpr int kExitBadInput = 1;
inline constexpr int kExitUsage = 2;

struct Subcommand {
  QString name;         // "check", "run", ...
  QString synopsis;     // after "kestrum-sim <name>", e.g. "[options] [FILE]"
  QString description;  // a few lines
};

// Parses args (args[0] is the program, args[1] the subcommand). Returns an
// exit code when the command is done here: 0 after --help, 2 after a usage
// error (message and usage on stderr); nullopt when the command should run.
std::optional<int> ParseSubcommand(QCommandLineParser& parser, const Subcommand& command, const QStringList& args);

// The message and the subcommand's usage on stderr; returns 2.
int UsageError(const QCommandLineParser& parser, const Subcommand& command, const QString& message);

// Whole decimal numbers only: no sign, no blanks, no fraction, within the
// given range.
std::optional<std::int64_t> ParseBoundedInteger(const QString& text, std::int64_t min, std::int64_t max);
std::optional<std::uint64_t> ParseUnsigned64(const QString& text);
// A plain decimal number of seconds (digits with an optional fraction),
// greater than 0 and at most max.
std::optional<double> ParseSeconds(const QString& text, double max);

// Set by the first SIGINT or SIGTERM after InstallInterruptHandler; a second
// one ends the program at once.
const std::atomic<bool>& InterruptRequested();
void InstallInterruptHandler();

// Standard output in UTF-8; a failed write throws OutputFailed.
void PrintOut(const QString& text);
void PrintErr(const QString& text);

}  // namespace kestrum
