// kestrum-sim records: the seven settings and five records as the program
// loads them from the per-user store.

#include <QCommandLineParser>
#include <QJsonDocument>
#include <QJsonObject>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "engine/SimulationState.h"
#include "os/Files.h"
#include "platform/QSettingsProfile.h"
#include "store/SettingsStore.h"

namespace kestrum {
namespace {

// A line of the store's text: blank, a comment, a [SECTION] or KEY=value.
bool IsStoreLine(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
  while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
  if (line.empty() || line.front() == ';' || line.front() == '#') return true;
  if (line.front() == '[') return line.back() == ']';
  return line.find('=') != std::string_view::npos;
}

// Why the store file cannot be what the values are read from. The loader
// falls back to the defaults for anything it cannot read, which is right for
// the window; here, asked to show the store, defaults from a folder or from
// some other file must not pass for the records. A missing file is a fresh
// profile.
std::optional<std::string> StoreFileProblem(const std::filesystem::path& file) {
  const os::ReadResult read = os::ReadWholeFile(file);
  if (read.status == os::OpenStatus::Missing) return std::nullopt;
  if (read.status == os::OpenStatus::NotRegular) return "it is not a regular file (a folder, a FIFO or a device)";
  if (read.status != os::OpenStatus::Opened) return read.problem;
  if (read.bytes.find('\0') != std::string::npos) return "it is not a settings file (it holds NUL bytes)";
  std::size_t begin = 0;
  for (int number = 1; begin < read.bytes.size(); ++number) {
    std::size_t end = read.bytes.find('\n', begin);
    if (end == std::string::npos) end = read.bytes.size();
    if (!IsStoreLine(std::string_view(read.bytes).substr(begin, end - begin)))
      return "it is not a settings file (line " + std::to_string(number) + " is neither a section nor KEY=value)";
    begin = end + 1;
  }
  return std::nullopt;
}

}  // namespace

int RecordsCommand(const QStringList& args) {
  const Subcommand command{
      QStringLiteral("records"), QStringLiteral("[options]"),
      QStringLiteral("Prints the seven settings and the five lifetime records as the program loads them from\n"
                     "the per-user store (missing or unreadable values give their defaults). Reads only.")};
  QCommandLineParser parser;
  const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print the values as JSON."));
  const QCommandLineOption file(QStringLiteral("file"),
                                QStringLiteral("Read this store file instead of the user's own."), QStringLiteral("FILE"));
  parser.addOptions({json, file});
  if (const auto done = ParseSubcommand(parser, command, args)) return *done;
  if (!parser.positionalArguments().isEmpty())
    return UsageError(parser, command, QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first()));

  const auto profile = parser.isSet(file) ? std::make_unique<QSettingsProfile>(parser.value(file))
                                          : std::make_unique<QSettingsProfile>();
  if (const auto problem = StoreFileProblem(os::PathFromUtf8(profile->FileName()))) {
    PrintErr(QStringLiteral("kestrum-sim records: %1: %2\n")
                 .arg(QString::fromStdString(profile->FileName()), QString::fromStdString(*problem)));
    return kExitBadInput;
  }
  SettingsStore store(*profile);
  SimulationState state;
  store.LoadSettingsAndRecords(state);

  const QJsonObject settings{{QStringLiteral("SPEED"), state.speed},
                             {QStringLiteral("INTERVAL"), state.interval},
                             {QStringLiteral("CONTINUE"), state.continueRun},
                             {QStringLiteral("LOGFILE"), state.logFile},
                             {QStringLiteral("SOUND"), state.sound},
                             {QStringLiteral("AUTOSTART"), state.autoStart},
                             {QStringLiteral("ACCUMULATION"), state.accumulation}};
  const QJsonObject records{{QStringLiteral("TOTALCNT"), QJsonValue(qint64{state.totalCnt})},
                            {QStringLiteral("TENHOCNT"), QJsonValue(qint64{state.tenhoCnt})},
                            {QStringLiteral("MAXTENHOCNT"), QJsonValue(qint64{state.maxTenhoCnt})},
                            {QStringLiteral("MINTENHOCNT"), QJsonValue(qint64{state.minTenhoCnt})},
                            {QStringLiteral("ACCUMULATIONCNT"), QJsonValue(qint64{state.accumulationCnt})}};
  const QString storeFile = QString::fromStdString(profile->FileName());
  if (parser.isSet(json)) {
    const QJsonObject out{{QStringLiteral("SETTING"), settings},
                          {QStringLiteral("RECORD"), records},
                          {QStringLiteral("file"), storeFile}};
    PrintOut(QString::fromUtf8(QJsonDocument(out).toJson(QJsonDocument::Indented)));
    return kExitOk;
  }
  QString text;
  const auto section = [&text](const char* name, const QJsonObject& values, const QStringList& order) {
    text += QStringLiteral("[%1]\n").arg(QLatin1String(name));
    for (const QString& key : order) {
      const QJsonValue value = values.value(key);
      const QString shown = value.isBool() ? (value.toBool() ? QStringLiteral("1") : QStringLiteral("0"))
                                           : QString::number(value.toInteger());
      text += QStringLiteral("  %1 %2\n").arg(key.leftJustified(16), shown);
    }
  };
  section("SETTING", settings,
          {QStringLiteral("SPEED"), QStringLiteral("INTERVAL"), QStringLiteral("CONTINUE"), QStringLiteral("LOGFILE"),
           QStringLiteral("SOUND"), QStringLiteral("AUTOSTART"), QStringLiteral("ACCUMULATION")});
  section("RECORD", records,
          {QStringLiteral("TOTALCNT"), QStringLiteral("TENHOCNT"), QStringLiteral("MAXTENHOCNT"),
           QStringLiteral("MINTENHOCNT"), QStringLiteral("ACCUMULATIONCNT")});
  text += QStringLiteral("(from %1)\n").arg(storeFile);
  PrintOut(text);
  return kExitOk;
}

}  // namespace kestrum
