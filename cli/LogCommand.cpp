// kestrum-sim log: the heavenly hands of a log file as the program reads
// them, newest first.

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <memory>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "os/Files.h"
#include "platform/ShiftJisText.h"
#include "platform/TerminalText.h"
#include "store/TenhouLogFile.h"
#include "store/TenhouLogTable.h"

namespace kestrum {
namespace {

struct Column {
  const char* key;
  const char* heading;
  std::string TenhouLogEntry::*text;
};

constexpr Column kColumns[] = {
    {"startTime", "start", &TenhouLogEntry::startTime},
    {"endTime", "end", &TenhouLogEntry::endTime},
    {"hand", "hand", &TenhouLogEntry::handText},
    {"run", "run", &TenhouLogEntry::runText},
    {"total", "total", &TenhouLogEntry::totalText},
    {"tenhou", "tenhou", &TenhouLogEntry::tenhoText},
    {"probability", "rate %", &TenhouLogEntry::probabilityText},
    {"shortest", "shortest", &TenhouLogEntry::shortestText},
    {"longest", "longest", &TenhouLogEntry::longestText},
};

// Why the table is what it is, when that is not simply the whole file.
QString ReadHint(const QString& file, const LogReadReport& report) {
  const QString why = QString::fromUtf8(DescribeLogReadStop(report.stop).data(),
                                        static_cast<qsizetype>(DescribeLogReadStop(report.stop).size()));
  switch (report.stop) {
    case LogReadStop::EndOfFile:
      return report.entryCount == 0 ? QStringLiteral("%1 holds no entries").arg(file) : QString();
    case LogReadStop::NoFile:
      return QStringLiteral("%1: %2").arg(file, why);
    case LogReadStop::TableFull:
      return QStringLiteral("%1: %2 (the program keeps the first %3 entries)").arg(file, why).arg(report.entryCount);
    case LogReadStop::EntryCutShort:
    case LogReadStop::MissingMarker:
    case LogReadStop::ReadError:
      return QStringLiteral("%1: %2 at entry %3, line %4 (byte %5); the program reads such a file as an empty log, "
                            "%6 whole entries came before")
          .arg(file, why)
          .arg(report.entryIndex + 1)
          .arg(report.lineInEntry)
          .arg(report.byteOffset)
          .arg(report.wholeEntries);
  }
  return QString();
}

// Each field decoded on its own, so that a damaged byte at the end of one
// cannot swallow the start of the next; the file may have been written by
// anyone, so its control characters are shown, not obeyed.
QString ShownField(const std::string& bytes) { return EscapeControls(FromShiftJis(bytes)).trimmed(); }

QString TableText(const TenhouLogTable& table) {
  QString text = QStringLiteral("%1").arg(QStringLiteral("#"), 5);
  const int widths[] = {19, 19, 28, 10, 12, 7, 8, 10, 10};
  for (std::size_t c = 0; c < std::size(kColumns); ++c)
    text += QLatin1Char(' ') + QString::fromLatin1(kColumns[c].heading).leftJustified(widths[c]);
  text += QLatin1Char('\n');
  for (int i = table.entryCount - 1; i >= 0; --i) {
    const TenhouLogEntry& entry = table.entries[static_cast<std::size_t>(i)];
    text += QStringLiteral("%1").arg(i + 1, 5);
    for (std::size_t c = 0; c < std::size(kColumns); ++c)
      text += QLatin1Char(' ') + ShownField(entry.*kColumns[c].text).leftJustified(widths[c]);
    text += QLatin1Char('\n');
  }
  return text;
}

QJsonArray TableJson(const TenhouLogTable& table) {
  QJsonArray entries;
  for (int i = table.entryCount - 1; i >= 0; --i) {
    const TenhouLogEntry& entry = table.entries[static_cast<std::size_t>(i)];
    QJsonObject object{{QStringLiteral("number"), i + 1}};
    for (const Column& column : kColumns) object.insert(QLatin1String(column.key), FromShiftJis(entry.*column.text));
    entries.append(object);
  }
  return entries;
}

}  // namespace

int LogCommand(const QStringList& args) {
  const Subcommand command{
      QStringLiteral("log"), QStringLiteral("[options] [FILE]"),
      QStringLiteral("Prints the heavenly hands of a log file (default \"tenholog.txt\" here), newest first,\n"
                     "exactly as the program reads them. A damaged file reads as an empty log, as the program\n"
                     "treats it; standard error then tells where and why the reading stopped.")};
  QCommandLineParser parser;
  const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print the entries as JSON."));
  parser.addOption(json);
  parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The log file."));
  if (const auto done = ParseSubcommand(parser, command, args)) return *done;
  const QStringList files = parser.positionalArguments();
  if (files.size() > 1) return UsageError(parser, command, QStringLiteral("one log file at most"));
  const QString file = files.isEmpty() ? QStringLiteral("tenholog.txt") : files.first();

  auto table = std::make_unique<TenhouLogTable>();
  TenhouLogFile log(*table, os::PathFromUtf8(file.toStdString()));
  log.ReadTenhouLog();
  // No file to read is an error here, unlike in the window, where it only
  // means that nothing was logged yet: a mistyped name must not look like an
  // empty log.
  if (log.LastReadReport().stop == LogReadStop::NoFile) {
    PrintErr(QStringLiteral("kestrum-sim log: %1: %2\n").arg(file, QString::fromStdString(log.LastOpenProblem())));
    return kExitBadInput;
  }
  const QString hint = ReadHint(file, log.LastReadReport());
  if (!hint.isEmpty()) PrintErr(QStringLiteral("kestrum-sim log: ") + hint + QLatin1Char('\n'));

  if (parser.isSet(json))
    PrintOut(QString::fromUtf8(QJsonDocument(TableJson(*table)).toJson(QJsonDocument::Indented)));
  else
    PrintOut(TableText(*table));
  return kExitOk;
}

}  // namespace kestrum
