// kestrum-sim watch --once and --json against real blocks: what stands
// under the name, whether its writer runs, and bytes that a terminal would
// obey.

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "ProcessRun.h"
#include "engine/StatusText.h"
#include "platform/InstanceGuard.h"
#include "platform/SharedStatusBlock.h"
#include "tests/OrdinaryUser.h"

namespace kestrum::test {
namespace {

// 2m 3m 3m 7m 1p 1p 5p 9p 4s 6s East West White Red.
constexpr Hand kHand = {2, 3, 3, 7, 10, 10, 14, 18, 22, 24, 28, 30, 32, 34};

QJsonObject JsonOf(const std::string& line) {
  return QJsonDocument::fromJson(QByteArray::fromStdString(line)).object();
}

class WatchOnce : public ::testing::Test {
 protected:
  void TearDown() override {
    const std::string path = "/dev/shm" + name_;
    if (::rmdir(path.c_str()) != 0) ::unlink(path.c_str());
    ::unlink(guard_.c_str());
  }
  ProcessResult Once(bool json) {
    std::vector<std::string> args{"watch", "--once", "--name", name_, "--guard", guard_};
    if (json) args.emplace_back("--json");
    return RunSim(args);
  }
  // The same as an ordinary user, through setpriv as a person would use it.
  ProcessResult OnceAsNobody() {
    if (!testing::CanActAsAnotherUser()) return RunSim({"watch", "--once", "--json", "--name", name_, "--guard", guard_});
    return RunProgram("setpriv", {"--reuid=nobody", "--regid=nogroup", "--clear-groups", KESTRUM_SIM, "watch", "--once",
                                  "--json", "--name", name_, "--guard", guard_});
  }
  std::string name_ = "/kestrum-watch-once-" + std::to_string(::getpid());
  std::string guard_ = "/tmp/kestrum-watch-once-guard-" + std::to_string(::getpid());
};

TEST_F(WatchOnce, TellsApartEveryKindOfBlockAndWhetherItsWriterRuns) {
  struct Case {
    const char* state;
    int exitCode;
  };
  const auto expect = [this](const Case& wanted) {
    const ProcessResult json = Once(true);
    EXPECT_EQ(JsonOf(json.out).value(QStringLiteral("state")).toString().toStdString(), wanted.state) << json.out;
    EXPECT_EQ(json.exitCode, wanted.exitCode) << wanted.state;
    const ProcessResult text = Once(false);
    EXPECT_EQ(text.exitCode, wanted.exitCode) << wanted.state;
    EXPECT_EQ(text.out.empty(), std::string(wanted.state) != "live" && std::string(wanted.state) != "writer-gone")
        << wanted.state << ": " << text.out;
  };
  expect({"none", 1});

  ASSERT_EQ(::mkfifo(("/dev/shm" + name_).c_str(), 0600), 0);
  expect({"not-a-block", 1});  // and no hang on the FIFO
  ::unlink(("/dev/shm" + name_).c_str());
  ASSERT_EQ(::mkdir(("/dev/shm" + name_).c_str(), 0700), 0);
  expect({"not-a-block", 1});
  ::rmdir(("/dev/shm" + name_).c_str());

  SharedStatusBlock block(name_);
  block.Create();
  block.Write(StatusText(false, kHand, TileNames(), 1234));
  expect({"writer-gone", 1});
  {
    InstanceGuard writer(guard_);
    ASSERT_EQ(writer.Acquire(), InstanceGuard::Outcome::kAcquired);
    expect({"live", 0});
    const QJsonObject game = JsonOf(Once(true).out);
    EXPECT_EQ(game.value(QStringLiteral("text")).toString(), QStringLiteral("0*2m3m3m7m1p1p5p9p4s6s東西白中+1234"));
    EXPECT_EQ(game.value(QStringLiteral("hand")).toString(), QStringLiteral("2m3m3m7m1p1p5p9p4s6s東西白中"));
    EXPECT_EQ(game.value(QStringLiteral("run")).toInteger(), 1234);
    EXPECT_FALSE(game.value(QStringLiteral("tenhou")).toBool());
    EXPECT_EQ(Once(false).out, "0*2m3m3m7m1p1p5p9p4s6s東西白中+1234\n");
  }
  expect({"writer-gone", 1});
}

TEST_F(WatchOnce, ABlockItMayNotReadIsNotCalledMissing) {
  SharedStatusBlock block(name_);
  block.Create();
  block.Write(StatusText(false, kHand, TileNames(), 1));
  if (!testing::CanActAsAnotherUser()) ::chmod(("/dev/shm" + name_).c_str(), 0);
  const ProcessResult result = OnceAsNobody();
  EXPECT_EQ(JsonOf(result.out).value(QStringLiteral("state")).toString(), QStringLiteral("denied")) << result.out
                                                                                                      << result.err;
  EXPECT_EQ(result.exitCode, 1);
}

// Anyone may create the block under the name before the user's Kestrum
// does, with a forged heavenly hand in it: watch names its owner, and
// follows it only when asked to, even as root.
TEST_F(WatchOnce, AnotherUsersBlockIsNamedAndFollowedOnlyWhenAskedFor) {
  if (!testing::CanActAsAnotherUser()) GTEST_SKIP() << "only root can make a block as another user";
  const std::string forged = StatusText(true, kFixedStartHand, TileNames(), 7);
  const ProcessResult made = RunProgram(
      "setpriv", {"--reuid=nobody", "--regid=nogroup", "--clear-groups", "sh", "-c",
                  "umask 077; { printf '%s' \"$1\"; head -c $((512 - ${#1})) /dev/zero; } >\"$0\"",
                  "/dev/shm" + name_, forged});
  ASSERT_EQ(made.exitCode, 0) << made.err;

  const ProcessResult json = Once(true);
  const QJsonObject refused = JsonOf(json.out);
  EXPECT_EQ(refused.value(QStringLiteral("state")).toString(), QStringLiteral("other-user")) << json.out;
  EXPECT_EQ(refused.value(QStringLiteral("owner")).toInteger(), testing::kNobody);
  EXPECT_EQ(refused.value(QStringLiteral("ownerName")).toString(), QStringLiteral("nobody"));
  EXPECT_FALSE(refused.contains(QStringLiteral("tenhou"))) << json.out;
  EXPECT_EQ(json.exitCode, 1);
  const ProcessResult text = Once(false);
  EXPECT_EQ(text.exitCode, 1);
  EXPECT_EQ(text.out, "");
  EXPECT_NE(text.err.find("belongs to user nobody (65534), not to you"), std::string::npos) << text.err;
  // Following ends at once too, rather than showing the forged games.
  const ProcessResult follow = RunSim({"watch", "--name", name_, "--guard", guard_, "--poll", "5"});
  EXPECT_EQ(follow.exitCode, 1);
  EXPECT_EQ(follow.out, "");

  // Asked for, it is followed, its owner named; its writer is whoever holds the guard.
  const ProcessResult asked = RunSim({"watch", "--once", "--json", "--any-user", "--name", name_, "--guard", guard_});
  const QJsonObject gone = JsonOf(asked.out);
  EXPECT_EQ(gone.value(QStringLiteral("state")).toString(), QStringLiteral("writer-gone")) << asked.out;
  EXPECT_EQ(gone.value(QStringLiteral("owner")).toInteger(), testing::kNobody);
  EXPECT_TRUE(gone.value(QStringLiteral("tenhou")).toBool());
  EXPECT_EQ(asked.exitCode, 1);
  InstanceGuard writer(guard_);
  ASSERT_EQ(writer.Acquire(), InstanceGuard::Outcome::kAcquired);
  const ProcessResult live = RunSim({"watch", "--once", "--any-user", "--name", name_, "--guard", guard_});
  EXPECT_EQ(live.exitCode, 0) << live.err;
  EXPECT_EQ(live.out, "1*1m9m1p9p1s9s東南西北白発中中+7\n");
}

// Another user's block may hold any bytes: an OSC sequence that retitles
// the terminal, a screen clear, a carriage return, a C1 control.
TEST_F(WatchOnce, ControlCharactersReachTheTerminalOnlyAsEscapes) {
  SharedStatusBlock block(name_);
  block.Create();
  InstanceGuard writer(guard_);
  ASSERT_EQ(writer.Acquire(), InstanceGuard::Outcome::kAcquired);
  block.Write("0*\x1B]0;owned\x07\x1B[2J\r\\x\x85+1");
  const ProcessResult text = Once(false);
  EXPECT_EQ(text.exitCode, 0);
  for (const char control : {'\x1B', '\x07', '\r'}) EXPECT_EQ(text.out.find(control), std::string::npos) << text.out;
  EXPECT_EQ(text.out, "0*\\x1B]0;owned\\x07\\x1B[2J\\x0D\\\\x\xEF\xBF\xBD+1\n");
  const QJsonObject json = JsonOf(Once(true).out);
  EXPECT_EQ(json.value(QStringLiteral("text")).toString(),
            QString::fromUtf8("0*\x1B]0;owned\x07\x1B[2J\r\\x\xEF\xBF\xBD+1"));
  EXPECT_FALSE(json.contains(QStringLiteral("run")));  // not a game text
}

}  // namespace
}  // namespace kestrum::test
