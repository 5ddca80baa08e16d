// kestrum-sim run: a batch of games at full speed on every usable CPU, with a
// progress bar on a terminal and a summary at the end, also after Ctrl-C.

#include <QCommandLineParser>
#include <QJsonDocument>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <vector>

#include "batch/BatchRunner.h"
#include "batch/Checkpoint.h"
#include "batch/ExactCount.h"
#include "batch/GpuBlockPlayers.h"
#include "batch/MpiLaunch.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/PlotFile.h"
#include "cli/ProgressBar.h"
#include "cli/RunSummary.h"
#include "engine/SimulationState.h"
#include "os/Files.h"
#include "store/TenhouLogFile.h"
#include "store/TenhouLogFormat.h"
#include "store/TenhouLogTable.h"

#ifdef KESTRUM_HAVE_MPI
#include <mpi.h>

#include "batch/MpiBlockPlayer.h"
#include "batch/MpiPeers.h"
#include "batch/MpiSession.h"
#endif

namespace kestrum {
namespace {

constexpr std::int64_t kMaxThreads = 1024;
constexpr std::int64_t kMaxGames = 1'000'000'000'000'000;  // years of play even on many cores
constexpr std::int64_t kMaxTenhou = 10'000'000;
constexpr double kMaxSeconds = 1e7;                         // about 115 days

struct RunRequest {
  BatchOptions batch;
  bool json = false;
  QString logFile;         // empty: no log
  QString checkpointFile;  // empty: no checkpoint
  QString plotFile;        // empty: no picture
  SequenceState resumeFrom;
};

// Keeps the batch's state in the checkpoint file; a save that fails is
// reported once and the batch goes on.
class CheckpointKeeper {
 public:
  CheckpointKeeper(const QString& file, const BatchOptions& batch)
      : file_(file.toStdString()), name_(file), batch_(batch) {}

  std::optional<std::string> TrySave(const SequenceState& state, const LogJournal& journal = {}) {
    return SaveCheckpointFile(file_, EncodeCheckpoint(batch_, state, journal));
  }

  void Save(const SequenceState& state, const LogJournal& journal) {
    const auto problem = TrySave(state, journal);
    if (problem && !warned_) {
      PrintErr(QStringLiteral("kestrum-sim run: could not save the checkpoint %1 (%2); the batch goes on\n")
                   .arg(name_, QString::fromStdString(*problem)));
      warned_ = true;
    }
  }

 private:
  std::filesystem::path file_;
  QString name_;
  BatchOptions batch_;
  bool warned_ = false;
};

// Appends an entry to a log file for every heavenly hand of the batch, in
// the window's format, with the batch's own counts at that hand.
//
// Beside a checkpoint the entries are held until each save, which keeps
// them in the checkpoint (with the log's size) before they are appended:
// a batch killed before that save counts those heavenly hands again, one
// killed after it finishes the entries that did not reach the log (see
// FinishLogJournal), and the log holds each once. Heavenly hands in blocks
// cut short by a halt are left to the batch that carries on and plays them
// again.
class BatchLog {
 public:
  BatchLog(const QString& file, std::time_t batchStart, bool heldForCheckpoints)
      : table_(std::make_unique<TenhouLogTable>()),
        log_(*table_, std::filesystem::absolute(std::filesystem::path(file.toStdString()))),
        file_(file),
        batchStart_(batchStart),
        held_(heldForCheckpoints) {}

  void Add(const TenhouFind& find, const BatchTally& tally, double secondsIntoBatch) {
    if (held_)
      waiting_.push_back({find, tally, secondsIntoBatch});
    else
      Append(find, tally, secondsIntoBatch);
  }

  // The held entries, as they will be appended, and the log's size now.
  LogJournal JournalOfHeld() {
    LogJournal journal;
    journal.file = log_.File().string();
    std::error_code error;
    const auto size = std::filesystem::file_size(log_.File(), error);
    journal.sizeBefore = error ? 0 : static_cast<std::uint64_t>(size);
    for (const Held& entry : waiting_) journal.entries.push_back(EntryBytes(entry.find, entry.tally, entry.seconds));
    waiting_.clear();
    return journal;
  }

  void AppendJournal(const LogJournal& journal) {
    for (const std::string& entry : journal.entries) AppendBytes(entry);
  }

 private:
  struct Held {
    TenhouFind find;
    BatchTally tally;
    double seconds;
  };

  void Append(const TenhouFind& find, const BatchTally& tally, double secondsIntoBatch) {
    AppendBytes(EntryBytes(find, tally, secondsIntoBatch));
  }

  std::string EntryBytes(const TenhouFind& find, const BatchTally& tally, double secondsIntoBatch) {
    SimulationState state;
    state.startHeader = log_.StartHeaderAt(At(runStartedAt_));
    state.hand = Expand(find.hand);
    state.tileNames = TileNames();
    state.sinceCnt = find.runLength;
    state.totalCnt = find.gamesSoFar;
    state.tenhoCnt = tally.tenhou;
    state.minTenhoCnt = tally.shortestRun;
    state.maxTenhoCnt = tally.longestRun;
    runStartedAt_ = secondsIntoBatch;
    return WithCrLf(TenhouLogEntryLines(state, At(secondsIntoBatch)));
  }

  void AppendBytes(const std::string& entry) {
    log_.AppendEntryBytes(entry);
    if (log_.LastAppendResult() != LogAppendResult::Written && !warned_) {
      PrintErr(QStringLiteral("kestrum-sim run: could not append to %1; the batch goes on\n").arg(file_));
      warned_ = true;
    }
  }

  std::time_t At(double secondsIntoBatch) const {
    return batchStart_ + static_cast<std::time_t>(secondsIntoBatch);
  }

  std::unique_ptr<TenhouLogTable> table_;  // 1000 entries: too big for the stack
  TenhouLogFile log_;
  QString file_;
  std::time_t batchStart_;
  double runStartedAt_ = 0.0;
  bool warned_ = false;
  bool held_;
  std::vector<Held> waiting_;
};

const Subcommand kCommand{
    QStringLiteral("run"), QStringLiteral("[options]"),
    QStringLiteral("Plays games at full speed with the simulator's own shuffle, deal, sort and complete-hand test,\n"
                   "on every usable CPU unless --threads says otherwise, until a limit is reached or Ctrl-C,\n"
                   "then prints what was played and found beside the exact rate. Without a limit it runs until\n"
                   "Ctrl-C. A seed defines one sequence of games, cut into blocks that the threads share out:\n"
                   "under a --games or --tenhou limit the same --seed gives the same games, heavenly hands, runs\n"
                   "and log entries on any number of threads. --tenhou K counts exactly the first K heavenly\n"
                   "hands of the sequence and no game after the K-th. --seconds and Ctrl-C stop with what was\n"
                   "played, which is not reproducible. A run is the games up to and including a heavenly hand\n"
                   "since the previous one in the sequence, or since the batch began.\n"
                   "With --checkpoint the results of every finished block are kept in FILE, replaced as a whole\n"
                   "every few seconds and at the end; run again with the same FILE, seed and limits, the batch\n"
                   "carries on and ends with exactly the result it would have had. A FILE of another seed,\n"
                   "limit or version, or a damaged one, is refused.\n"
                   "Under mpirun (or srun) the processes share one batch: each plays blocks on its own threads\n"
                   "(--threads per process), the first prints the progress and the summary and keeps the log and\n"
                   "the checkpoint, and the result is exactly that of one process.\n"
                   "The batch plays the window's shuffle, deal, sort and test with another generator: four sfc64\n"
                   "lanes a block, derived from the seed and the block, on a wall filled afresh for each block of\n"
                   "1024 games and shuffled once before its first game, as the window shuffles once before its\n"
                   "first. Its deals follow the same law as the window's: both reduce 15-bit values modulo 136\n"
                   "alike, and each exchange is as likely as its reverse, so the shuffle's 10000 or more random\n"
                   "exchanges leave every order of the wall equally likely, whatever order it began in.\n"
                   "The summary also counts every game by its distance from complete (the dealer's fourteen tiles,\n"
                   "and the wall's first thirteen as dealt) beside the exact distribution, with a chi-square test.\n"
                   "Under --tenhou the number of games is random, and the rate, interval and p-value are those of\n"
                   "inverse (negative binomial) sampling; otherwise the binomial ones. The runs are tested for\n"
                   "their shape against the geometric law with the rate taken from the runs, and consecutive runs\n"
                   "for independence.\n"
                   "--device cuda plays the same games on a GPU, one to each process.") +
        (BuiltWithMpi() ? QString() : QStringLiteral(" This kestrum-sim was built without MPI support.")) +
        (BuiltWithCuda() ? QString() : QStringLiteral(" This kestrum-sim was built without CUDA."))};

QString DevicesBuilt() { return BuiltWithCuda() ? QStringLiteral("cpu, cuda") : QStringLiteral("cpu"); }

// The usage exit code where the GPU cannot be played on, with one line from
// the process that counts (under MPI every process checks its own GPU).
std::optional<int> DeviceProblem(BatchDevice device, bool counts) {
  if (device != BatchDevice::kCuda) return std::nullopt;
  const GpuCheck check = CheckGpu();
  if (check.usable) return std::nullopt;
  if (counts)
    PrintErr(QStringLiteral("kestrum-sim run: --device cuda: %1\n").arg(QString::fromStdString(check.problem)));
  return kExitUsage;
}

std::uint64_t ClockSeed() {
  std::random_device device;
  const auto now = static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
  return now ^ (static_cast<std::uint64_t>(device()) << 32);
}

int DefaultThreads() { return static_cast<int>(std::min<std::int64_t>(os::UsableCpus(), kMaxThreads)); }

// A log that cannot take entries is found out before the first game, not at
// the first heavenly hand, which may come hours later. A FIFO or device is
// refused at once rather than waited on.
std::optional<QString> LogFileProblem(const QString& file) {
  const os::File log = os::File::OpenToAppend(os::PathFromUtf8(file.toStdString()), true);
  if (log.IsOpen()) return std::nullopt;
  return QString::fromStdString(log.Problem());
}

// Only a regular file (or none yet) can be carried on from and replaced.
bool IsCheckpointPlace(const QString& file) {
  return os::File::OpenToRead(os::PathFromUtf8(file.toStdString())).Status() != os::OpenStatus::NotRegular;
}

struct ParsedRun {
  std::optional<RunRequest> request;
  int exitCode = kExitOk;
};

// Only the process that counts (the only one, or rank 0 under MPI) touches
// the log and checkpoint files.
ParsedRun ParseRun(const QStringList& args, bool counts) {
  QCommandLineParser parser;
  const QCommandLineOption threads(
      QStringLiteral("threads"), QStringLiteral("Threads to play on (1..1024; default: the CPUs this process may use)."),
      QStringLiteral("N"));
  const QCommandLineOption games(QStringLiteral("games"), QStringLiteral("Stop after N games (1..10^15)."),
                                 QStringLiteral("N"));
  const QCommandLineOption tenhou(QStringLiteral("tenhou"),
                                  QStringLiteral("Stop at the K-th heavenly hand (1..10000000)."), QStringLiteral("K"));
  const QCommandLineOption seconds(QStringLiteral("seconds"),
                                   QStringLiteral("Stop after S seconds (decimal, more than 0)."), QStringLiteral("S"));
  const QCommandLineOption seed(QStringLiteral("seed"),
                                QStringLiteral("Seed of the sequence, 0..18446744073709551615 (default: the clock)."),
                                QStringLiteral("S"));
  const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print the summary as JSON."));
  const QCommandLineOption log(
      QStringLiteral("log"), QStringLiteral("Append an entry to this log file for every heavenly hand, in sequence order."),
      QStringLiteral("FILE"));
  const QCommandLineOption checkpoint(
      QStringLiteral("checkpoint"),
      QStringLiteral("Keep the finished blocks in FILE and carry on from it when it exists (needs --seed)."),
      QStringLiteral("FILE"));
  const QCommandLineOption plot(QStringLiteral("plot"),
                                QStringLiteral("Draw the batch into FILE, SVG or PNG by its extension: the measured "
                                               "rate against the exact one, the runs against the geometric law, and "
                                               "the games' distances against the exact distribution."),
                                QStringLiteral("FILE"));
  const QCommandLineOption device(
      QStringLiteral("device"),
      QStringLiteral("Play on DEVICE: cpu (the default) or cuda, the same games (this build has: %1).")
          .arg(DevicesBuilt()),
      QStringLiteral("DEVICE"));
  parser.addOptions({threads, games, tenhou, seconds, seed, json, log, checkpoint, plot, device});
  if (const auto done = ParseSubcommand(parser, kCommand, args)) return {std::nullopt, *done};
  if (!parser.positionalArguments().isEmpty())
    return {std::nullopt, UsageError(parser, kCommand,
                                     QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first()))};

  RunRequest request;
  request.json = parser.isSet(json);
  request.batch.threads = DefaultThreads();
  const auto bad = [&](const QCommandLineOption& option, const QString& rule) {
    return ParsedRun{std::nullopt,
                     UsageError(parser, kCommand,
                                QStringLiteral("--%1 %2: %3").arg(option.names().first(), parser.value(option), rule))};
  };
  if (parser.isSet(threads)) {
    const auto value = ParseBoundedInteger(parser.value(threads), 1, kMaxThreads);
    if (!value) return bad(threads, QStringLiteral("a whole number from 1 to 1024 is needed"));
    request.batch.threads = static_cast<int>(*value);
  }
  if (parser.isSet(games)) {
    const auto value = ParseBoundedInteger(parser.value(games), 1, kMaxGames);
    if (!value) return bad(games, QStringLiteral("a whole number from 1 to 10^15 is needed"));
    request.batch.limits.games = *value;
  }
  if (parser.isSet(tenhou)) {
    const auto value = ParseBoundedInteger(parser.value(tenhou), 1, kMaxTenhou);
    if (!value) return bad(tenhou, QStringLiteral("a whole number from 1 to 10000000 is needed"));
    request.batch.limits.tenhou = *value;
  }
  if (parser.isSet(seconds)) {
    const auto value = ParseSeconds(parser.value(seconds), kMaxSeconds);
    if (!value) return bad(seconds, QStringLiteral("a number of seconds above 0 and at most 10^7 is needed"));
    request.batch.limits.seconds = *value;
  }
  if (parser.isSet(seed)) {
    const auto value = ParseUnsigned64(parser.value(seed));
    if (!value) return bad(seed, QStringLiteral("a whole number from 0 to 18446744073709551615 is needed"));
    request.batch.seed = *value;
  } else {
    request.batch.seed = ClockSeed();
  }
  if (parser.isSet(log)) {
    request.logFile = parser.value(log);
    if (request.logFile.isEmpty()) return bad(log, QStringLiteral("a file name is needed"));
    if (const auto problem = counts ? LogFileProblem(request.logFile) : std::nullopt)
      return bad(log, QStringLiteral("cannot be opened for appending (%1)").arg(*problem));
  }
  if (parser.isSet(checkpoint)) {
    request.checkpointFile = parser.value(checkpoint);
    if (request.checkpointFile.isEmpty()) return bad(checkpoint, QStringLiteral("a file name is needed"));
    if (counts && !IsCheckpointPlace(request.checkpointFile))
      return bad(checkpoint, QStringLiteral("is not a regular file (a FIFO, a device or a folder)"));
    if (!parser.isSet(seed))
      return bad(checkpoint, QStringLiteral("--seed is needed too, so that the batch can be carried on"));
  }
  if (parser.isSet(device)) {
    const QString name = parser.value(device);
    if (name != QStringLiteral("cpu") && name != QStringLiteral("cuda"))
      return bad(device, QStringLiteral("cpu or cuda is needed"));
    request.batch.device = name == QStringLiteral("cuda") ? BatchDevice::kCuda : BatchDevice::kCpu;
    if (const auto problem = DeviceProblem(request.batch.device, counts)) return {std::nullopt, *problem};
  }
  if (parser.isSet(plot)) {
    request.plotFile = parser.value(plot);
    if (request.plotFile.isEmpty()) return bad(plot, QStringLiteral("a file name is needed"));
  }
  return {request, kExitOk};
}

// The entries the last save of an interrupted batch was appending: those
// found in the log after the size it had then are skipped, the rest
// appended, in order.
// The log from offset on (from the start when it is shorter now); nothing
// for what is not a regular file, which is opened without waiting on it.
std::string LogTail(const std::string& file, std::uint64_t offset) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return {};
  std::string tail;
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
    off_t at = static_cast<std::uint64_t>(info.st_size) >= offset ? static_cast<off_t>(offset) : 0;
    char buffer[65536];
    while (true) {
      const ssize_t n = ::pread(fd, buffer, sizeof buffer, at);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      tail.append(buffer, static_cast<std::size_t>(n));
      at += n;
    }
  }
  ::close(fd);
  return tail;
}

void FinishLogJournal(const LogJournal& journal) {
  if (journal.entries.empty() || journal.file.empty()) return;
  const std::string tail = LogTail(journal.file, journal.sizeBefore);
  auto table = std::make_unique<TenhouLogTable>();
  TenhouLogFile log(*table, journal.file);
  std::size_t from = 0;
  for (const std::string& entry : journal.entries) {
    const std::size_t found = tail.find(entry, from);
    if (found != std::string::npos) {
      from = found + entry.size();
      continue;
    }
    log.AppendEntryBytes(entry);
    if (log.LastAppendResult() != LogAppendResult::Written)
      PrintErr(QStringLiteral("kestrum-sim run: could not append to %1; the batch goes on\n")
                   .arg(QString::fromStdString(journal.file)));
  }
}

// Reads the checkpoint to carry on from; nothing to read is a fresh start.
// Returns the exit code when the file is refused.
std::optional<int> ResumeFromCheckpoint(RunRequest& request) {
  const CheckpointFile file = LoadCheckpointFile(request.checkpointFile.toStdString());
  if (!file.exists) return std::nullopt;
  std::string problem = file.problem;
  if (problem.empty()) {
    CheckpointRead read = DecodeCheckpoint(file.bytes, request.batch);
    if (read.state) {
      request.resumeFrom = std::move(*read.state);
      FinishLogJournal(read.journal);
      return std::nullopt;
    }
    problem = read.problem;
  }
  PrintErr(QStringLiteral("kestrum-sim run: the checkpoint %1 is refused: %2\n")
               .arg(request.checkpointFile, QString::fromStdString(problem)));
  return kExitBadInput;
}

// Reads the checkpoint to carry on from and makes sure it can be written;
// returns the exit code when the batch cannot start.
std::optional<int> PrepareCheckpoint(RunRequest& request, std::optional<CheckpointKeeper>& keeper) {
  if (request.checkpointFile.isEmpty()) return std::nullopt;
  if (const auto refused = ResumeFromCheckpoint(request)) return refused;
  keeper.emplace(request.checkpointFile, request.batch);
  // A place that cannot take the file is found out before the first game.
  if (const auto problem = keeper->TrySave(request.resumeFrom)) {
    PrintErr(QStringLiteral("kestrum-sim run: --checkpoint %1: cannot be written (%2)\n")
                 .arg(request.checkpointFile, QString::fromStdString(*problem)));
    return kExitUsage;
  }
  return std::nullopt;
}

// Opens the picture's file before the first game; returns the exit code when
// it cannot be written.
std::optional<int> PreparePlot(const RunRequest& request, std::optional<PlotFile>& plot) {
  if (request.plotFile.isEmpty()) return std::nullopt;
  plot.emplace(request.plotFile);
  if (const QString why = plot->Open(); !why.isEmpty()) {
    PrintErr(QStringLiteral("kestrum-sim run: --plot %1: %2\n").arg(request.plotFile, why));
    return kExitUsage;
  }
  return std::nullopt;
}

// Plays the batch and prints its summary; peers, under MPI, are the other
// processes that play blocks for it.
int CountBatch(const RunRequest& request, std::optional<CheckpointKeeper>& keeper, std::optional<PlotFile>& plot,
               BatchPeers* peers) {
  const ExactCounts exact = CountCompleteDeals();
  InstallInterruptHandler();
  std::optional<ProgressBar> bar;
  if (isatty(STDERR_FILENO)) bar.emplace(request.batch.limits, Ratio(exact.Complete(), exact.deals));
  std::optional<BatchLog> log;
  if (!request.logFile.isEmpty()) log.emplace(request.logFile, std::time(nullptr), keeper.has_value());
  BatchObserver observer;
  observer.progress = [&bar](const BatchProgress& p) {
    if (bar) bar->Update(p);
  };
  observer.find = [&log](const TenhouFind& find, const BatchTally& tally, double seconds) {
    if (log) log->Add(find, tally, seconds);
  };
  if (keeper)
    observer.save = [&keeper, &log](const SequenceState& state) {
      const LogJournal journal = log ? log->JournalOfHeld() : LogJournal{};
      keeper->Save(state, journal);
      if (log) log->AppendJournal(journal);
    };
  BatchSetup setup;
  setup.resumeFrom = request.resumeFrom;
  setup.peers = peers;
  const BatchResult result = RunBatch(request.batch, InterruptRequested(), observer, setup);
  if (bar) bar->Clear();

  if (request.json)
    PrintOut(QString::fromUtf8(QJsonDocument(SummaryJson(result, exact)).toJson(QJsonDocument::Indented)));
  else
    PrintOut(SummaryText(result, exact));
  if (plot) {
    if (const QString why = plot->Write(result, Ratio(exact.Complete(), exact.deals)); !why.isEmpty()) {
      PrintErr(QStringLiteral("kestrum-sim run: could not write the plot %1: %2\n").arg(request.plotFile, why));
      return kExitBadInput;
    }
  }
  return kExitOk;
}

#ifdef KESTRUM_HAVE_MPI
// Every process parses the same arguments; rank 0 alone checks the files and
// draws the seed when none is given, and all go on only when all can.
int RunUnderMpi(const QStringList& args) {
  MpiSession session;
  const bool counts = session.Rank() == 0;
  ParsedRun parsed = ParseRun(args, counts);
  std::optional<CheckpointKeeper> keeper;
  std::optional<PlotFile> plot;
  std::optional<int> refused;
  if (parsed.request && counts) refused = PrepareCheckpoint(*parsed.request, keeper);
  if (parsed.request && counts && !refused) refused = PreparePlot(*parsed.request, plot);
  int ready = parsed.request && !refused ? 1 : 0;
  MPI_Allreduce(MPI_IN_PLACE, &ready, 1, MPI_INT, MPI_MIN, MPI_COMM_WORLD);
  if (!ready) return refused ? *refused : parsed.request ? kExitUsage : parsed.exitCode;
  RunRequest& request = *parsed.request;
  MPI_Bcast(&request.batch.seed, 1, MPI_UINT64_T, 0, MPI_COMM_WORLD);
  if (!counts) {
    PlayBlocksForRankZero(request.batch);
    return kExitOk;
  }
  MpiPeers peers(session.Size());
  return CountBatch(request, keeper, plot, &peers);
}
#endif

}  // namespace

int RunCommand(const QStringList& args) {
  if (LaunchedByMpi()) {
#ifdef KESTRUM_HAVE_MPI
    return RunUnderMpi(args);
#else
    PrintErr(QStringLiteral("kestrum-sim run: started by an MPI launcher, but this kestrum-sim was built without "
                            "MPI; run it without mpirun\n"));
    return kExitBadInput;
#endif
  }
  ParsedRun parsed = ParseRun(args, true);
  if (!parsed.request) return parsed.exitCode;
  std::optional<CheckpointKeeper> keeper;
  if (const auto refused = PrepareCheckpoint(*parsed.request, keeper)) return *refused;
  std::optional<PlotFile> plot;
  if (const auto refused = PreparePlot(*parsed.request, plot)) return *refused;
  return CountBatch(*parsed.request, keeper, plot, nullptr);
}

}  // namespace kestrum
