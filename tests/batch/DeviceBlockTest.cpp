// The GPU's games played on this processor: the same generator values, the
// same walls game after game in the striped layout, the same hand test
// answers and the same blocks, heavenly hands and limits as the CPU's own
// kernel.

#include "batch/DeviceBlock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "BatchTestSupport.h"
#include "batch/BatchRunner.h"
#include "batch/BlockPlayer.h"
#include "batch/BlockTables.h"
#include "batch/DeviceOutcome.h"
#include "engine/CompleteHand.h"

namespace kestrum {
namespace {

// Where the code runs many times slower, fewer of the blocks below are
// played; each check still runs.
#ifdef KESTRUM_SLOW_BUILD
constexpr bool kSlowBuild = true;
#else
constexpr bool kSlowBuild = false;
#endif

TEST(DeviceBlockTest, StreamGivesTheBlockGeneratorsValues) {
  for (const std::uint64_t seed : {0ULL, 1ULL, 0xFFFFFFFFFFFFFFFFULL})
    for (const std::uint64_t block : {0ULL, 5ULL, 123456789ULL}) {
      BlockRandom cpu(seed, block);
      StepStream gpu(seed, block);
      for (int k = 0; k < 5000; ++k)
        ASSERT_EQ(gpu.Next(), static_cast<unsigned>(cpu.Next())) << seed << " " << block << " " << k;
    }
}

TEST(DeviceBlockTest, Mod136IsExactForEveryValue) {
  for (unsigned v = 0; v <= 32767; ++v) ASSERT_EQ(Mod136(v), v % 136) << v;
}

// The 32 walls of a warp, each its own block, shuffled in turn game after
// game: every wall stays the CPU's wall for its block, so the layout keeps
// the threads apart and the step-at-a-time pairs keep the order of values.
TEST(DeviceBlockTest, StripedWallsOfAWarpFollowTheCpuWalls) {
  constexpr std::uint64_t kSeed = 42;
  std::vector<std::uint8_t> stripes(kStripedWarpBytes, 0xEE);
  std::vector<StripedWall> walls;
  std::vector<StepStream> streams;
  std::vector<std::unique_ptr<BlockTables>> cpu;
  for (unsigned t = 0; t < kWarpThreads; ++t) {
    walls.emplace_back(stripes.data(), t);
    walls.back().Fill();
    streams.emplace_back(kSeed, t);
    cpu.push_back(std::make_unique<BlockTables>(kSeed, t));
  }
  for (int game = 0; game < 6; ++game)
    for (unsigned t = 0; t < kWarpThreads; ++t) {
      ShuffleStriped(walls[t], streams[t]);
      ShuffleWall(cpu[t]->wall, cpu[t]->source);
      for (unsigned p = 0; p < kWallSize; ++p)
        ASSERT_EQ(walls[t].At(p), static_cast<unsigned>(cpu[t]->wall[p])) << "game " << game << " thread " << t;
    }
}

HandForm CountedForm(const Hand& hand) {
  KindCounts counts;
  for (TileCode code : hand) counts.Add(static_cast<unsigned>(code));
  return counts.Classify();
}

// A complete hand of four random sets and a pair, at most four of a kind.
Hand RandomCompleteHand(std::mt19937_64& random) {
  for (;;) {
    int counts[kTileKinds + 1] = {};
    std::vector<TileCode> tiles;
    const auto take = [&](TileCode code) {
      tiles.push_back(code);
      return ++counts[code] <= kCopiesPerKind;
    };
    bool fits = true;
    for (int set = 0; set < 4; ++set) {
      const auto start = static_cast<TileCode>(random() % kTileKinds + 1);
      if (random() % 2 == 0 && IsRunStart(start))
        fits = take(start) && take(start + 1) && take(start + 2) && fits;
      else
        fits = take(start) && take(start) && take(start) && fits;
    }
    const auto pair = static_cast<TileCode>(random() % kTileKinds + 1);
    fits = take(pair) && take(pair) && fits;
    if (!fits) continue;
    Hand hand{};
    std::copy(tiles.begin(), tiles.end(), hand.begin());
    SortHand(hand);
    return hand;
  }
}

// Random deals (nearly all incomplete), built complete hands, seven pairs
// and thirteen orphans, with one tile changed at random as near misses.
TEST(DeviceBlockTest, CountedTestAgreesWithTheEnginesTest) {
  std::mt19937_64 random(7);
  Wall wall;
  FillWall(wall);
  int complete = 0;
  const auto check = [&](Hand hand) {
    SortHand(hand);
    bool pairTaken = false;
    const HandForm expected = ClassifyHand(hand, pairTaken);
    ASSERT_EQ(CountedForm(hand), expected) << HandText(hand);
    complete += expected != HandForm::kNone;
  };
  const auto nearMiss = [&](Hand hand) {
    const auto at = random() % kHandSize;
    hand[at] = static_cast<TileCode>(random() % kTileKinds + 1);
    if (std::count(hand.begin(), hand.end(), hand[at]) <= kCopiesPerKind) check(hand);
  };
  for (int k = 0; k < 100000; ++k) {
    std::shuffle(wall.begin(), wall.end(), random);
    Hand hand{};
    DealHand(wall, hand);
    check(hand);
  }
  for (int k = 0; k < 30000; ++k) {
    const Hand hand = RandomCompleteHand(random);
    check(hand);
    nearMiss(hand);
  }
  for (int k = 0; k < 3000; ++k) {
    std::vector<TileCode> kinds(kTileKinds);
    for (int c = 0; c < kTileKinds; ++c) kinds[c] = c + 1;
    std::shuffle(kinds.begin(), kinds.end(), random);
    Hand pairs{};
    for (int p = 0; p < 7; ++p) pairs[2 * p] = pairs[2 * p + 1] = kinds[p];
    check(pairs);
    nearMiss(pairs);
    Hand orphans = kFixedStartHand;
    orphans[13] = kFixedStartHand[random() % 13];
    check(orphans);
    nearMiss(orphans);
  }
  EXPECT_GT(complete, 30000);
}

void ExpectSameResult(const BlockResult& gpu, const BlockResult& cpu) {
  EXPECT_EQ(gpu.block, cpu.block);
  EXPECT_EQ(gpu.games, cpu.games);
  EXPECT_EQ(gpu.distances, cpu.distances) << "block " << cpu.block;
  ASSERT_EQ(gpu.finds.size(), cpu.finds.size()) << "block " << cpu.block;
  for (std::size_t k = 0; k < cpu.finds.size(); ++k) {
    EXPECT_EQ(gpu.finds[k].gameInBlock, cpu.finds[k].gameInBlock);
    EXPECT_EQ(gpu.finds[k].form, cpu.finds[k].form);
    EXPECT_EQ(gpu.finds[k].hand, cpu.finds[k].hand);
    EXPECT_EQ(gpu.finds[k].through, cpu.finds[k].through);
  }
}

BlockResult DeviceResult(std::uint64_t seed, std::uint64_t block, std::uint32_t games) {
  const auto result = ToBlockResult(block, PlayDeviceBlockHere(seed, {block, games}));
  EXPECT_TRUE(result.has_value());
  return result.value_or(BlockResult{});
}

// Blocks without a heavenly hand and blocks known to hold one (seed 1 finds
// its first five in blocks 314, 478, 671, 941 and 1021), also cut short.
TEST(DeviceBlockTest, BlocksEqualTheCpuBlocks) {
  struct Case {
    std::uint64_t seed;
    std::uint64_t block;
    std::uint32_t games;
  };
  const Case cases[] = {{1, 314, kBlockGames},
                        {1, 478, kBlockGames},
                        {1, 671, kBlockGames},
                        {1, 941, kBlockGames},
                        {1, 1021, kBlockGames},
                        {3, 2, kBlockGames},
                        {7, 68, kBlockGames},
                        {9, 0, kBlockGames},
                        {9, 1, 300},
                        {0xFFFFFFFFFFFFFFFFULL, 1ULL << 40, 100}};
  int finds = 0;
  int played = 0;
  for (const Case& c : cases) {
    if (kSlowBuild && ++played % 3 != 1) continue;
    const BlockResult cpu = PlayBlock(c.seed, c.block, c.games, BlockCancel{});
    ExpectSameResult(DeviceResult(c.seed, c.block, c.games), cpu);
    finds += static_cast<int>(cpu.finds.size());
  }
  EXPECT_GE(finds, kSlowBuild ? 3 : 7);
}

// Two tests that find often, on counts and on the sorted hand: three or
// more of 1m (a block holds a few), or of 1m, 9m or 1p (a block holds more
// than the outcome keeps).
bool ThreeOfOne(const Hand& hand) { return std::count(hand.begin(), hand.end(), 1) >= 3; }
bool ThreeOfAnEnd(const Hand& hand) {
  return ThreeOfOne(hand) || std::count(hand.begin(), hand.end(), 9) >= 3 ||
         std::count(hand.begin(), hand.end(), 10) >= 3;
}

struct ThreeOfOneCounted {
  HandForm operator()(const KindCounts& counts) const {
    return counts.Count(1) >= 3 ? HandForm::kStandard : HandForm::kNone;
  }
};
struct ThreeOfAnEndCounted {
  HandForm operator()(const KindCounts& counts) const {
    return counts.Count(1) >= 3 || counts.Count(9) >= 3 || counts.Count(10) >= 3 ? HandForm::kSevenPairs
                                                                                 : HandForm::kNone;
  }
};

std::vector<std::pair<std::uint32_t, Hand>> CpuFinds(std::uint64_t seed, std::uint64_t block,
                                                     bool (*test)(const Hand&)) {
  BlockTables tables(seed, block);
  ShuffleWall(tables.wall, tables.source);
  std::vector<std::pair<std::uint32_t, Hand>> finds;
  for (std::uint32_t game = 0; game < kBlockGames; ++game) {
    ShuffleWall(tables.wall, tables.source);
    Hand hand{};
    DealHand(tables.wall, hand);
    SortHand(hand);
    if (test(hand)) finds.push_back({game, hand});
  }
  return finds;
}

template <class Counted>
DeviceBlockOutcome DeviceOutcomeWith(std::uint64_t seed, std::uint64_t block) {
  std::vector<std::uint8_t> walls(kStripedWarpBytes);
  std::vector<std::uint8_t> tallies(kStripedTallyWarpBytes);
  const DevicePlace place{StripedWall(walls.data(), 31), StripedTally(tallies.data(), 31), &SharedDistanceTables()};
  DeviceBlockOutcome outcome{};
  PlayDeviceBlock(seed, DeviceTask{block, kBlockGames}, place, outcome, Counted());
  return outcome;
}

TEST(DeviceBlockTest, SeveralFindsInABlockAreKeptInGameOrder) {
  int blocksWithSeveral = 0;
  for (std::uint64_t block = 0; block < (kSlowBuild ? 4u : 8u); ++block) {
    const auto cpu = CpuFinds(5, block, ThreeOfOne);
    const DeviceBlockOutcome outcome = DeviceOutcomeWith<ThreeOfOneCounted>(5, block);
    ASSERT_EQ(outcome.finds, cpu.size());
    if (cpu.size() > kKeptFinds) continue;
    blocksWithSeveral += cpu.size() >= 2;
    const auto result = ToBlockResult(block, outcome);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->games, kBlockGames);
    ASSERT_EQ(result->finds.size(), cpu.size());
    for (std::size_t k = 0; k < cpu.size(); ++k) {
      EXPECT_EQ(result->finds[k].gameInBlock, cpu[k].first);
      EXPECT_EQ(result->finds[k].hand, Compact(cpu[k].second));
      EXPECT_EQ(result->finds[k].form, HandForm::kStandard);
    }
  }
  EXPECT_GE(blocksWithSeveral, kSlowBuild ? 1 : 2);
}

TEST(DeviceBlockTest, ABlockWithMoreFindsThanKeptIsLeftToTheProcessor) {
  const auto cpu = CpuFinds(5, 3, ThreeOfAnEnd);
  ASSERT_GT(cpu.size(), kKeptFinds);
  const DeviceBlockOutcome outcome = DeviceOutcomeWith<ThreeOfAnEndCounted>(5, 3);
  EXPECT_EQ(outcome.finds, cpu.size());
  for (unsigned k = 0; k < kKeptFinds; ++k) EXPECT_EQ(outcome.kept[k].gameInBlock, cpu[k].first);
  EXPECT_FALSE(ToBlockResult(3, outcome).has_value());
}

BlockResult PlayOnDeviceCode(std::uint64_t seed, std::uint64_t block, std::uint32_t games, const BlockCancel&,
                             std::atomic<std::uint64_t>* progress) {
  BlockResult result = DeviceResult(seed, block, games);
  if (progress != nullptr) progress->fetch_add(result.games);
  return result;
}

// The block where a heavenly-hand limit ends is played whole on the GPU; the
// batch still counts up to the K-th heavenly hand and not a game more, its
// games by distance too.
TEST(DeviceBlockTest, HeavenlyHandLimitsEndWhereTheCpusDo) {
  struct Case {
    std::uint64_t seed;
    Count64 tenhou;
  };
  for (const Case c : {Case{3, 1}, Case{7, 2}}) {
    if (kSlowBuild && c.tenhou > 1) continue;
    BatchOptions options;
    options.threads = 2;
    options.seed = c.seed;
    options.limits.tenhou = c.tenhou;
    const BatchResult cpu = RunBatch(options, test::kNeverStop);
    const BatchResult gpu = RunBatch(options, test::kNeverStop, {}, test::Playing(PlayOnDeviceCode));
    EXPECT_EQ(gpu.stop, StopReason::kTenhou);
    EXPECT_EQ(gpu.tally.games, cpu.tally.games);
    EXPECT_EQ(gpu.tally.tenhou, c.tenhou);
    EXPECT_EQ(gpu.tally.standard, cpu.tally.standard);
    EXPECT_EQ(gpu.tally.sevenPairs, cpu.tally.sevenPairs);
    // Counted up to the K-th heavenly hand inside its block, not the block's end.
    EXPECT_EQ(gpu.tally.distances, cpu.tally.distances);
    ASSERT_EQ(gpu.finds.size(), cpu.finds.size());
    EXPECT_EQ(gpu.finds.back().sequenceIndex, cpu.finds.back().sequenceIndex);
    EXPECT_EQ(gpu.finds.back().hand, cpu.finds.back().hand);
  }
}

}  // namespace
}  // namespace kestrum
