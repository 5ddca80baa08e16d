#include "batch/BatchRunner.h"

#include <algorithm>
#include <chrono>

#include "batch/BatchPeers.h"
#include "batch/BatchSequence.h"
#include "batch/BlockSupply.h"
#include "batch/BlockPlayers.h"
#include "batch/ResultQueue.h"
#include "engine/HandDistance.h"

namespace kestrum {
namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kCountingPeriod = std::chrono::milliseconds(50);
constexpr double kSavePeriodSeconds = 5.0;
// With other processes the loop also answers their requests for blocks.
constexpr auto kPeerPeriod = std::chrono::milliseconds(2);

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

StopReason ReasonOf(const BatchSequence& sequence, const BatchLimits& limits, bool interrupted) {
  if (sequence.Complete())
    return limits.tenhou > 0 && sequence.Tally().tenhou >= limits.tenhou ? StopReason::kTenhou : StopReason::kGames;
  return interrupted ? StopReason::kInterrupted : StopReason::kSeconds;
}

std::vector<std::uint64_t> BlocksOf(const std::vector<BlockResult>& results) {
  std::vector<std::uint64_t> blocks;
  for (const BlockResult& result : results) blocks.push_back(result.block);
  return blocks;
}

// One batch from its first block to its result, on the thread that runs it:
// the threads (and peers) play, this counts.
class BatchRun {
 public:
  BatchRun(const BatchOptions& options, const std::atomic<bool>& stop, const BatchObserver& observer,
           const BatchSetup& setup)
      : options_(options),
        stop_(stop),
        observer_(observer),
        peers_(setup.peers),
        sequence_(options.limits),
        resumedGames_(Resumed(sequence_, setup.resumeFrom)),
        lastNeeded_(sequence_.LastNeededBlock()),
        supply_(options.limits, lastNeeded_, setup.resumeFrom.countedBlocks, BlocksOf(setup.resumeFrom.waiting)),
        workers_(StartBlockPlayers(options, supply_, BlockCancel{&halt_, &lastNeeded_}, results_, setup.play)) {
    if (observer_.find)
      sequence_.SetFindListener(
          [this](const TenhouFind& find, const BatchTally& tally) { observer_.find(find, tally, Elapsed()); });
  }

  BatchResult Run() {
    while (!sequence_.Complete()) {
      CountFinished(results_.TakeAll(peers_ != nullptr ? kPeerPeriod : kCountingPeriod));
      if (peers_ != nullptr) CountFinished(peers_->Exchange(supply_, lastNeeded_.load()));
      SaveWhenDue();
      if (NothingMoreToWaitFor()) break;
      if (stop_.load() || OutOfTime()) halt_.store(true);
      if (observer_.progress) observer_.progress({GamesPlayed(), sequence_.Tally().tenhou, Elapsed()});
    }
    Finish();
    return Result();
  }

 private:
  static Count64 Resumed(BatchSequence& sequence, const SequenceState& state) {
    sequence.Resume(state);
    return sequence.Tally().games;
  }

  double Elapsed() const { return SecondsSince(start_); }
  bool OutOfTime() const { return options_.limits.seconds > 0 && Elapsed() >= options_.limits.seconds; }

  Count64 GamesPlayed() const {
    const std::uint64_t byPeers = peers_ != nullptr ? peers_->GamesPlayed() : 0;
    return resumedGames_ + static_cast<Count64>(workers_->GamesPlayed() + byPeers);
  }

  void CountFinished(std::vector<BlockResult> finished) {
    for (BlockResult& result : finished) sequence_.Add(std::move(result));
    lastNeeded_.store(sequence_.LastNeededBlock());
  }

  void SaveWhenDue() {
    if (!observer_.save || Elapsed() - savedAt_ < kSavePeriodSeconds) return;
    observer_.save(sequence_.State());
    savedAt_ = Elapsed();
  }

  // Without peers, threads that have all ended leave nothing to wait for;
  // with them, blocks may still be out until the batch halts.
  bool NothingMoreToWaitFor() const {
    return sequence_.Complete() || (workers_->AllEnded() && (peers_ == nullptr || halt_.load()));
  }

  void Finish() {
    halt_.store(true);
    workers_->Join();
    if (peers_ != nullptr) CountFinished(peers_->StopAll());
    if (!sequence_.Complete()) CountFinished(results_.TakeAll(std::chrono::milliseconds(0)));
    // Saved before the gaps are counted across: blocks cut short are played
    // again in full by the batch that resumes.
    if (observer_.save) observer_.save(sequence_.State());
    if (!sequence_.Complete()) sequence_.CountAcrossGaps();
  }

  BatchResult Result() const {
    BatchResult result;
    result.tally = sequence_.Tally();
    result.finds = sequence_.Finds();
    result.stop = ReasonOf(sequence_, options_.limits, stop_.load());
    result.elapsedSeconds = Elapsed();
    result.threads = std::max(1, options_.threads);
    result.processes = peers_ != nullptr ? peers_->Processes() : 1;
    result.device = options_.device;
    result.seed = options_.seed;
    result.limits = options_.limits;
    result.resumedGames = resumedGames_;
    result.startEpochSeconds = startEpochSeconds_;
    result.blocksCutShort = sequence_.CutShortBlocks();
    if (observer_.progress) observer_.progress({result.tally.games, result.tally.tenhou, result.elapsedSeconds});
    return result;
  }

  const BatchOptions& options_;
  const std::atomic<bool>& stop_;
  const BatchObserver& observer_;
  BatchPeers* const peers_;
  const Clock::time_point start_ = Clock::now();
  const double startEpochSeconds_ =
      std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
  BatchSequence sequence_;
  const Count64 resumedGames_;
  std::atomic<std::uint64_t> lastNeeded_;
  std::atomic<bool> halt_{false};
  SequenceSupply supply_;
  ResultQueue results_;
  std::unique_ptr<BlockPlayers> workers_;  // last: its players start at once and use the members above
  double savedAt_ = 0.0;
};

}  // namespace

BatchResult RunBatch(const BatchOptions& options, const std::atomic<bool>& stop, const BatchObserver& observer,
                     const BatchSetup& setup) {
  // The distance tables take a moment to build: before the clock starts, so
  // that a time limit and the first progress count games only.
  SharedDistanceTables();
  BatchRun run(options, stop, observer, setup);
  return run.Run();
}

}  // namespace kestrum
