// kestrum-sim run: a batch of games at full speed on every core, with a
// progress bar on a terminal and a summary at the end, also after Ctrl-C.

#include <QCommandLineParser>
#include <QJsonDocument>

#include <unistd.h>

#include <chrono>
#include <ctime>
#include <memory>
#include <optional>
#include <random>
#include <thread>

#include "cli/BatchRun.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/ExactCount.h"
#include "cli/PlotFile.h"
#include "cli/ProgressBar.h"
#include "cli/RunSummary.h"
#include "engine/SimulationState.h"
#include "store/TenhouLogFile.h"
#include "store/TenhouLogTable.h"

namespace kestrum {
namespace {

constexpr std::int64_t kMaxThreads = 1024;
constexpr std::int64_t kMaxGames = 1'000'000'000'000'000;  // years of play even on many cores
constexpr std::int64_t kMaxTenhou = 10'000'000;
constexpr double kMaxSeconds = 1e7;                         // about 115 days

struct RunRequest {
  BatchOptions batch;
  bool json = false;
  QString logFile;  // empty: no log
  QString plotFile;  // empty: no picture
};

// Appends an entry to a log file for every heavenly hand of the batch, in
// the window's format, with the batch's own counts at that hand.
class BatchLog {
 public:
  BatchLog(const QString& file, std::time_t batchStart)
      : table_(std::make_unique<TenhouLogTable>()),
        log_(*table_, std::filesystem::path(file.toStdString())),
        file_(file),
        batchStart_(batchStart) {}

  void Append(const TenhouFind& find) {
    SimulationState state;
    state.startHeader = log_.StartHeaderAt(At(find.runStartedAtSeconds));
    state.hand = find.hand;
    state.tileNames = TileNames();
    state.sinceCnt = find.runLength;
    state.totalCnt = find.gamesSoFar;
    state.tenhoCnt = find.tenhouSoFar;
    state.minTenhoCnt = find.shortestSoFar;
    state.maxTenhoCnt = find.longestSoFar;
    log_.AppendTenhouLog(state, At(find.foundAtSeconds));
    if (log_.LastAppendResult() != LogAppendResult::Written && !warned_) {
      PrintErr(QStringLiteral("kestrum-sim run: could not append to %1; the batch goes on\n").arg(file_));
      warned_ = true;
    }
  }

 private:
  std::time_t At(double secondsIntoBatch) const {
    return batchStart_ + static_cast<std::time_t>(secondsIntoBatch);
  }

  std::unique_ptr<TenhouLogTable> table_;  // 1000 entries: too big for the stack
  TenhouLogFile log_;
  QString file_;
  std::time_t batchStart_;
  bool warned_ = false;
};

const Subcommand kCommand{
    QStringLiteral("run"), QStringLiteral("[options]"),
    QStringLiteral("Plays games at full speed with the simulator's own shuffle, deal, sort and complete-hand test,\n"
                   "on every core unless --threads says otherwise, until a limit is reached or Ctrl-C, then\n"
                   "prints what was played and found beside the exact rate. Without a limit it runs until\n"
                   "Ctrl-C. Under a --games or --tenhou limit, the same --seed and --threads give the same\n"
                   "games, heavenly hands and runs. A run is the games up to a heavenly hand since the\n"
                   "previous one in the same thread's stream.")};

std::uint64_t ClockSeed() {
  std::random_device device;
  const auto now = static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
  return now ^ (static_cast<std::uint64_t>(device()) << 32);
}

int DefaultThreads() {
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : static_cast<int>(std::min<unsigned>(cores, kMaxThreads));
}

struct ParsedRun {
  std::optional<RunRequest> request;
  int exitCode = kExitOk;
};

ParsedRun ParseRun(const QStringList& args) {
  QCommandLineParser parser;
  const QCommandLineOption threads(QStringLiteral("threads"),
                                   QStringLiteral("Threads to play on (1..1024; default: one per core)."),
                                   QStringLiteral("N"));
  const QCommandLineOption games(QStringLiteral("games"), QStringLiteral("Stop after N games (1..10^15)."),
                                 QStringLiteral("N"));
  const QCommandLineOption tenhou(QStringLiteral("tenhou"),
                                  QStringLiteral("Stop after K heavenly hands (1..10000000)."), QStringLiteral("K"));
  const QCommandLineOption seconds(QStringLiteral("seconds"),
                                   QStringLiteral("Stop after S seconds (decimal, more than 0)."), QStringLiteral("S"));
  const QCommandLineOption seed(QStringLiteral("seed"),
                                QStringLiteral("Seed of the generators, 0..18446744073709551615 (default: the clock)."),
                                QStringLiteral("S"));
  const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print the summary as JSON."));
  const QCommandLineOption log(QStringLiteral("log"),
                               QStringLiteral("Append an entry to this log file for every heavenly hand found."),
                               QStringLiteral("FILE"));
  const QCommandLineOption plot(QStringLiteral("plot"),
                                QStringLiteral("Draw the batch into FILE, SVG or PNG by its extension: the measured\n"
                                               "rate against the exact one, and the runs against the geometric law."),
                                QStringLiteral("FILE"));
  parser.addOptions({threads, games, tenhou, seconds, seed, json, log, plot});
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
  if (parser.isSet(log)) {
    request.logFile = parser.value(log);
    if (request.logFile.isEmpty()) return bad(log, QStringLiteral("a file name is needed"));
  }
  if (parser.isSet(plot)) {
    request.plotFile = parser.value(plot);
    if (request.plotFile.isEmpty()) return bad(plot, QStringLiteral("a file name is needed"));
  }
  if (parser.isSet(threads)) {
    const auto value = ParseBoundedInteger(parser.value(threads), 1, kMaxThreads);
    if (!value) return bad(threads, QStringLiteral("a whole number from 1 to 1024 is needed"));
    request.batch.threads = static_cast<int>(*value);
  }
  if (parser.isSet(games)) {
    const auto value = ParseBoundedInteger(parser.value(games), 1, kMaxGames);
    if (!value) return bad(games, QStringLiteral("a whole number from 1 to 10^15 is needed"));
    request.batch.games = *value;
  }
  if (parser.isSet(tenhou)) {
    const auto value = ParseBoundedInteger(parser.value(tenhou), 1, kMaxTenhou);
    if (!value) return bad(tenhou, QStringLiteral("a whole number from 1 to 10000000 is needed"));
    request.batch.tenhou = *value;
  }
  if (parser.isSet(seconds)) {
    const auto value = ParseSeconds(parser.value(seconds), kMaxSeconds);
    if (!value) return bad(seconds, QStringLiteral("a number of seconds above 0 and at most 10^7 is needed"));
    request.batch.seconds = *value;
  }
  if (parser.isSet(seed)) {
    const auto value = ParseUnsigned64(parser.value(seed));
    if (!value) return bad(seed, QStringLiteral("a whole number from 0 to 18446744073709551615 is needed"));
    request.batch.seed = *value;
  } else {
    request.batch.seed = ClockSeed();
  }
  return {request, kExitOk};
}

}  // namespace

int RunCommand(const QStringList& args) {
  const ParsedRun parsed = ParseRun(args);
  if (!parsed.request) return parsed.exitCode;
  const RunRequest& request = *parsed.request;

  std::optional<PlotFile> plot;
  if (!request.plotFile.isEmpty()) {
    plot.emplace(request.plotFile);
    if (const QString why = plot->Open(); !why.isEmpty()) {
      PrintErr(QStringLiteral("kestrum-sim run: --plot %1: %2\n").arg(request.plotFile, why));
      return kExitUsage;
    }
  }
  const ExactCounts exact = CountCompleteDeals();
  InstallInterruptHandler();
  std::optional<ProgressBar> bar;
  if (isatty(STDERR_FILENO)) bar.emplace(request.batch, Ratio(exact.Complete(), exact.deals));
  const BatchProgressCallback progress = [&bar](const BatchProgress& p) {
    if (bar) bar->Update(p);
  };
  std::optional<BatchLog> log;
  if (!request.logFile.isEmpty()) log.emplace(request.logFile, std::time(nullptr));
  const TenhouFindCallback onTenhou = [&log, &plot](const TenhouFind& find) {
    if (log) log->Append(find);
    if (plot) plot->AddTenhou(find.batchIndex, find.form, find.runLength);
  };
  const BatchTotals totals = RunBatch(request.batch, InterruptRequested(), progress, onTenhou);
  if (bar) bar->Clear();

  if (request.json)
    PrintOut(QString::fromUtf8(QJsonDocument(SummaryJson(totals, exact)).toJson(QJsonDocument::Indented)));
  else
    PrintOut(SummaryText(totals, exact));
  if (plot) {
    if (const QString why = plot->Write(totals.games, Ratio(exact.Complete(), exact.deals)); !why.isEmpty()) {
      PrintErr(QStringLiteral("kestrum-sim run: could not write the plot %1: %2\n").arg(request.plotFile, why));
      return kExitBadInput;
    }
  }
  return kExitOk;
}

}  // namespace kestrum
