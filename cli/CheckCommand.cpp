// kestrum-sim check: one hand a line on standard input, "1" or "0" a line on
// standard output. Input is read in large blocks and the answers collected
// in a buffer, so that a file of millions of hands is read at disk speed;
// when the input is not a file (a person typing, a program driving it line
// by line through a pipe) the answers go out before each read that may wait.

#include <QCommandLineParser>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/HandLine.h"
#include "cli/StandardOutput.h"
#include "engine/CompleteHand.h"
#include "engine/HandDistance.h"

namespace kestrum {
namespace {

constexpr std::size_t kReadBlock = 1 << 20;
constexpr std::size_t kFlushAt = 1 << 16;
// Far more than any way of writing fourteen names; a longer line is answered
// as malformed without being held in memory.
constexpr std::size_t kMaxLineBytes = 4096;
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

class AnswerWriter {
 public:
  void Add(std::string_view answer) {
    buffer_ += answer;
    if (buffer_.size() >= kFlushAt) Flush();
  }
  void Flush() {
    if (buffer_.empty()) return;
    const std::string pending = std::exchange(buffer_, {});
    WriteStandardOutput(pending);
  }

 private:
  std::string buffer_;
};

class HandChecker {
 public:
  explicit HandChecker(bool withDistance) : withDistance_(withDistance) {}

  void Line(std::string_view line) {
    ++lineNumber_;
    if (line.size() > kMaxLineBytes) {
      Bad(OverlongReason());
      return;
    }
    if (lineNumber_ == 1 && line.starts_with(kUtf8ByteOrderMark)) line.remove_prefix(kUtf8ByteOrderMark.size());
    const HandLineResult result =
        ParseHandLine(line, withDistance_ ? HandSizes::kThirteenOrFourteen : HandSizes::kFourteen);
    if (!result.ok) {
      Bad(result.error);
      return;
    }
    const bool complete = result.tiles == kHandSize && IsCompleteHand(result.hand, pairTaken_);
    if (!withDistance_) {
      out_.Add(complete ? "1\n" : "0\n");
      return;
    }
    const HandDistance distance = DistanceOfTiles(SharedDistanceTables(), result.hand.data(), result.tiles);
    out_.Add(complete ? "1 " : "0 ");
    out_.Add(std::to_string(distance.best));
    out_.Add("\n");
  }
  unsigned long long BadLines() const { return badLines_; }
  // A line too long to keep: only its length is known.
  void OverlongLine() {
    ++lineNumber_;
    Bad(OverlongReason());
  }
  void Finish() { out_.Flush(); }
  // Before a read that may wait for more input.
  void Answer() { out_.Flush(); }

 private:
  void Bad(const std::string& why) {
    ++badLines_;
    out_.Flush();
    std::fprintf(stderr, "kestrum-sim check: line %llu: %s\n", static_cast<unsigned long long>(lineNumber_),
                 why.c_str());
    out_.Add("-\n");
  }

  static std::string OverlongReason() { return "longer than " + std::to_string(kMaxLineBytes) + " bytes"; }

  AnswerWriter out_;
  bool withDistance_ = false;
  unsigned long long lineNumber_ = 0;
  unsigned long long badLines_ = 0;
  bool pairTaken_ = false;
};

// A file never makes a read wait; a pipe, a terminal or a socket may.
bool InputMayWait() {
  struct stat status {};
  return fstat(STDIN_FILENO, &status) != 0 || !S_ISREG(status.st_mode);
}

// Feeds every line of standard input to the checker; false when reading
// failed.
bool ReadLines(HandChecker& checker) {
  const bool answerBeforeRead = InputMayWait();
  std::vector<char> block(kReadBlock);
  std::string carry;  // an unfinished line from the previous block
  bool overlong = false;  // the unfinished line has outgrown kMaxLineBytes
  for (;;) {
    if (answerBeforeRead) checker.Answer();
    const ssize_t got = read(STDIN_FILENO, block.data(), block.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) break;
    std::string_view data(block.data(), static_cast<std::size_t>(got));
    std::size_t start = 0;
    for (std::size_t end = data.find('\n'); end != std::string_view::npos; end = data.find('\n', start)) {
      const std::string_view piece = data.substr(start, end - start);
      if (overlong || carry.size() + piece.size() > kMaxLineBytes) {
        checker.OverlongLine();
        carry.clear();
        overlong = false;
      } else if (carry.empty()) {
        checker.Line(piece);
      } else {
        carry += piece;
        checker.Line(carry);
        carry.clear();
      }
      start = end + 1;
    }
    const std::string_view rest = data.substr(start);
    if (overlong || carry.size() + rest.size() > kMaxLineBytes) {
      overlong = true;
      carry.clear();
    } else {
      carry.append(rest);
    }
  }
  if (overlong)
    checker.OverlongLine();
  else if (!carry.empty())
    checker.Line(carry);
  return true;
}

}  // namespace

int CheckCommand(const QStringList& args) {
  const Subcommand command{
      QStringLiteral("check"), QStringLiteral("[options] < HANDS"),
      QStringLiteral("Reads hands from standard input, one a line: fourteen tiles in any order, with or without\n"
                     "blanks, as tile names (1m..9m, 1p..9p, 1s..9s, 東 南 西 北 白 発 中 in UTF-8 or Shift_JIS),\n"
                     "in the compact notation (digits, then their suit letter m, p, s or z; honours 1z..7z in\n"
                     "the order East, South, West, North, White, Green, Red; 0 is the red five), or mixed:\n"
                     "  1m 9m 1p 9p 1s 9s 東 南 西 北 白 発 中 中\n"
                     "  19m19p19s12345677z\n"
                     "  123m 456p 789s 東東東 白白\n"
                     "Prints 1 for a complete hand and 0 for one that is not, a line each. A malformed line\n"
                     "is reported on standard error with its line number and answered with \"-\", so that\n"
                     "answers stay on the lines of their hands. Exit code 1 when any line was malformed.\n"
                     "With --distance a line may also hold thirteen tiles, and each answer is followed by the\n"
                     "hand's distance from complete: the fewest tiles it must take in (giving up one of its own\n"
                     "for each, for fourteen) to be complete, less one; -1 for a complete hand, 0 for one tile\n"
                     "away (\"1 -1\", \"0 2\"). A thirteen-tile hand is never complete.")};
  QCommandLineParser parser;
  const QCommandLineOption distance(QStringLiteral("distance"),
                                    QStringLiteral("Also print each hand's distance from complete."));
  parser.addOption(distance);
  if (const auto done = ParseSubcommand(parser, command, args)) return *done;
  if (!parser.positionalArguments().isEmpty())
    return UsageError(parser, command, QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first()));

  HandChecker checker(parser.isSet(distance));
  const bool readOk = ReadLines(checker);
  checker.Finish();
  if (!readOk) {
    std::perror("kestrum-sim check: reading standard input");
    return kExitBadInput;
  }
  return checker.BadLines() == 0 ? kExitOk : kExitBadInput;
}

}  // namespace kestrum
