// kestrum-sim: the simulator's engine from the command line.

#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringList>

#include <memory>
#include <string_view>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/StandardOutput.h"

namespace {

using CommandFunction = int (*)(const QStringList&);

struct CommandEntry {
  const char* name;
  CommandFunction run;
  const char* summary;
};

constexpr CommandEntry kCommands[] = {
    {"check", kestrum::CheckCommand, "judge hands read from standard input, one a line"},
    {"run", kestrum::RunCommand, "play games at full speed and measure the heavenly-hand rate"},
    {"exact", kestrum::ExactCommand, "the exact probability of a heavenly hand, counted"},
    {"watch", kestrum::WatchCommand, "follow a running Kestrum through its status block"},
    {"log", kestrum::LogCommand, "the heavenly hands of a log file, newest first"},
    {"records", kestrum::RecordsCommand, "the settings and lifetime records in the store"},
};

QString Overview() {
  QString text = QStringLiteral("Usage: kestrum-sim COMMAND [options]\n\nCommands:\n");
  for (const CommandEntry& entry : kCommands)
    text += QStringLiteral("  %1 %2\n").arg(QString::fromLatin1(entry.name).leftJustified(8, QLatin1Char(' ')),
                                            QString::fromLatin1(entry.summary));
  text += QStringLiteral("\n\"kestrum-sim COMMAND --help\" tells more about each.\n");
  return text;
}

// Text in a picture needs fonts, and Qt's font database needs a
// QGuiApplication; the offscreen platform gives one without a display.
// Every other command stays a plain QCoreApplication.
bool DrawsPicture(int argc, char** argv) {
  if (argc < 3 || std::string_view(argv[1]) != "run") return false;
  for (int i = 2; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--plot" || arg.starts_with("--plot=")) return true;
  }
  return false;
}

std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char** argv) {
  if (!DrawsPicture(argc, argv)) return std::make_unique<QCoreApplication>(argc, argv);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  return std::make_unique<QGuiApplication>(argc, argv);
}

int Dispatch(const QStringList& args) {
  if (args.size() < 2) {
    kestrum::PrintErr(QStringLiteral("kestrum-sim: a command is needed\n\n") + Overview());
    return kestrum::kExitUsage;
  }
  const QString name = args.at(1);
  if (name == QLatin1String("--help") || name == QLatin1String("-h") || name == QLatin1String("help")) {
    kestrum::PrintOut(Overview());
    return kestrum::kExitOk;
  }
  if (name == QLatin1String("--version")) {
    kestrum::PrintOut(QStringLiteral("kestrum-sim 1.11\n"));
    return kestrum::kExitOk;
  }
  for (const CommandEntry& entry : kCommands)
    if (name == QLatin1String(entry.name)) return entry.run(args);
  kestrum::PrintErr(QStringLiteral("kestrum-sim: unknown command \"%1\"\n\n").arg(name) + Overview());
  return kestrum::kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  const std::unique_ptr<QCoreApplication> app = MakeApplication(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("kestrum-sim"));
  QCoreApplication::setApplicationVersion(QStringLiteral("1.11"));
  QStringList args;
  for (int i = 0; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  try {
    return Dispatch(args);
  } catch (const kestrum::OutputFailed& failure) {
    kestrum::PrintErr(QStringLiteral("kestrum-sim: %1\n").arg(QString::fromUtf8(failure.what())));
    return kestrum::kExitBadInput;
  }
}
