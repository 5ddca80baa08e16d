// kestrum-sim watch: follows a running Kestrum through its status block,
// from outside, by polling; it never creates the block.

#include <QCommandLineParser>
#include <QStringDecoder>

#include <chrono>
#include <cstdint>
#include <thread>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "platform/SharedStatusBlock.h"

namespace kestrum {
namespace {

constexpr std::int64_t kDefaultPollMs = 10;
constexpr std::int64_t kMaxPollMs = 10000;

// The status text holds only ASCII and the seven honours; when the system
// offers no Shift_JIS codec those are decoded here.
QString DecodeHonoursOnly(const std::string& bytes) {
  static const struct {
    const char* shiftJis;
    const char* utf8;
  } kHonours[] = {{"\x93\x8C", "東"}, {"\x93\xEC", "南"}, {"\x90\xBC", "西"}, {"\x96\x6B", "北"},
                  {"\x94\x92", "白"}, {"\x94\xAD", "発"}, {"\x92\x86", "中"}};
  QByteArray text(bytes.data(), static_cast<qsizetype>(bytes.size()));
  for (const auto& honour : kHonours) text.replace(honour.shiftJis, honour.utf8);
  return QString::fromUtf8(text);
}

class StatusDecoder {
 public:
  StatusDecoder() : decoder_("Shift_JIS") {}
  QString operator()(const std::string& bytes) {
    if (!decoder_.isValid()) return DecodeHonoursOnly(bytes);
    return decoder_.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  }

 private:
  QStringDecoder decoder_;
};

std::string TextOf(const std::string& bytes) { return bytes.substr(0, bytes.find('\0')); }

class BlockFollower {
 public:
  explicit BlockFollower(QString name) : name_(std::move(name)) {}

  void Poll() {
    const auto snapshot = SnapshotStatusBlock(name_.toStdString());
    if (!snapshot) {
      Lost();
      return;
    }
    if (!present_ || snapshot->identity != identity_) Found(snapshot->identity);
    const std::string text = TextOf(snapshot->bytes);
    if (text.empty() || text == lastText_) return;
    lastText_ = text;
    PrintOut(decode_(text) + QLatin1Char('\n'));
  }

 private:
  void Lost() {
    if (present_ || !waitingShown_)
      PrintErr(QStringLiteral("kestrum-sim watch: no status block \"%1\" yet; waiting for Kestrum to start (Ctrl-C ends)\n")
                   .arg(name_));
    present_ = false;
    waitingShown_ = true;
  }

  void Found(std::uint64_t identity) {
    PrintErr(QStringLiteral("kestrum-sim watch: following %1status block \"%2\"\n")
                 .arg(seenBefore_ ? QStringLiteral("a new ") : QString(), name_));
    present_ = true;
    seenBefore_ = true;
    identity_ = identity;
    lastText_.clear();
  }

  QString name_;
  StatusDecoder decode_;
  bool present_ = false;
  bool seenBefore_ = false;
  bool waitingShown_ = false;
  std::uint64_t identity_ = 0;
  std::string lastText_;
};

}  // namespace

int WatchCommand(const QStringList& args) {
  const Subcommand command{
      QStringLiteral("watch"), QStringLiteral("[options]"),
      QStringLiteral("Follows a running Kestrum through its status block and prints each new game's text,\n"
                     "decoded, a line each (result*hand+run length), until Ctrl-C. Waits while there is no\n"
                     "block, follows a block created anew, and never creates one itself.")};
  QCommandLineParser parser;
  const QCommandLineOption name(QStringLiteral("name"),
                                QStringLiteral("Shared-memory name of the block (default \"%1\").")
                                    .arg(QString::fromLatin1(kStatusBlockName)),
                                QStringLiteral("NAME"), QString::fromLatin1(kStatusBlockName));
  const QCommandLineOption poll(QStringLiteral("poll"), QStringLiteral("Milliseconds between looks (1..10000, default 10)."),
                                QStringLiteral("MS"), QString::number(kDefaultPollMs));
  parser.addOptions({name, poll});
  if (const auto done = ParseSubcommand(parser, command, args)) return *done;
  if (!parser.positionalArguments().isEmpty())
    return UsageError(parser, command, QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first()));
  const auto pollMs = ParseBoundedInteger(parser.value(poll), 1, kMaxPollMs);
  if (!pollMs) return UsageError(parser, command, QStringLiteral("--poll %1: a whole number from 1 to 10000 is needed").arg(parser.value(poll)));
  const QString blockName = parser.value(name);
  if (!blockName.startsWith(QLatin1Char('/')) || blockName.size() < 2 || blockName.indexOf(QLatin1Char('/'), 1) >= 0)
    return UsageError(parser, command, QStringLiteral("--name %1: a name is \"/\" followed by at least one character other than \"/\"").arg(blockName));

  InstallInterruptHandler();
  BlockFollower follower(blockName);
  while (!InterruptRequested().load()) {
    follower.Poll();
    std::this_thread::sleep_for(std::chrono::milliseconds(*pollMs));
  }
  return kExitOk;
}

}  // namespace kestrum
