#include "batch/BatchRunner.h"

#include <algorithm>
#include <chrono>

#include "batch/BatchPeers.h"
#include "batch/BatchSequence.h"
#include "batch/BlockSupply.h"
#include "batch/BlockWorkers.h"
#include "batch/ResultQueue.h"

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

}  // namespace

BatchResult RunBatch(const BatchOptions& options, const std::atomic<bool>& stop, const BatchObserver& observer,
                     const BatchSetup& setup) {
  const SequenceState& resumeFrom = setup.resumeFrom;
  BatchPeers* const peers = setup.peers;
  const Clock::time_point start = Clock::now();
  BatchSequence sequence(options.limits);
  sequence.Resume(resumeFrom);
  const Count64 resumedGames = sequence.Tally().games;
  if (observer.find)
    sequence.SetFindListener(
        [&](const TenhouFind& find, const BatchTally& tally) { observer.find(find, tally, SecondsSince(start)); });
  std::atomic<std::uint64_t> lastNeeded{sequence.LastNeededBlock()};
  std::atomic<bool> halt{false};
  SequenceSupply supply(options.limits, lastNeeded, resumeFrom.countedBlocks, BlocksOf(resumeFrom.waiting));
  ResultQueue results;
  BlockWorkers workers(std::max(1, options.threads), options.seed, supply, BlockCancel{&halt, &lastNeeded}, results,
                       setup.play);

  const auto count = [&](std::vector<BlockResult> finished) {
    for (BlockResult& result : finished) sequence.Add(std::move(result));
    lastNeeded.store(sequence.LastNeededBlock());
  };
  double savedAt = 0.0;
  const auto gamesPlayed = [&] {
    return static_cast<Count64>(workers.GamesPlayed() + (peers != nullptr ? peers->GamesPlayed() : 0));
  };
  while (!sequence.Complete()) {
    count(results.TakeAll(peers != nullptr ? kPeerPeriod : kCountingPeriod));
    if (peers != nullptr) count(peers->Exchange(supply, lastNeeded.load()));
    if (observer.save && SecondsSince(start) - savedAt >= kSavePeriodSeconds) {
      observer.save(sequence.State());
      savedAt = SecondsSince(start);
    }
    // Without peers, threads that have all ended leave nothing to wait for;
    // with them, blocks may still be out until the batch halts.
    if (sequence.Complete() || (workers.AllEnded() && (peers == nullptr || halt.load()))) break;
    const bool outOfTime = options.limits.seconds > 0 && SecondsSince(start) >= options.limits.seconds;
    if (stop.load() || outOfTime) halt.store(true);
    if (observer.progress) observer.progress({gamesPlayed(), sequence.Tally().tenhou, SecondsSince(start)});
  }
  halt.store(true);
  workers.Join();
  if (peers != nullptr) count(peers->StopAll());
  if (!sequence.Complete()) count(results.TakeAll(std::chrono::milliseconds(0)));
  // Saved before the gaps are counted across: blocks cut short are played
  // again in full by the batch that resumes.
  if (observer.save) observer.save(sequence.State());
  if (!sequence.Complete()) sequence.CountAcrossGaps();

  BatchResult result;
  result.tally = sequence.Tally();
  result.finds = sequence.Finds();
  result.stop = ReasonOf(sequence, options.limits, stop.load());
  result.elapsedSeconds = SecondsSince(start);
  result.threads = std::max(1, options.threads);
  result.processes = peers != nullptr ? peers->Processes() : 1;
  result.seed = options.seed;
  result.limits = options.limits;
  result.resumedGames = resumedGames;
  if (observer.progress) observer.progress({result.tally.games, result.tally.tenhou, result.elapsedSeconds});
  return result;
}

}  // namespace kestrum
