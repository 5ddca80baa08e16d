// kestrum-sim run as a person runs it: the same seed gives the same summary
// and log entries on any number of threads; output and log files that
// cannot be written are reported; check answers line by line through a pipe.

#include <gtest/gtest.h>

#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sched.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "ProcessRun.h"
#include "RunTestSupport.h"

namespace kestrum::test {
namespace {

using RunCommand = FolderTest;

#ifdef KESTRUM_SLOW_BUILD
const std::vector<const char*> kThreadCounts = {"1", "3"};
#else
const std::vector<const char*> kThreadCounts = {"1", "2", "3"};
#endif

TEST_F(RunCommand, SameSeedGivesTheSameSummaryAndLogEntriesOnOneTwoAndThreeThreads) {
  for (const char* limit : {"--games", "--tenhou"}) {
    const std::string value = std::string(limit) == "--games" ? "2500" : "1";
    QJsonObject first;
    std::string firstLog;
    for (const char* threads : kThreadCounts) {
      const std::string log = Path(std::string("log-") + (limit + 2) + threads);
      const ProcessResult result =
          RunSim({"run", limit, value, "--threads", threads, "--seed", kEarlySeed, "--log", log, "--json"});
      ASSERT_EQ(result.exitCode, 0) << result.err;
      const QJsonObject json = JsonOf(result.out);
      EXPECT_EQ(json.value(QStringLiteral("threads")).toInt(), std::stoi(threads));
      EXPECT_EQ(json.value(QStringLiteral("tenhou")).toInteger(), 1) << limit;
      EXPECT_TRUE(json.value(QStringLiteral("reproducible")).toBool());
      EXPECT_EQ(json.value(QStringLiteral("stop")).toString(), QString::fromLatin1(limit + 2));
      if (first.isEmpty()) {
        first = json;
        firstLog = WithoutClockTimes(Slurp(log));
        EXPECT_NE(firstLog.find("+ 2288\r\n"), std::string::npos) << firstLog;
        continue;
      }
      EXPECT_EQ(WithoutTimings(json), WithoutTimings(first)) << limit << " on " << threads << " threads";
      EXPECT_EQ(WithoutClockTimes(Slurp(log)), firstLog) << limit << " on " << threads << " threads";
    }
    EXPECT_EQ(first.value(QStringLiteral("games")).toInteger(), std::string(limit) == "--games" ? 2500 : 2288);
    // Stopped at the K-th heavenly hand, the figures are those of inverse
    // sampling; the games after the last heavenly hand are an unfinished run.
    const bool inverse = std::string(limit) == "--tenhou";
    EXPECT_EQ(first.value(QStringLiteral("sampling")).toString(),
              inverse ? QStringLiteral("inverse") : QStringLiteral("binomial"));
    const QJsonObject interval = first.value(QStringLiteral("interval")).toObject();
    EXPECT_EQ(interval.value(QStringLiteral("method")).toString().contains(QStringLiteral("negative binomial")), inverse);
    EXPECT_EQ(interval.value(QStringLiteral("level")).toDouble(), 0.95);
    EXPECT_EQ(first.value(QStringLiteral("test")).toObject().value(QStringLiteral("level")).toDouble(), 0.01);
    EXPECT_EQ(first.value(QStringLiteral("censoredRun")).toInteger(), inverse ? 0 : 2500 - 2288);
    const QJsonObject standard = first.value(QStringLiteral("forms")).toObject().value(QStringLiteral("standard")).toObject();
    EXPECT_NEAR(standard.value(QStringLiteral("exactProbability")).toDouble(), 2.6708e-6, 1e-9);
    EXPECT_EQ(standard.value(QStringLiteral("ci95")).toArray().size(), 2);
    EXPECT_FALSE(first.value(QStringLiteral("resumed")).toObject().value(QStringLiteral("fromCheckpoint")).toBool());
    EXPECT_TRUE(first.contains(QStringLiteral("elapsedSeconds")));
    EXPECT_FALSE(first.contains(QStringLiteral("seconds")));
    EXPECT_TRUE(first.value(QStringLiteral("limits")).toObject().value(QStringLiteral("secondsLimit")).isNull());
    EXPECT_TRUE(QDateTime::fromString(first.value(QStringLiteral("startTime")).toString(), Qt::ISODateWithMs).isValid());
    EXPECT_TRUE(first.value(QStringLiteral("generator")).toString().startsWith(QStringLiteral("sfc64")));
    EXPECT_EQ(first.value(QStringLiteral("blocksCutShort")).toInteger(), 0);
    const QJsonObject forms = first.value(QStringLiteral("forms")).toObject();
    qint64 byForm = 0;
    for (const QString& form : forms.keys())
      byForm += forms.value(form).toObject().value(QStringLiteral("found")).toInteger();
    EXPECT_EQ(byForm, 1);
    const QJsonArray ci = first.value(QStringLiteral("ci95")).toArray();
    EXPECT_LT(ci.at(0).toDouble(), first.value(QStringLiteral("rate")).toDouble());
    EXPECT_GT(ci.at(1).toDouble(), first.value(QStringLiteral("rate")).toDouble());
    const QJsonArray finds = first.value(QStringLiteral("finds")).toArray();
    ASSERT_EQ(finds.size(), 1);
    EXPECT_EQ(finds.at(0).toObject().value(QStringLiteral("index")).toInteger(), 2287);
    EXPECT_EQ(finds.at(0).toObject().value(QStringLiteral("run")).toInteger(), 2288);
  }
}

TEST_F(RunCommand, SummaryNamesEveryFigureAndSaysWhyItStopped) {
  const ProcessResult result = RunSim({"run", "--games", "200", "--threads", "1", "--seed", "3"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  for (const char* label :
       {"games played        200", "heavenly hands      0", "thirteen orphans  0 (expected 6.158e-08)",
        "seven pairs       0 (expected 7.086e-05)", "dealer vs exact     chi-square", "thirteen vs exact   chi-square",
        "95% interval        0.0000e+00 to 1.8275e-02 (exact, Clopper-Pearson)", "exact rate", "1 in 330529.5",
        "p = 1 (exact, two-sided): consistent", "runs vs geometric   needs 20 runs, has 0", "seed                3",
        "stopped             after 200 games; reproducible"})
    EXPECT_NE(result.out.find(label), std::string::npos) << label << "\n" << result.out;
}

// The histograms of the games' distances: every game in each, the same on
// one thread and on three, and the fit's bins hold the games.
TEST_F(RunCommand, DistanceHistogramsCountEveryGameTheSameOnAnyThreads) {
  QJsonObject reference;
  for (const char* threads : {"1", "3"}) {
    const ProcessResult result = RunSim({"run", "--games", "3000", "--threads", threads, "--seed", "12", "--json"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const QJsonObject distances = JsonOf(result.out).value(QStringLiteral("distances")).toObject();
    for (const char* hands : {"dealer", "firstThirteen"}) {
      const QJsonObject histogram = distances.value(QLatin1String(hands)).toObject();
      qint64 games = 0;
      for (const QJsonValue count : histogram.value(QStringLiteral("observed")).toArray()) games += count.toInteger();
      EXPECT_EQ(games, 3000) << hands;
      qint64 binned = 0;
      for (const QJsonValue bin : histogram.value(QStringLiteral("fit")).toObject().value(QStringLiteral("bins")).toArray())
        binned += bin.toObject().value(QStringLiteral("observed")).toInteger();
      EXPECT_EQ(binned, 3000) << hands;
    }
    if (reference.isEmpty())
      reference = distances;
    else
      EXPECT_EQ(distances, reference);
  }
}

TEST_F(RunCommand, LogThatCannotBeAppendedToIsAUsageErrorBeforeAnyGame) {
  for (const std::string& log : {std::string("/nonexistent-dir/x.txt"), dir_.string()}) {
    const auto start = std::chrono::steady_clock::now();
    const ProcessResult result = RunSim({"run", "--tenhou", "1000", "--log", log});
    EXPECT_EQ(result.exitCode, 2) << log;
    EXPECT_NE(result.err.find("cannot be opened for appending"), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  }
}

int RunWithStdoutTo(const std::vector<std::string>& args, const char* out, std::string& err,
                    const std::string& input = {}) {
  const std::filesystem::path temp = std::filesystem::temp_directory_path();
  const std::string errFile = (temp / ("kestrum-err-" + std::to_string(getpid()))).string();
  const std::string inFile = (temp / ("kestrum-in-" + std::to_string(getpid()))).string();
  std::ofstream(inFile, std::ios::binary) << input;
  const pid_t pid = fork();
  if (pid == 0) {
    const int outFd = open(out, O_WRONLY);
    const int errFd = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int inFd = open(inFile.c_str(), O_RDONLY);
    if (outFd < 0 || errFd < 0 || inFd < 0) _exit(100);
    dup2(inFd, 0);
    dup2(outFd, 1);
    dup2(errFd, 2);
    ExecProgram(KESTRUM_SIM, args);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  err = Slurp(errFile);
  std::filesystem::remove(errFile);
  std::filesystem::remove(inFile);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

pid_t StartQuietly(const std::vector<std::string>& args) {
  const pid_t pid = fork();
  if (pid == 0) {
    const int null = open("/dev/null", O_RDWR);
    dup2(null, 0);
    dup2(null, 1);
    dup2(null, 2);
    ExecProgram(KESTRUM_SIM, args);
  }
  return pid;
}

// Whether the process has its Ctrl-C handler yet, from /proc.
bool CatchesInterrupt(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("SigCgt:", 0) == 0) return (std::stoull(line.substr(7), nullptr, 16) >> (SIGINT - 1)) & 1U;
  return false;
}

// Starts the batch, lets it play for the given time, then sends the signal.
int StopMidway(const std::vector<std::string>& args, int signal, double seconds) {
  const pid_t pid = StartQuietly(args);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!CatchesInterrupt(pid) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  kill(pid, signal);
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST_F(RunCommand, BatchStoppedAndKilledCarriesOnFromItsCheckpointToTheUninterruptedResult) {
#ifdef KESTRUM_SLOW_BUILD
  const std::string games = "3500";
#else
  // About two seconds of play here: long enough that the moments below fall
  // well inside each run, whatever the machine's speed does between runs.
  const std::string games = "200000";
#endif
  const std::vector<std::string> args = {"run", "--games", games, "--seed", kEarlySeed, "--threads", "2", "--json"};
  std::vector<std::string> wholeArgs = args;
  wholeArgs.insert(wholeArgs.end(), {"--log", Path("whole.txt")});
  const ProcessResult whole = RunSim(wholeArgs);
  ASSERT_EQ(whole.exitCode, 0) << whole.err;
  const double seconds = JsonOf(whole.out).value(QStringLiteral("elapsedSeconds")).toDouble();
  std::vector<std::string> withCheckpoint = args;
  withCheckpoint.insert(withCheckpoint.end(), {"--checkpoint", Path("batch.ckpt"), "--log", Path("pieces.txt")});

  // A third of the way: Ctrl-C saves what was finished. Then, a quarter of
  // the batch's time into the two thirds that are left: a kill loses the
  // blocks in flight and whatever came after the last save.
  EXPECT_EQ(StopMidway(withCheckpoint, SIGINT, seconds / 3), 0);
  EXPECT_EQ(StopMidway(withCheckpoint, SIGKILL, seconds / 4), 128 + SIGKILL);
  const ProcessResult resumed = RunSim(withCheckpoint);
  ASSERT_EQ(resumed.exitCode, 0) << resumed.err;
  EXPECT_EQ(WithoutTimings(JsonOf(resumed.out)), WithoutTimings(JsonOf(whole.out)));
  // Each heavenly hand logged once, whatever was stopped or killed on the way.
  EXPECT_EQ(WithoutClockTimes(Slurp(Path("pieces.txt"))), WithoutClockTimes(Slurp(Path("whole.txt"))));
  EXPECT_NE(Slurp(Path("whole.txt")), "");

  // The finished checkpoint is still a checkpoint of this batch only.
  std::vector<std::string> otherSeed = withCheckpoint;
  otherSeed[4] = "811";
  const ProcessResult refused = RunSim(otherSeed);
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(refused.err.find("refused: it was made with --seed 810, not 811"), std::string::npos) << refused.err;
  EXPECT_EQ(refused.out, "");
  const std::string bytes = Slurp(Path("batch.ckpt"));
  std::ofstream(Path("batch.ckpt"), std::ios::binary | std::ios::trunc) << bytes.substr(0, bytes.size() - 3);
  const ProcessResult damaged = RunSim(withCheckpoint);
  EXPECT_EQ(damaged.exitCode, 1);
  EXPECT_NE(damaged.err.find("damaged or cut short"), std::string::npos) << damaged.err;
  // Without a seed a checkpoint could never be carried on.
  EXPECT_EQ(RunSim({"run", "--games", "10", "--checkpoint", Path("x")}).exitCode, 2);
  EXPECT_EQ(RunSim({"run", "--games", "10", "--seed", "1", "--checkpoint", "/nonexistent-dir/x"}).exitCode, 2);
}

// A kill just after the log has grown: the save that wrote the entry may
// not have replaced the checkpoint yet, or not have finished the log. The
// batch carried on holds each heavenly hand once all the same. The moments
// 0 to 3 ms after the growth fall inside the save (entry, sync, checkpoint).
TEST_F(RunCommand, AKillJustAfterTheLogGrowsLeavesEachHeavenlyHandLoggedOnce) {
  const std::vector<std::string> batch = {"run", "--tenhou", "1", "--seed", kEarlySeed, "--threads", "2"};
  std::vector<std::string> wholeArgs = batch;
  wholeArgs.insert(wholeArgs.end(), {"--log", Path("whole.txt")});
  ASSERT_EQ(RunSim(wholeArgs).exitCode, 0);
  const std::string whole = WithoutClockTimes(Slurp(Path("whole.txt")));
  ASSERT_NE(whole, "");
  std::vector<std::string> args = batch;
  args.insert(args.end(), {"--checkpoint", Path("batch.ckpt"), "--log", Path("pieces.txt")});
  int killedInTime = 0;
  for (int round = 0; round < 16; ++round) {
    const auto delay = std::chrono::microseconds(1000 * (round % 4));
    std::filesystem::remove(Path("batch.ckpt"));
    std::filesystem::remove(Path("pieces.txt"));
    const pid_t pid = StartQuietly(args);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    const auto logSize = [this] {
      std::error_code missing;
      const auto size = std::filesystem::file_size(Path("pieces.txt"), missing);
      return missing ? 0 : size;
    };
    int status = 0;
    bool ended = false;
    while (!ended && logSize() == 0 && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::microseconds(100));
      ended = waitpid(pid, &status, WNOHANG) == pid;
    }
    if (!ended) {
      std::this_thread::sleep_for(delay);
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      if (WIFSIGNALED(status)) ++killedInTime;
    }
    const ProcessResult resumed = RunSim(args);
    ASSERT_EQ(resumed.exitCode, 0) << resumed.err;
    EXPECT_EQ(WithoutClockTimes(Slurp(Path("pieces.txt"))), whole) << "round " << round << ", killed "
                                                                   << delay.count() << " us after the log grew";
  }
  // Some kills land before the batch has ended by itself (how many depends
  // on the machine's load: the save and the exit take about a millisecond).
  EXPECT_GE(killedInTime, 2) << "of 16 rounds";

  // The entries of the last save that never reached the log (here: the log
  // cut back after it) are written when the batch is carried on, once; and
  // a finished batch carried on again and again stays whole.
  std::filesystem::remove(Path("batch.ckpt"));
  std::filesystem::remove(Path("pieces.txt"));
  ASSERT_EQ(RunSim(args).exitCode, 0);
  std::ofstream(Path("pieces.txt"), std::ios::binary | std::ios::trunc).flush();
  for (int again = 0; again < 3; ++again) {
    const ProcessResult carried = RunSim(args);
    ASSERT_EQ(carried.exitCode, 0) << carried.err;
    EXPECT_EQ(WithoutClockTimes(Slurp(Path("pieces.txt"))), whole) << again;
  }
}

TEST(StandardOutput, AFailedWriteEndsEveryCommandWithAMessageAndExitCodeOne) {
  const std::vector<std::vector<std::string>> commands = {
      {"exact"}, {"run", "--games", "10", "--threads", "1"}, {"--help"}, {"run", "--help"}};
  for (const auto& args : commands) {
    std::string err;
    EXPECT_EQ(RunWithStdoutTo(args, "/dev/full", err), 1) << args[0];
    EXPECT_NE(err.find("writing standard output"), std::string::npos) << err;
  }
}

struct PipedChild {
  pid_t pid = -1;
  int in = -1;
  int out = -1;
};

PipedChild StartCheck() {
  int toChild[2];
  int fromChild[2];
  if (pipe(toChild) != 0 || pipe(fromChild) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(toChild[0], 0);
    dup2(fromChild[1], 1);
    close(toChild[1]);
    close(fromChild[0]);
    execl(KESTRUM_SIM, KESTRUM_SIM, "check", static_cast<char*>(nullptr));
    _exit(101);
  }
  close(toChild[0]);
  close(fromChild[1]);
  return {pid, toChild[1], fromChild[0]};
}

std::string ReadAnswer(int fd) {
  std::string seen;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (seen.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    char buffer[64];
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got <= 0) break;
    seen.append(buffer, static_cast<std::size_t>(got));
  }
  return seen;
}

TEST(CheckCommand, AnswersEachLineWhileThePipeStaysOpen) {
  PipedChild child = StartCheck();
  ASSERT_GT(child.pid, 0);
  const std::string lines[] = {"1m 9m 1p 9p 1s 9s 東 南 西 北 白 発 中 中\n",
                               "1m 1m 1m 1m 3m 3m 5p 5p 7p 7p 2s 2s 東 東\n", "not a hand\n"};
  const std::string answers[] = {"1\n", "0\n", "-\n"};
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(write(child.in, lines[i].data(), lines[i].size()), static_cast<ssize_t>(lines[i].size()));
    EXPECT_EQ(ReadAnswer(child.out), answers[i]) << "line " << i + 1;
  }
  close(child.in);
  int status = 0;
  waitpid(child.pid, &status, 0);
  close(child.out);
  EXPECT_EQ(WEXITSTATUS(status), 1);  // one line was malformed
}

TEST(CheckCommand, FullOutputEndsWithExitCodeOne) {
  std::string err;
  // The answers of one hand fit in any buffer: the failure shows at the flush.
  EXPECT_EQ(RunWithStdoutTo({"check"}, "/dev/full", err, "1m 9m 1p 9p 1s 9s 東 南 西 北 白 発 中 中\n"), 1);
  EXPECT_NE(err.find("writing standard output"), std::string::npos) << err;
}

TEST(RunThreads, DefaultFollowsTheCpusTheProcessMayUse) {
  const std::string out =
      (std::filesystem::temp_directory_path() / ("kestrum-aff-" + std::to_string(getpid()))).string();
  std::ofstream(out).close();
  const pid_t pid = fork();
  if (pid == 0) {
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(sched_getcpu() < 0 ? 0 : sched_getcpu(), &one);
    if (sched_setaffinity(0, sizeof one, &one) != 0) _exit(100);
    const int fd = open(out.c_str(), O_WRONLY);
    dup2(fd, 1);
    execl(KESTRUM_SIM, KESTRUM_SIM, "run", "--games", "5", "--json", static_cast<char*>(nullptr));
    _exit(101);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(JsonOf(Slurp(out)).value(QStringLiteral("threads")).toInt(), 1);
  std::filesystem::remove(out);
}

// Where no GPU can be played on, --device cuda says why in one line before
// any game; where one can, it plays. Any other device is a usage error, and
// the help names the devices this build has.
TEST_F(RunCommand, DeviceCudaPlaysOrSaysInOneLineWhyNot) {
  const ProcessResult cuda = RunSim({"run", "--device", "cuda", "--games", "10", "--seed", "3", "--json"});
  if (cuda.exitCode == 0) {
    EXPECT_EQ(JsonOf(cuda.out).value(QStringLiteral("device")).toString(), QStringLiteral("cuda"));
  } else {
    EXPECT_EQ(cuda.exitCode, 2);
    EXPECT_EQ(cuda.out, "");
    EXPECT_EQ(cuda.err.rfind("kestrum-sim run: --device cuda: ", 0), 0u) << cuda.err;
    EXPECT_EQ(std::count(cuda.err.begin(), cuda.err.end(), '\n'), 1) << cuda.err;
  }
  const ProcessResult other = RunSim({"run", "--device", "gpu", "--games", "10"});
  EXPECT_EQ(other.exitCode, 2);
  EXPECT_NE(other.err.find("--device gpu: cpu or cuda is needed"), std::string::npos) << other.err;
  const ProcessResult cpu = RunSim({"run", "--device", "cpu", "--games", "10", "--seed", "3", "--json"});
  EXPECT_EQ(JsonOf(cpu.out).value(QStringLiteral("device")).toString(), QStringLiteral("cpu"));
  const ProcessResult help = RunSim({"run", "--help"});
  EXPECT_NE(help.out.find("this build has: cpu"), std::string::npos) << help.out;
}

}  // namespace
}  // namespace kestrum::test
