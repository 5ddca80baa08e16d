// kestrum-sim watch: follows a running Kestrum through its status block,
// from outside, by polling; it never creates the block. The block may
// belong to another user and hold any bytes, so it is read with pread (a
// block shrunk meanwhile gives fewer bytes, never a SIGBUS) and its text is
// shown with its control characters escaped.

#include <QCommandLineParser>
#include <QJsonDocument>
#include <QJsonObject>

#include <chrono>
#include <cstdint>
#include <optional>
#include <thread>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "engine/StatusText.h"
#include "platform/InstanceGuard.h"
#include "platform/SharedStatusBlock.h"
#include "platform/ShiftJisText.h"
#include "platform/TerminalText.h"

namespace kestrum {
namespace {

constexpr std::int64_t kDefaultPollMs = 10;
constexpr std::int64_t kMaxPollMs = 10000;

// What a look at the block found. A block with no writer is one whose
// owner runs no Kestrum: the guard of that user is free.
enum class Finding { kNoBlock, kDenied, kNotABlock, kWriterGone, kLive };

struct Look {
  Finding finding = Finding::kNoBlock;
  std::string text;  // up to the first zero byte, as the block holds it
  std::uint64_t identity = 0;
};

struct WatchOptions {
  QString blockName;
  QString guardName;  // empty: the guard of the block's owner
  bool json = false;
};

Look LookAt(const WatchOptions& options) {
  const StatusBlockSnapshot snapshot = SnapshotStatusBlock(options.blockName.toStdString());
  Look look;
  switch (snapshot.state) {
    case StatusBlockState::kMissing: look.finding = Finding::kNoBlock; return look;
    case StatusBlockState::kDenied: look.finding = Finding::kDenied; return look;
    case StatusBlockState::kNotABlock: look.finding = Finding::kNotABlock; return look;
    case StatusBlockState::kPresent: break;
  }
  look.text = snapshot.bytes.substr(0, snapshot.bytes.find('\0'));
  look.identity = snapshot.identity;
  const std::string guard =
      options.guardName.isEmpty() ? InstanceGuard::NameFor(snapshot.owner) : options.guardName.toStdString();
  look.finding = InstanceGuard::IsHeld(guard) ? Finding::kLive : Finding::kWriterGone;
  return look;
}

const char* StateKey(Finding finding) {
  switch (finding) {
    case Finding::kNoBlock: return "none";
    case Finding::kDenied: return "denied";
    case Finding::kNotABlock: return "not-a-block";
    case Finding::kWriterGone: return "writer-gone";
    case Finding::kLive: return "live";
  }
  return "none";
}

QString StateSentence(Finding finding, const QString& name) {
  switch (finding) {
    case Finding::kNoBlock: return QStringLiteral("no status block \"%1\"").arg(name);
    case Finding::kDenied: return QStringLiteral("status block \"%1\" exists but may not be read by this user").arg(name);
    case Finding::kNotABlock:
      return QStringLiteral("\"%1\" is not a status block (a directory, a FIFO or a link stands under the name)").arg(name);
    case Finding::kWriterGone:
      return QStringLiteral("status block \"%1\" has no writer: no Kestrum of its owner runs; its text is left "
                            "from one that ended").arg(name);
    case Finding::kLive: return QStringLiteral("following status block \"%1\"").arg(name);
  }
  return QString();
}

QJsonObject GameJson(const std::string& text) {
  QJsonObject object{{QStringLiteral("text"), FromShiftJis(text)}};
  if (const auto reading = ParseStatusText(text)) {
    object.insert(QStringLiteral("tenhou"), reading->tenhou);
    object.insert(QStringLiteral("hand"), FromShiftJis(HandText(reading->hand)));
    object.insert(QStringLiteral("run"), static_cast<qint64>(reading->sinceCnt));
  }
  return object;
}

QString JsonLine(const QJsonObject& object) {
  return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) + QLatin1Char('\n');
}

// One line for the text, one JSON object per line for --json.
void PrintGame(const WatchOptions& options, Finding finding, const std::string& text) {
  if (!options.json) {
    PrintOut(EscapeControls(FromShiftJis(text)) + QLatin1Char('\n'));
    return;
  }
  QJsonObject object = GameJson(text);
  object.insert(QStringLiteral("state"), QLatin1String(StateKey(finding)));
  PrintOut(JsonLine(object));
}

void PrintState(const WatchOptions& options, Finding finding, const QString& extra = {}) {
  if (options.json) {
    PrintOut(JsonLine({{QStringLiteral("state"), QLatin1String(StateKey(finding))}}));
  } else {
    PrintErr(QStringLiteral("kestrum-sim watch: ") + StateSentence(finding, options.blockName) + extra + QLatin1Char('\n'));
  }
}

// --once: the block as it stands. Exit 0 only for the block of a running
// Kestrum, its first game played or not.
int WatchOnce(const WatchOptions& options) {
  const Look look = LookAt(options);
  const bool hasBlock = look.finding == Finding::kLive || look.finding == Finding::kWriterGone;
  if (hasBlock && !look.text.empty()) {
    PrintGame(options, look.finding, look.text);
    if (look.finding == Finding::kWriterGone && !options.json) PrintState(options, look.finding);
  } else if (look.finding == Finding::kLive && !options.json) {
    PrintErr(QStringLiteral("kestrum-sim watch: Kestrum runs but has played no game yet\n"));
  } else {
    PrintState(options, look.finding);
  }
  return look.finding == Finding::kLive ? kExitOk : kExitBadInput;
}

// Follows the block until Ctrl-C: each change of what stands under the name
// is told once, and each new text of a live block printed once.
class BlockFollower {
 public:
  explicit BlockFollower(WatchOptions options) : options_(std::move(options)) {}

  void Poll() {
    const Look look = LookAt(options_);
    const bool renewed = look.identity != identity_;
    if (!told_ || look.finding != finding_ || (look.finding == Finding::kLive && renewed)) Tell(look);
    if (look.finding != Finding::kLive || look.text.empty() || look.text == lastText_) return;
    lastText_ = look.text;
    PrintGame(options_, look.finding, look.text);
  }

 private:
  void Tell(const Look& look) {
    const bool waiting = look.finding != Finding::kLive;
    const bool anew = look.finding == Finding::kLive && seenLive_;
    PrintState(options_, look.finding,
               waiting ? QStringLiteral("; waiting for Kestrum (Ctrl-C ends)")
                       : (anew ? QStringLiteral(" (created anew)") : QString()));
    told_ = true;
    finding_ = look.finding;
    identity_ = look.identity;
    if (look.finding == Finding::kLive) {
      seenLive_ = true;
      lastText_.clear();
    }
  }

  WatchOptions options_;
  bool told_ = false;
  bool seenLive_ = false;
  Finding finding_ = Finding::kNoBlock;
  std::uint64_t identity_ = 0;
  std::string lastText_;
};

// A shared-memory name: "/" and at least one more character, no other "/".
bool IsBlockName(const QString& name) {
  return name.startsWith(QLatin1Char('/')) && name.size() >= 2 && name.indexOf(QLatin1Char('/'), 1) < 0;
}

}  // namespace

int WatchCommand(const QStringList& args) {
  const Subcommand command{
      QStringLiteral("watch"), QStringLiteral("[options]"),
      QStringLiteral("Follows a running Kestrum through its status block and prints each new game's text,\n"
                     "decoded, a line each (result*hand+run length), until Ctrl-C. Tells on standard error\n"
                     "when there is no block, when it may not be read, and when its writer is gone (no\n"
                     "Kestrum of the block's owner runs); waits meanwhile, and never creates a block.\n"
                     "Control characters in the block are shown escaped (\\xHH), never sent to the terminal.\n"
                     "--once looks once and ends: 0 when the block of a running Kestrum was read, else 1.\n"
                     "--json prints one JSON object a line: state (live, writer-gone, none, denied,\n"
                     "not-a-block), and for a game text, tenhou, hand and run.")};
  QCommandLineParser parser;
  const QCommandLineOption name(QStringLiteral("name"),
                                QStringLiteral("Shared-memory name of the block (default \"%1\").")
                                    .arg(QString::fromLatin1(kStatusBlockName)),
                                QStringLiteral("NAME"), QString::fromLatin1(kStatusBlockName));
  const QCommandLineOption guard(QStringLiteral("guard"),
                                 QStringLiteral("Name of the writer's single-instance guard (default: that of the "
                                                "block's owner, %1-<uid>).")
                                     .arg(QString::fromLatin1(kInstanceGuardName)),
                                 QStringLiteral("GUARD"));
  const QCommandLineOption poll(QStringLiteral("poll"), QStringLiteral("Milliseconds between looks (1..10000, default 10)."),
                                QStringLiteral("MS"), QString::number(kDefaultPollMs));
  const QCommandLineOption once(QStringLiteral("once"), QStringLiteral("Look once, print what stands there, and end."));
  const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("One JSON object a line."));
  parser.addOptions({name, guard, poll, once, json});
  if (const auto done = ParseSubcommand(parser, command, args)) return *done;
  if (!parser.positionalArguments().isEmpty())
    return UsageError(parser, command, QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first()));
  const auto pollMs = ParseBoundedInteger(parser.value(poll), 1, kMaxPollMs);
  if (!pollMs) return UsageError(parser, command, QStringLiteral("--poll %1: a whole number from 1 to 10000 is needed").arg(parser.value(poll)));
  const WatchOptions options{parser.value(name), parser.value(guard), parser.isSet(json)};
  if (!IsBlockName(options.blockName))
    return UsageError(parser, command, QStringLiteral("--name %1: a name is \"/\" followed by at least one character other than \"/\"").arg(options.blockName));
  if (parser.isSet(once)) return WatchOnce(options);

  InstallInterruptHandler();
  BlockFollower follower(options);
  while (!InterruptRequested().load()) {
    follower.Poll();
    std::this_thread::sleep_for(std::chrono::milliseconds(*pollMs));
  }
  return kExitOk;
}

}  // namespace kestrum
