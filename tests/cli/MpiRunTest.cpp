// kestrum-sim run under mpirun: 2 and 3 processes give exactly the summary
// and log entries of one process; a process that dies ends the whole job
// with a failure and no summary; a checkpoint is kept by the first process.

#include <gtest/gtest.h>

#include <QJsonObject>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "ProcessRun.h"
#include "RunTestSupport.h"

namespace kestrum::test {
namespace {

std::vector<std::string> MpiCommand(int processes, const std::vector<std::string>& args) {
  std::vector<std::string> command = {"-np", std::to_string(processes), "--oversubscribe"};
  if (geteuid() == 0) command.push_back("--allow-run-as-root");
  command.push_back(KESTRUM_SIM);
  command.insert(command.end(), args.begin(), args.end());
  return command;
}

ProcessResult RunUnderMpi(int processes, const std::vector<std::string>& args) {
  return RunProgram(KESTRUM_MPIRUN, MpiCommand(processes, args));
}

class MpiRun : public FolderTest {
 protected:
  static void SetUpTestSuite() {
    // Open MPI's components are loaded and unloaded with dlopen, so the
    // leak checker of a sanitizer build can neither name nor suppress what
    // they keep at exit; Kestrum's own code is leak-checked by the tests
    // that run without MPI.
    const char* options = std::getenv("ASAN_OPTIONS");
    const std::string withoutLeaks = std::string(options != nullptr ? options : "") + ":detect_leaks=0";
    setenv("ASAN_OPTIONS", withoutLeaks.c_str(), 1);
  }
};

#ifdef KESTRUM_SLOW_BUILD
const std::vector<std::vector<std::string>> kLimits = {{"--games", "2500"}};
#else
const std::vector<std::vector<std::string>> kLimits = {{"--games", "2500"}, {"--tenhou", "1"}};
#endif

TEST_F(MpiRun, TwoAndThreeProcessesGiveTheSummaryAndLogOfOne) {
  for (const std::vector<std::string>& limit : kLimits) {
    std::vector<std::string> args = {"run", "--seed", kEarlySeed, "--threads", "1", "--json"};
    args.insert(args.end(), limit.begin(), limit.end());
    std::vector<std::string> alone = args;
    alone.insert(alone.end(), {"--log", Path("alone.txt")});
    const ProcessResult one = RunSim(alone);
    ASSERT_EQ(one.exitCode, 0) << one.err;
    for (int processes : {2, 3}) {
      const std::string log = Path("log-" + std::to_string(processes) + limit[0]);
      std::vector<std::string> shared = args;
      shared.insert(shared.end(), {"--log", log});
      const ProcessResult many = RunUnderMpi(processes, shared);
      ASSERT_EQ(many.exitCode, 0) << many.err;
      const QJsonObject json = JsonOf(many.out);
      EXPECT_EQ(json.value(QStringLiteral("processes")).toInt(), processes) << many.out;
      EXPECT_EQ(WithoutTimings(json), WithoutTimings(JsonOf(one.out))) << limit[0] << " on " << processes;
      EXPECT_EQ(WithoutClockTimes(Slurp(log)), WithoutClockTimes(Slurp(Path("alone.txt")))) << limit[0];
      EXPECT_EQ(many.err, "");
    }
    std::filesystem::remove(Path("alone.txt"));
  }
}

TEST_F(MpiRun, CheckpointIsKeptByTheFirstProcessAndRefusedForAnotherSeed) {
  const std::vector<std::string> args = {"run",       "--games", "3000",   "--seed",       kEarlySeed,
                                         "--threads", "1",       "--json", "--checkpoint", Path("batch.ckpt")};
  const ProcessResult first = RunUnderMpi(2, args);
  ASSERT_EQ(first.exitCode, 0) << first.err;
  // Carried on from a finished checkpoint: the same batch again.
  const ProcessResult again = RunUnderMpi(3, args);
  ASSERT_EQ(again.exitCode, 0) << again.err;
  EXPECT_EQ(WithoutTimings(JsonOf(again.out)), WithoutTimings(JsonOf(first.out)));
  std::vector<std::string> otherSeed = args;
  otherSeed[4] = "811";
  const ProcessResult refused = RunUnderMpi(2, otherSeed);
  EXPECT_NE(refused.exitCode, 0);
  EXPECT_EQ(refused.out, "");
  EXPECT_NE(refused.err.find("refused: it was made with --seed 810, not 811"), std::string::npos) << refused.err;
}

// The process of rank 1 among the children of mpirun, found by the rank
// Open MPI puts in its environment.
pid_t FindRankOne(pid_t launcher) {
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string name = entry.path().filename();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream environ(entry.path() / "environ", std::ios::binary);
    std::string variable;
    bool rankOne = false;
    bool ours = false;
    while (std::getline(environ, variable, '\0')) {
      rankOne = rankOne || variable == "OMPI_COMM_WORLD_RANK=1";
      ours = ours || variable == "KESTRUM_TEST_LAUNCHER=" + std::to_string(launcher);
    }
    if (rankOne && ours) return std::stoi(name);
  }
  return -1;
}

TEST_F(MpiRun, ProcessThatDiesEndsTheJobWithAFailureAndNoSummary) {
  const std::string out = Path("out");
  const pid_t launcher = fork();
  if (launcher == 0) {
    setenv("KESTRUM_TEST_LAUNCHER", std::to_string(getpid()).c_str(), 1);
    if (freopen(out.c_str(), "w", stdout) == nullptr || freopen("/dev/null", "w", stderr) == nullptr) _exit(100);
    ExecProgram(KESTRUM_MPIRUN, MpiCommand(2, {"run", "--seconds", "60", "--threads", "1", "--seed", "1"}));
  }
  pid_t rankOne = -1;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while ((rankOne = FindRankOne(launcher)) < 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  if (rankOne < 0) {
    kill(launcher, SIGKILL);
    waitpid(launcher, nullptr, 0);
    FAIL() << "no process of rank 1 showed up";
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  kill(rankOne, SIGKILL);
  int status = 0;
  waitpid(launcher, &status, 0);
  EXPECT_TRUE(!WIFEXITED(status) || WEXITSTATUS(status) != 0);
  EXPECT_EQ(Slurp(out), "");
}

}  // namespace
}  // namespace kestrum::test
