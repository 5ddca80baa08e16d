#include "cli/CommandLine.h"
#include "cli/StandardOutput.h"

#include <QCommandLineParser>

#include <charconv>
#include <csignal>
#include <cstdio>
#include <string>

namespace kestrum {
namespace {

std::atomic<bool> gInterrupted{false};

extern "C" void OnInterrupt(int) { gInterrupted.store(true); }

QString UsageText(const QCommandLineParser& parser, const Subcommand& command) {
  // The parser's own first line names only the program; the subcommand's
  // synopsis replaces it.
  QString options = parser.helpText();
  const auto firstBreak = options.indexOf(QLatin1Char('\n'));
  options = firstBreak < 0 ? QString() : options.mid(firstBreak + 1);
  while (options.startsWith(QLatin1Char('\n'))) options.remove(0, 1);
  return QStringLiteral("Usage: kestrum-sim %1 %2\n%3\n\n%4")
      .arg(command.name, command.synopsis, command.description, options);
}

bool AllDigits(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace

std::optional<int> ParseSubcommand(QCommandLineParser& parser, const Subcommand& command, const QStringList& args) {
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                QStringLiteral("Show this help."));
  parser.addOption(help);
  QStringList forParser = args.mid(1);
  if (forParser.isEmpty()) return UsageError(parser, command, QStringLiteral("no subcommand"));
  forParser[0] = QStringLiteral("kestrum-sim ") + command.name;
  if (!parser.parse(forParser)) return UsageError(parser, command, parser.errorText());
  if (parser.isSet(help)) {
    PrintOut(UsageText(parser, command));
    return kExitOk;
  }
  return std::nullopt;
}

int UsageError(const QCommandLineParser& parser, const Subcommand& command, const QString& message) {
  PrintErr(QStringLiteral("kestrum-sim %1: %2\n\n").arg(command.name, message) + UsageText(parser, command));
  return kExitUsage;
}

std::optional<std::int64_t> ParseBoundedInteger(const QString& text, std::int64_t min, std::int64_t max) {
  const std::string digits = text.toStdString();
  if (!AllDigits(digits)) return std::nullopt;
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  if (value < min || value > max) return std::nullopt;
  return value;
}

std::optional<std::uint64_t> ParseUnsigned64(const QString& text) {
  const std::string digits = text.toStdString();
  if (!AllDigits(digits)) return std::nullopt;
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return value;
}

std::optional<double> ParseSeconds(const QString& text, double max) {
  const std::string number = text.toStdString();
  const auto point = number.find('.');
  const std::string whole = number.substr(0, point);
  const std::string fraction = point == std::string::npos ? std::string() : number.substr(point + 1);
  if (!(AllDigits(whole) || (whole.empty() && AllDigits(fraction)))) return std::nullopt;
  if (point != std::string::npos && !fraction.empty() && !AllDigits(fraction)) return std::nullopt;
  double value = 0.0;
  const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error != std::errc() || end != number.data() + number.size()) return std::nullopt;
  if (!(value > 0.0) || value > max) return std::nullopt;
  return value;
}

const std::atomic<bool>& InterruptRequested() { return gInterrupted; }

void InstallInterruptHandler() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  action.sa_flags = SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

void PrintOut(const QString& text) {
  const QByteArray bytes = text.toUtf8();
  WriteStandardOutput(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void PrintErr(const QString& text) {
  const QByteArray bytes = text.toUtf8();
  std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stderr);
}

}  // namespace kestrum
