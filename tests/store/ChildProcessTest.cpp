// The real profile location and the kill test, with a child process that
// uses the store and the log as the program does.

#include <gtest/gtest.h>

#include <QString>

#include <chrono>
#include <csignal>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <spawn.h>
#include <sys/wait.h>

#include "KillLoopState.h"
#include "TempDir.h"
#include "engine/SimulationState.h"
#include "platform/QSettingsProfile.h"
#include "store/SettingsStore.h"
#include "store/TenhouLogFile.h"
#include "store/TenhouLogTable.h"
#include "store/TextForms.h"

extern char** environ;

namespace kestrum {
namespace {

using testing::TempDir;

class Child {
 public:
  Child(std::vector<std::string> args, const std::filesystem::path& configHome) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
      if (std::string_view(*e).starts_with("XDG_CONFIG_HOME=")) continue;
      env.emplace_back(*e);
    }
    env.push_back("XDG_CONFIG_HOME=" + configHome.string());
    args.insert(args.begin(), KESTRUM_STORE_CHILD);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    if (::posix_spawn(&pid_, KESTRUM_STORE_CHILD, nullptr, nullptr, argv.data(), envp.data()) != 0) pid_ = -1;
  }
  ~Child() {
    if (pid_ > 0) Kill();
  }

  bool started() const { return pid_ > 0; }
  int Wait() {
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return status;
  }
  void Kill() {
    ::kill(pid_, SIGKILL);
    Wait();
  }

 private:
  pid_t pid_ = -1;
};

std::filesystem::path ProfileFile(const std::filesystem::path& configHome) {
  return configHome / "Local AppWizard-Generated Applications" / "kestrum.conf";
}

void WaitForFile(const std::filesystem::path& file) {
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!std::filesystem::exists(file) && std::chrono::steady_clock::now() < giveUp) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

SimulationState Load(const std::filesystem::path& file) {
  QSettingsProfile profile(QString::fromStdString(file.string()));
  SimulationState state;
  SettingsStore(profile).LoadSettingsAndRecords(state);
  return state;
}

TEST(ChildProcessTest, ProfileLivesInTheUsersConfigurationDirectory) {
  TempDir dir;
  const auto configHome = dir / "config";
  Child once({"once", (dir / "tenholog.txt").string()}, configHome);
  ASSERT_TRUE(once.started());
  const int status = once.Wait();
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  ASSERT_TRUE(std::filesystem::exists(ProfileFile(configHome)));
  const SimulationState state = Load(ProfileFile(configHome));
  EXPECT_EQ(state.tenhoCnt, 1);
  EXPECT_TRUE(testing::IsKillLoopState(state));
}

// Each entry of the loop is one of its states; the count of heavenly hands
// goes up by one an entry, or repeats when a kill fell between an entry and
// its save.
void ExpectWholeEntries(const TenhouLogTable& table, Count64 savedCount, bool wholeFileRead) {
  Count64 previous = 0;
  for (int i = 0; i < table.entryCount; ++i) {
    const TenhouLogEntry& e = table.entries[i];
    const Count64 n = ParseCount64(e.tenhoText);
    ASSERT_TRUE(n == previous || n == previous + 1) << "entry " << i << ": " << e.tenhoText;
    ASSERT_EQ(e.runText, CountText(2 * n));
    ASSERT_EQ(e.totalText, CountText(1000 * n + 7));
    ASSERT_EQ(e.longestText, CountText(3 * n));
    ASSERT_EQ(e.handText.size(), 28u);
    previous = n;
  }
  if (wholeFileRead) {
    EXPECT_TRUE(previous == savedCount || previous == savedCount + 1) << previous << " " << savedCount;
  }
}

TEST(ChildProcessTest, KillAtAnyMomentLeavesASavedStateAndWholeEntries) {
  TempDir dir;
  const auto configHome = dir / "config";
  const auto logFile = dir / "tenholog.txt";
  std::mt19937 random(std::random_device{}());
  Count64 lastCount = 0;
  auto table = std::make_unique<TenhouLogTable>();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(4);
  int rounds = 0;
  while (rounds < 60 && std::chrono::steady_clock::now() < deadline) {
    ++rounds;
    {
      Child loop({"loop", logFile.string()}, configHome);
      ASSERT_TRUE(loop.started());
      // The first child runs until it has saved, so that every later one
      // starts from records; the others die at random moments.
      if (rounds == 1) WaitForFile(ProfileFile(configHome));
      std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<int>(2000, 60000)(random)));
      loop.Kill();
    }
    const SimulationState state = Load(ProfileFile(configHome));
    ASSERT_TRUE(testing::IsKillLoopState(state)) << "round " << rounds << " loaded " << state.tenhoCnt;
    ASSERT_GE(state.tenhoCnt, lastCount);
    lastCount = state.tenhoCnt;

    TenhouLogFile log(*table, logFile);
    log.ReadTenhouLog();
    const LogReadStop stop = log.LastReadReport().stop;
    ASSERT_TRUE(stop == LogReadStop::EndOfFile || stop == LogReadStop::TableFull || stop == LogReadStop::NoFile)
        << DescribeLogReadStop(stop) << " at byte " << log.LastReadReport().byteOffset;
    ExpectWholeEntries(*table, state.tenhoCnt, stop == LogReadStop::EndOfFile);
  }
  EXPECT_GT(lastCount, 0) << "the child never saved within " << rounds << " rounds";
  RecordProperty("rounds", rounds);
  RecordProperty("heavenlyHandsSaved", static_cast<int>(lastCount));
}

}  // namespace
}  // namespace kestrum
