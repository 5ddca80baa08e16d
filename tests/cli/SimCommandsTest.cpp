// kestrum-sim run, its arguments and watch, as processes.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "ProcessRun.h"
#include "engine/StatusText.h"
#include "platform/InstanceGuard.h"
#include "platform/SharedStatusBlock.h"

extern char** environ;

namespace kestrum::test {
namespace {

QJsonObject JsonOf(const std::string& text) {
  return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
}

TEST(SimArguments, BadArgumentsGiveUsageAndExitCodeTwo) {
  const std::vector<std::vector<std::string>> bad = {
      {},
      {"fly"},
      {"run", "--games", "0"},
      {"run", "--games", "-5"},
      {"run", "--games", "12abc"},
      {"run", "--games", "99999999999999999999"},
      {"run", "--threads", "0"},
      {"run", "--threads", "100000"},
      {"run", "--tenhou", "0"},
      {"run", "--seconds", "0"},
      {"run", "--seconds", "-1"},
      {"run", "--seconds", "nan"},
      {"run", "--seed", "-1"},
      {"run", "--frobnicate"},
      {"run", "extra"},
      {"check", "--games", "3"},
      {"exact", "file"},
      {"watch", "--poll", "0"},
      {"watch", "--name", "no-slash"},
  };
  for (const auto& args : bad) {
    const ProcessResult result = RunSim(args);
    std::string joined;
    for (const auto& a : args) joined += a + " ";
    EXPECT_EQ(result.exitCode, 2) << joined;
    EXPECT_NE(result.err.find("Usage: kestrum-sim"), std::string::npos) << joined << result.err;
    EXPECT_EQ(result.out, "") << joined;
  }
}

TEST(SimArguments, EverySubcommandHasHelp) {
  for (const char* command : {"check", "run", "exact", "watch"}) {
    const ProcessResult result = RunSim({command, "--help"});
    EXPECT_EQ(result.exitCode, 0) << command;
    EXPECT_NE(result.out.find(std::string("Usage: kestrum-sim ") + command), std::string::npos) << result.out;
  }
  EXPECT_EQ(RunSim({"--help"}).exitCode, 0);
}

// The options' descriptions are wrapped by the parser alone: a line break
// written into one leaves a short line whose next word would have fitted.
TEST(SimArguments, HelpDescriptionsAreWrappedOnlyWhereFull) {
  for (const char* command : {"check", "run", "exact", "watch", "log", "records"}) {
    const std::string help = RunSim({command, "--help"}).out;
    const auto options = help.find("\nOptions:\n");
    ASSERT_NE(options, std::string::npos) << command;
    std::vector<std::string> lines;
    std::size_t widest = 0;
    for (std::size_t at = options + 10, end; at < help.size(); at = end + 1) {
      end = help.find('\n', at);
      if (end == std::string::npos) end = help.size();
      lines.push_back(help.substr(at, end - at));
      widest = std::max(widest, lines.back().size());
    }
    for (std::size_t i = 1; i < lines.size(); ++i) {
      const std::string& line = lines[i];
      const auto text = line.find_first_not_of(' ');
      // A continuation is indented past the option names.
      if (text == std::string::npos || text < 8 || line.compare(text, 1, "-") == 0) continue;
      const std::string firstWord = line.substr(text, line.find(' ', text) - text);
      // The parser lets a word end one column past its usual width, so a
      // line as wide as the widest might still have been broken there.
      EXPECT_GE(lines[i - 1].size() + 1 + firstWord.size(), widest)
          << command << ": \"" << lines[i - 1] << "\" is broken before \"" << firstWord << "\"";
    }
  }
}

struct Child {
  pid_t pid = -1;
  int out = -1;
};

Child Spawn(const std::vector<std::string>& args) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return {};
  std::vector<std::string> argv{KESTRUM_SIM};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> pointers;
  for (std::string& arg : argv) pointers.push_back(arg.data());
  pointers.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  Child child;
  if (posix_spawn(&child.pid, argv[0].c_str(), &actions, nullptr, pointers.data(), environ) != 0) child.pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);
  child.out = pipeFds[0];
  return child;
}

// Reads the child's output until it holds `wanted` or the time is up.
bool WaitForOutput(int fd, std::string& seen, const std::string& wanted, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (seen.find(wanted) == std::string::npos) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
    char buffer[512];
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got <= 0) return false;
    seen.append(buffer, static_cast<std::size_t>(got));
  }
  return true;
}

// Waits a bounded time for the child to end; returns its exit code, or -1.
int WaitForExit(pid_t pid, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

// Whether the process has installed a handler for the signal, from the
// SigCgt mask in /proc: a start-up slowed by sanitizers or a busy machine
// must not meet Ctrl-C before the program is ready for it.
bool CatchesSignal(pid_t pid, int signal) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("SigCgt:", 0) == 0) return (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1U;
  }
  return false;
}

TEST(SimRun, InterruptStopsCleanlyAndStillPrintsTheSummary) {
  Child child = Spawn({"run", "--threads", "2", "--json"});
  ASSERT_GT(child.pid, 0);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!CatchesSignal(child.pid, SIGINT) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_TRUE(CatchesSignal(child.pid, SIGINT));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // let it play some games
  kill(child.pid, SIGINT);
  std::string out;
  WaitForOutput(child.out, out, "\n}\n", std::chrono::seconds(10));
  EXPECT_EQ(WaitForExit(child.pid, std::chrono::seconds(10)), 0);
  close(child.out);
  const QJsonObject json = JsonOf(out);
  EXPECT_TRUE(json.value(QStringLiteral("interrupted")).toBool()) << out;
  EXPECT_GT(json.value(QStringLiteral("games")).toInteger(), 0);
}

TEST(SimWatch, FollowsTheBlockOfAnotherProcessAcrossItsRecreation) {
  const std::string name = "/kestrum-watch-test-" + std::to_string(getpid());
  const std::string guardName = "/tmp/kestrum-watch-test-guard-" + std::to_string(getpid());
  InstanceGuard writerRuns(guardName);
  ASSERT_EQ(writerRuns.Acquire(), InstanceGuard::Outcome::kAcquired);
  Child watcher = Spawn({"watch", "--name", name, "--guard", guardName, "--poll", "5"});
  ASSERT_GT(watcher.pid, 0);
  std::string out;
  const Hand hand = {2, 3, 3, 7, 10, 10, 14, 18, 22, 24, 28, 30, 32, 34};
  {
    SharedStatusBlock block(name);
    block.Create();
    block.Write(StatusText(false, hand, TileNames(), 1234));
    EXPECT_TRUE(WaitForOutput(watcher.out, out, "0*2m3m3m7m1p1p5p9p4s6s東西白中+1234\n", std::chrono::seconds(5))) << out;
    block.Write(StatusText(true, kFixedStartHand, TileNames(), 7));
    EXPECT_TRUE(WaitForOutput(watcher.out, out, "1*1m9m1p9p1s9s東南西北白発中中+7\n", std::chrono::seconds(5))) << out;
  }  // closed: the name is gone
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  {
    SharedStatusBlock again(name);
    again.Create();
    again.Write(StatusText(false, hand, TileNames(), 1));
    EXPECT_TRUE(WaitForOutput(watcher.out, out, "0*2m3m3m7m1p1p5p9p4s6s東西白中+1\n", std::chrono::seconds(5))) << out;
  }
  kill(watcher.pid, SIGINT);
  EXPECT_EQ(WaitForExit(watcher.pid, std::chrono::seconds(5)), 0);
  close(watcher.out);
  EXPECT_FALSE(ReadStatusBlock(name).has_value());  // the watcher made none
  ::unlink(guardName.c_str());
}

}  // namespace
}  // namespace kestrum::test
