// The batch on threads: the same seed and limit give the same games,
// heavenly hands and runs on 1, 2, 3 or 64 threads. The rules are tried with
// blocks that find a heavenly hand every hundred games or so, at random
// moments, against the sequence worked out here game by game; the engine's
// own blocks are tried on seeds that find one early.

#include "batch/BatchRunner.h"
#include "batch/DistanceFit.h"
#include "batch/ExactDistance.h"

#include <gtest/gtest.h>

#include "BatchTestSupport.h"

#include <chrono>
#include <string>
#include <thread>

namespace kestrum {
namespace {

using test::kNeverStop;
using test::Playing;

std::uint64_t Hash(std::uint64_t seed, std::uint64_t block, std::uint64_t game) {
  std::uint64_t x = seed * 0x9E3779B97F4A7C15ULL ^ block * 0xC2B2AE3D27D4EB4FULL ^ game;
  x = (x ^ (x >> 31)) * 0xBF58476D1CE4E5B9ULL;
  return x ^ (x >> 29);
}

bool IsFrequentFind(std::uint64_t seed, std::uint64_t block, std::uint64_t game) {
  return Hash(seed, block, game) % 97 == 0;
}

// Finishes blocks in a scrambled order: each waits a moment that depends on
// the block before it plays.
BlockResult FrequentFinds(std::uint64_t seed, std::uint64_t block, std::uint32_t games, const BlockCancel& cancel,
                          std::atomic<std::uint64_t>* progress) {
  std::this_thread::sleep_for(std::chrono::microseconds(Hash(seed, block, 99999) % 3000));
  BlockResult result;
  result.block = block;
  for (; result.games < games && !cancel.Cancelled(block); ++result.games) {
    test::CountMadeUpGame(result, block, result.games);
    if (IsFrequentFind(seed, block, result.games))
      result.finds.push_back(test::MadeUpFind(result, result.games, HandForm::kStandard, {}));
    if (progress != nullptr) progress->fetch_add(1);
  }
  return result;
}

// The sequence index of every heavenly hand among the first `games` games,
// or of the first `tenhou` of them, worked out one game after another.
std::vector<std::uint64_t> SequenceFinds(std::uint64_t seed, Count64 games, Count64 tenhou) {
  std::vector<std::uint64_t> finds;
  for (std::uint64_t index = 0;; ++index) {
    if (games > 0 && index >= static_cast<std::uint64_t>(games)) break;
    if (tenhou > 0 && finds.size() >= static_cast<std::size_t>(tenhou)) break;
    if (IsFrequentFind(seed, index / kBlockGames, index % kBlockGames)) finds.push_back(index);
  }
  return finds;
}

BatchOptions Options(int threads, Count64 games, Count64 tenhou, std::uint64_t seed) {
  BatchOptions options;
  options.threads = threads;
  options.limits.games = games;
  options.limits.tenhou = tenhou;
  options.seed = seed;
  return options;
}

// The histograms the made-up games of the first `games` of the sequence give.
DistanceTally MadeUpDistances(Count64 games) {
  DistanceTally tally;
  for (Count64 index = 0; index < games;) {
    const auto block = static_cast<std::uint64_t>(index) / kBlockGames;
    BlockResult result;
    for (std::uint32_t game = 0; game < kBlockGames && index < games; ++game, ++index)
      test::CountMadeUpGame(result, block, game);
    tally.Add(result.distances);
  }
  return tally;
}

struct Case {
  int threads;
  Count64 tenhou;
};

class HeavenlyHandLimit : public ::testing::TestWithParam<Case> {};

TEST_P(HeavenlyHandLimit, EndsAtExactlyTheKthOfTheSequence) {
  const auto [threads, tenhou] = GetParam();
  const std::uint64_t seed = 5;
  const std::vector<std::uint64_t> expected = SequenceFinds(seed, 0, tenhou);
  std::vector<Count64> progressTenhou;
  BatchObserver observer;
  observer.progress = [&](const BatchProgress& progress) { progressTenhou.push_back(progress.tenhou); };
  const BatchResult result = RunBatch(Options(threads, 0, tenhou, seed), kNeverStop, observer, Playing(FrequentFinds));

  ASSERT_EQ(result.finds.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(result.finds[i].sequenceIndex, expected[i]) << i;
    EXPECT_EQ(result.finds[i].runLength, static_cast<Count64>(expected[i] - (i == 0 ? -1 : expected[i - 1])));
  }
  EXPECT_EQ(result.tally.games, static_cast<Count64>(expected.back()) + 1);  // not one game past the K-th
  // The games' distances stop at the K-th too, inside its block.
  EXPECT_EQ(result.tally.distances, MadeUpDistances(result.tally.games));
  EXPECT_EQ(result.tally.tenhou, tenhou);
  EXPECT_EQ(result.stop, StopReason::kTenhou);
  EXPECT_TRUE(result.Reproducible());
  // The progress count of heavenly hands only grows, never passes K and ends at it.
  ASSERT_FALSE(progressTenhou.empty());
  EXPECT_TRUE(std::is_sorted(progressTenhou.begin(), progressTenhou.end()));
  EXPECT_EQ(progressTenhou.back(), tenhou);
}

std::vector<Case> HeavenlyHandCases() {
  std::vector<Case> cases;
  for (int threads : {1, 2, 3, 64})
    for (Count64 tenhou : {1, 2, 3, 40}) cases.push_back({threads, tenhou});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Threads, HeavenlyHandLimit, ::testing::ValuesIn(HeavenlyHandCases()),
                         [](const ::testing::TestParamInfo<Case>& param) {
                           return "threads" + std::to_string(param.param.threads) + "_tenhou" +
                                  std::to_string(param.param.tenhou);
                         });

TEST(BatchRunner, GamesLimitGivesTheSequencesFindsOnAnyNumberOfThreads) {
  const Count64 games = 7 * kBlockGames + 13;
  const std::vector<std::uint64_t> expected = SequenceFinds(9, games, 0);
  for (int threads : {1, 2, 3, 64}) {
    std::vector<std::uint64_t> told;
    BatchObserver observer;
    observer.find = [&](const TenhouFind& find, const BatchTally& tally, double) {
      told.push_back(find.sequenceIndex);
      EXPECT_EQ(tally.tenhou, static_cast<Count64>(told.size()));
    };
    const BatchResult result = RunBatch(Options(threads, games, 0, 9), kNeverStop, observer, Playing(FrequentFinds));
    EXPECT_EQ(result.tally.games, games) << threads;
    EXPECT_EQ(result.tally.distances, MadeUpDistances(games)) << threads;
    EXPECT_EQ(told, expected) << threads;
    EXPECT_EQ(result.stop, StopReason::kGames);
  }
}

TEST(BatchRunner, StopFlagEndsWithWhatWasPlayedAndSaysItIsNotReproducible) {
  std::atomic<bool> stop{false};
  BatchObserver observer;
  int calls = 0;
  observer.progress = [&](const BatchProgress&) {
    if (++calls == 2) stop.store(true);
  };
  const BatchResult result = RunBatch(Options(2, 0, 0, 5), stop, observer);
  EXPECT_EQ(result.stop, StopReason::kInterrupted);
  EXPECT_FALSE(result.Reproducible());
  EXPECT_GT(result.tally.games, 0);

  BatchOptions timed = Options(1, 0, 0, 9);
  timed.limits.seconds = 0.2;
  const BatchResult byTime = RunBatch(timed, kNeverStop);
  EXPECT_EQ(byTime.stop, StopReason::kSeconds);
  EXPECT_GE(byTime.elapsedSeconds, 0.2);
  EXPECT_LT(byTime.elapsedSeconds, 10.0);
}

// With the engine's own blocks. Seed 810 finds its first heavenly hand in
// its third block, at game 2288, which keeps these short even in a
// sanitizer build.
constexpr std::uint64_t kEarlySeed = 810;

TEST(BatchRunner, EnginesBlocksGiveTheSameHeavenlyHandOnOneTwoAndThreeThreads) {
  const BatchResult one = RunBatch(Options(1, 0, 1, kEarlySeed), kNeverStop);
  ASSERT_EQ(one.finds.size(), 1u);
  EXPECT_EQ(one.tally.games, one.finds[0].gamesSoFar);
  EXPECT_EQ(one.finds[0].runLength, one.tally.games);
  for (int threads : {2, 3}) {
    const BatchResult many = RunBatch(Options(threads, 0, 1, kEarlySeed), kNeverStop);
    ASSERT_EQ(many.finds.size(), 1u);
    EXPECT_EQ(many.finds[0].sequenceIndex, one.finds[0].sequenceIndex);
    EXPECT_EQ(many.finds[0].hand, one.finds[0].hand);
    EXPECT_EQ(many.finds[0].form, one.finds[0].form);
    EXPECT_EQ(many.tally.games, one.tally.games);
    EXPECT_EQ(many.tally.distances, one.tally.distances);
  }
  // Every game is measured, and the one complete hand is the one game at -1.
  Count64 dealer = 0;
  Count64 thirteen = 0;
  for (int slot = 0; slot < kDistanceSlots; ++slot) {
    dealer += one.tally.distances.dealer[slot];
    thirteen += one.tally.distances.firstThirteen[slot];
  }
  EXPECT_EQ(dealer, one.tally.games);
  EXPECT_EQ(thirteen, one.tally.games);
  EXPECT_EQ(one.tally.distances.dealer[0], 1);
  EXPECT_EQ(one.tally.distances.firstThirteen[0], 0);
  // The same games under a games limit that reaches just past it.
  const BatchResult byGames = RunBatch(Options(3, one.tally.games + 10, 0, kEarlySeed), kNeverStop);
  ASSERT_EQ(byGames.finds.size(), 1u);
  EXPECT_EQ(byGames.finds[0].sequenceIndex, one.finds[0].sequenceIndex);
  EXPECT_EQ(byGames.finds[0].hand, one.finds[0].hand);
  EXPECT_EQ(byGames.tally.distances.dealer[0], 1);
}

// The engine's games against the exact distance distributions: the
// dealer's fourteen and the wall's first thirteen tiles as dealt. A fixed
// seed, so no chance failure; a histogram of the wrong hands (the sorted
// hand less its last tile, say) or a shuffle that mixes too little would
// not fit.
TEST(BatchRunner, EnginesDistancesFitTheExactLaw) {
  const Count64 games = 24 * kBlockGames;
  const BatchResult result = RunBatch(Options(2, games, 0, 31), kNeverStop);
  const ExactDistances exact = CountDealsByDistance();
  for (const bool dealer : {true, false}) {
    const DistanceCounts& counts = dealer ? exact.dealer : exact.nonDealer;
    const auto& seen = dealer ? result.tally.distances.dealer : result.tally.distances.firstThirteen;
    std::vector<std::uint64_t> observed;
    std::vector<double> probability;
    for (int slot = 0; slot < kDistanceSlots; ++slot) {
      observed.push_back(static_cast<std::uint64_t>(seen[slot]));
      probability.push_back(Ratio(counts.At(DistanceForm::kBest, slot - 1), counts.deals));
    }
    const auto fit = FitDistances(observed, probability, -1);
    ASSERT_TRUE(fit.has_value());
    EXPECT_GE(fit->degreesOfFreedom, 4);
    EXPECT_GT(fit->pValue, 1e-4) << (dealer ? "dealer" : "first thirteen") << " chi-square " << fit->chiSquare;
  }
}

}  // namespace
}  // namespace kestrum
