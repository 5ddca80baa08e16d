// kestrum-sim watch: follows a running Kestrum through its status block,
// from outside, by polling; it never creates the block. The block may
// belong to another user and hold any bytes, so it is read with pread (a
// block shrunk meanwhile gives fewer bytes, never a SIGBUS) and its text is
// shown with its control characters escaped. Anyone may create a block
// under the name before the user's Kestrum does, so the block's owner is
// named, and a block that is not the caller's is not followed unless asked.

#include <QCommandLineParser>
#include <QJsonDocument>
#include <QJsonObject>

#include <chrono>
#include <cstdint>
#include <optional>
#include <thread>

#include <pwd.h>
#include <unistd.h>

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
// owner runs no Kestrum: the guard of that user is free. Another user's
// block is only looked into when asked for.
enum class Finding { kNoBlock, kDenied, kNotABlock, kOtherUser, kWriterGone, kLive };

struct Look {
  Finding finding = Finding::kNoBlock;
  std::string text;  // up to the first zero byte, as the block holds it
  std::uint64_t identity = 0;
  std::optional<uid_t> owner;  // known for a block that is there
};

struct WatchOptions {
  QString blockName;
  QString guardFile;  // empty: the guard that goes with the block's owner
  bool json = false;
  bool anyUser = false;
};

QString UserName(uid_t user) {
  if (const passwd* entry = ::getpwuid(user)) return QString::fromLocal8Bit(entry->pw_name);
  return QString::number(user);
}

// "user nobody (65534)"
QString UserText(uid_t user) { return QStringLiteral("user %1 (%2)").arg(UserName(user)).arg(user); }

Look LookAt(const WatchOptions& options) {
  const StatusBlockSnapshot snapshot = SnapshotStatusBlock(options.blockName.toStdString());
  Look look;
  switch (snapshot.state) {
    case StatusBlockState::kMissing: look.finding = Finding::kNoBlock; return look;
    case StatusBlockState::kDenied: look.finding = Finding::kDenied; return look;
    case StatusBlockState::kNotABlock: look.finding = Finding::kNotABlock; return look;
    case StatusBlockState::kPresent: break;
  }
  look.identity = snapshot.identity;
  look.owner = snapshot.owner;
  if (snapshot.owner != ::geteuid() && !options.anyUser) {
    look.finding = Finding::kOtherUser;
    return look;
  }
  look.text = snapshot.bytes.substr(0, snapshot.bytes.find('\0'));
  const std::string guard =
      options.guardFile.isEmpty() ? InstanceGuard::MachineFileFor(snapshot.owner) : options.guardFile.toStdString();
  // Another user's guard cannot be looked at (only its owner may open it):
  // the block, asked for, is then taken as live.
  look.finding = InstanceGuard::IsHeld(guard).value_or(true) ? Finding::kLive : Finding::kWriterGone;
  return look;
}

const char* StateKey(Finding finding) {
  switch (finding) {
    case Finding::kNoBlock: return "none";
    case Finding::kDenied: return "denied";
    case Finding::kNotABlock: return "not-a-block";
    case Finding::kOtherUser: return "other-user";
    case Finding::kWriterGone: return "writer-gone";
    case Finding::kLive: return "live";
  }
  return "none";
}

QString StateSentence(Finding finding, const QString& name, std::optional<uid_t> owner) {
  const QString ofOwner = owner ? QStringLiteral(" of ") + UserText(*owner) : QString();
  switch (finding) {
    case Finding::kNoBlock: return QStringLiteral("no status block \"%1\"").arg(name);
    case Finding::kDenied: return QStringLiteral("status block \"%1\" exists but may not be read by this user").arg(name);
    case Finding::kNotABlock:
      return QStringLiteral("\"%1\" is not a status block (a directory, a FIFO or a link stands under the name)").arg(name);
    case Finding::kOtherUser:
      return QStringLiteral("status block \"%1\" belongs to %2, not to you (%3): another user may have made it "
                            "with any text; --any-user follows it all the same")
          .arg(name, owner ? UserText(*owner) : QStringLiteral("another user"), UserText(::geteuid()));
    case Finding::kWriterGone:
      return QStringLiteral("status block \"%1\"%2 has no writer: no Kestrum of its owner runs; its text is left "
                            "from one that ended").arg(name, ofOwner);
    case Finding::kLive: return QStringLiteral("following status block \"%1\"%2").arg(name, ofOwner);
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

void InsertOwner(QJsonObject& object, std::optional<uid_t> owner) {
  if (!owner) return;
  object.insert(QStringLiteral("owner"), static_cast<qint64>(*owner));
  object.insert(QStringLiteral("ownerName"), UserName(*owner));
}

// One line for the text, one JSON object per line for --json.
void PrintGame(const WatchOptions& options, const Look& look) {
  if (!options.json) {
    PrintOut(EscapeControls(FromShiftJis(look.text)) + QLatin1Char('\n'));
    return;
  }
  QJsonObject object = GameJson(look.text);
  object.insert(QStringLiteral("state"), QLatin1String(StateKey(look.finding)));
  InsertOwner(object, look.owner);
  PrintOut(JsonLine(object));
}

void PrintState(const WatchOptions& options, const Look& look, const QString& extra = {}) {
  if (options.json) {
    QJsonObject object{{QStringLiteral("state"), QLatin1String(StateKey(look.finding))}};
    InsertOwner(object, look.owner);
    PrintOut(JsonLine(object));
  } else {
    PrintErr(QStringLiteral("kestrum-sim watch: ") + StateSentence(look.finding, options.blockName, look.owner) + extra +
             QLatin1Char('\n'));
  }
}

// --once: the block as it stands. Exit 0 only for the block of a running
// Kestrum, its first game played or not.
int WatchOnce(const WatchOptions& options) {
  const Look look = LookAt(options);
  const bool hasBlock = look.finding == Finding::kLive || look.finding == Finding::kWriterGone;
  if (hasBlock && !look.text.empty()) {
    PrintGame(options, look);
    if (look.finding == Finding::kWriterGone && !options.json) PrintState(options, look);
  } else if (look.finding == Finding::kLive && !options.json) {
    PrintErr(QStringLiteral("kestrum-sim watch: Kestrum runs but has played no game yet\n"));
  } else {
    PrintState(options, look);
  }
  return look.finding == Finding::kLive ? kExitOk : kExitBadInput;
}

// Follows the block until Ctrl-C: each change of what stands under the name
// is told once, and each new text of a live block printed once. Another
// user's block, not asked for, ends the following.
class BlockFollower {
 public:
  explicit BlockFollower(WatchOptions options) : options_(std::move(options)) {}

  // false once the block under the name is another user's.
  bool Poll() {
    const Look look = LookAt(options_);
    const bool renewed = look.identity != identity_;
    if (!told_ || look.finding != finding_ || (look.finding == Finding::kLive && renewed)) Tell(look);
    if (look.finding == Finding::kOtherUser) return false;
    if (look.finding != Finding::kLive || look.text.empty() || look.text == lastText_) return true;
    lastText_ = look.text;
    PrintGame(options_, look);
    return true;
  }

 private:
  void Tell(const Look& look) {
    const bool waiting = look.finding != Finding::kLive && look.finding != Finding::kOtherUser;
    const bool anew = look.finding == Finding::kLive && seenLive_;
    PrintState(options_, look,
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
                     "The block's owner is named. A block of another user (anyone may make one under the\n"
                     "name, with any text) is told and ends watch with 1, unless --any-user is given.\n"
                     "Control characters in the block are shown escaped (\\xHH), never sent to the terminal.\n"
                     "--once looks once and ends: 0 when the block of a running Kestrum was read, else 1.\n"
                     "--json prints one JSON object a line: state (live, writer-gone, none, denied,\n"
                     "not-a-block, other-user), owner and ownerName, and for a game text, tenhou, hand and run.")};
  QCommandLineParser parser;
  const QCommandLineOption name(QStringLiteral("name"),
                                QStringLiteral("Shared-memory name of the block (default \"%1\").")
                                    .arg(QString::fromLatin1(kStatusBlockName)),
                                QStringLiteral("NAME"), QString::fromLatin1(kStatusBlockName));
  const QCommandLineOption guard(QStringLiteral("guard"),
                                 QStringLiteral("The writer's single-instance guard file (default: that of the "
                                                "block's owner, /dev/shm/%1-<uid>).")
                                     .arg(QString::fromLatin1(kInstanceGuardName)),
                                 QStringLiteral("FILE"));
  const QCommandLineOption anyUser(QStringLiteral("any-user"),
                                   QStringLiteral("Follow the block even when another user owns it (its writer is "
                                                  "then taken as running when its guard cannot be looked at)."));
  const QCommandLineOption poll(QStringLiteral("poll"), QStringLiteral("Milliseconds between looks (1..10000, default 10)."),
                                QStringLiteral("MS"), QString::number(kDefaultPollMs));
  const QCommandLineOption once(QStringLiteral("once"), QStringLiteral("Look once, print what stands there, and end."));
  const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("One JSON object a line."));
  parser.addOptions({name, guard, anyUser, poll, once, json});
  if (const auto done = ParseSubcommand(parser, command, args)) return *done;
  if (!parser.positionalArguments().isEmpty())
    return UsageError(parser, command, QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first()));
  const auto pollMs = ParseBoundedInteger(parser.value(poll), 1, kMaxPollMs);
  if (!pollMs) return UsageError(parser, command, QStringLiteral("--poll %1: a whole number from 1 to 10000 is needed").arg(parser.value(poll)));
  const WatchOptions options{parser.value(name), parser.value(guard), parser.isSet(json), parser.isSet(anyUser)};
  if (!IsBlockName(options.blockName))
    return UsageError(parser, command, QStringLiteral("--name %1: a name is \"/\" followed by at least one character other than \"/\"").arg(options.blockName));
  if (parser.isSet(once)) return WatchOnce(options);

  InstallInterruptHandler();
  BlockFollower follower(options);
  while (!InterruptRequested().load()) {
    if (!follower.Poll()) return kExitBadInput;
    std::this_thread::sleep_for(std::chrono::milliseconds(*pollMs));
  }
  return kExitOk;
}

}  // namespace kestrum
