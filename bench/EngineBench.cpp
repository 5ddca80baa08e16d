// Throughput of the game's hot path: the shuffle with its random exchanges,
// the deal, the sort and the complete-hand test, and the same game driven by
// std::mt19937 as a yardstick. The program prints the ratios that matter
// after the usual table, computed from the figures of this one run.

#include "batch/BlockPlayer.h"
#include "batch/BlockRandom.h"
#include "batch/BlockTables.h"
#include "bench/RatioReport.h"
#include "engine/CompleteHand.h"
#include "engine/HandDistance.h"
#include "engine/RandomSource.h"
#include "engine/WallOps.h"

#include <benchmark/benchmark.h>

#include <array>
#include <atomic>
#include <cstdio>
#include <random>
#include <utility>
#include <vector>

namespace kestrum {
namespace {

constexpr std::uint64_t kSeed = 20240611;

// std::mt19937 behind the same 15-bit interface: Next is the low 15 bits of
// each output. It offers no NextPair, so the shuffle draws a and b one by one.
class Mt19937Source {
 public:
  explicit Mt19937Source(std::uint64_t seed) : engine_(static_cast<std::uint32_t>(seed)) {}
  int Next() { return static_cast<int>(engine_() & 0x7FFFu); }

 private:
  std::mt19937 engine_;
};

template <class Source>
bool PlayGame(Wall& wall, Hand& hand, Source& source) {
  bool pairTaken = false;
  ShuffleWall(wall, source);
  DealHand(wall, hand);
  SortHand(hand);
  return IsCompleteHand(hand, pairTaken);
}

template <class Source>
void BM_Game(benchmark::State& state) {
  Source source(kSeed);
  Wall wall;
  FillWall(wall);
  Hand hand{};
  Count64 complete = 0;
  for (auto _ : state) {
    complete += PlayGame(wall, hand, source);
    benchmark::DoNotOptimize(hand);
  }
  benchmark::DoNotOptimize(complete);
  state.SetItemsProcessed(state.iterations());
}

// The floor under a game: the same number of exchanges drawn from the same
// generator in the same way, and nothing else. Written out here rather than
// calling ShuffleWall, so that any work added to the shuffle shows up in the
// ratio against this loop.
void BM_BareShuffleLoop(benchmark::State& state) {
  RandomSource source(kSeed);
  Wall wall;
  FillWall(wall);
  for (auto _ : state) {
    const unsigned exchanges = static_cast<unsigned>(source.Next()) % 1000u + 10000u;
    for (unsigned i = 0; i < exchanges; ++i) {
      const auto pair = source.NextPair();
      std::swap(wall[static_cast<unsigned>(pair.first) % 136u], wall[static_cast<unsigned>(pair.second) % 136u]);
    }
    benchmark::DoNotOptimize(wall);
  }
  state.SetItemsProcessed(state.iterations());
}

// One game as the batch plays it: the block's generator and wall, laid out
// as a block lays them out.
void RunBatchGame(benchmark::State& state, BlockRandom::Kernel kernel) {
  BlockTables tables(kSeed, 0, kernel);
  BlockRandom& source = tables.source;
  Wall& wall = tables.wall;
  Hand hand{};
  Count64 complete = 0;
  for (auto _ : state) {
    bool pairTaken = false;
    ShuffleWall(wall, source);
    DealHand(wall, hand);
    SortHand(hand);
    complete += IsCompleteHand(hand, pairTaken);
    benchmark::DoNotOptimize(hand);
  }
  benchmark::DoNotOptimize(complete);
  state.SetItemsProcessed(state.iterations());
}

void BM_BatchGame(benchmark::State& state) { RunBatchGame(state, BlockRandom::BestKernel()); }

// The same game as a block plays it now: both distances measured and
// counted, the first thirteen tiles before the sort.
void BM_BatchGame_WithDistances(benchmark::State& state) {
  BlockTables tables(kSeed, 0, BlockRandom::BestKernel());
  BlockRandom& source = tables.source;
  Wall& wall = tables.wall;
  const DistanceTables& distanceTables = SharedDistanceTables();
  GameDistances distances;
  Hand hand{};
  Count64 complete = 0;
  for (auto _ : state) {
    bool pairTaken = false;
    ShuffleWall(wall, source);
    DealHand(wall, hand);
    const DealDistance distance = DistanceOfDeal(distanceTables, wall.data());
    ++distances.dealer[static_cast<std::size_t>(distance.fourteen + 1)];
    ++distances.firstThirteen[static_cast<std::size_t>(distance.thirteen + 1)];
    SortHand(hand);
    complete += IsCompleteHand(hand, pairTaken);
    benchmark::DoNotOptimize(hand);
  }
  benchmark::DoNotOptimize(complete);
  benchmark::DoNotOptimize(distances);
  state.SetItemsProcessed(state.iterations());
}

// A whole block through PlayBlock, with its checks for cancellation and its
// progress count, per game.
void BM_PlayBlock(benchmark::State& state) {
  std::uint64_t block = 0;
  std::atomic<std::uint64_t> progress{0};
  for (auto _ : state) {
    const BlockResult result = PlayBlock(kSeed, block++, kBlockGames, BlockCancel{}, &progress);
    benchmark::DoNotOptimize(result.games);
  }
  state.SetItemsProcessed(state.iterations() * kBlockGames);
}

std::vector<Hand> RandomDeals(std::size_t count) {
  RandomSource source(kSeed);
  Wall wall;
  FillWall(wall);
  std::vector<Hand> deals(count);
  for (Hand& hand : deals) {
    ShuffleWall(wall, source);
    DealHand(wall, hand);
    SortHand(hand);
  }
  return deals;
}

// Complete hands of all three forms, built from random sets so that the
// search meets runs, triplets and pairs in every mix.
std::vector<Hand> CompleteHands(std::size_t count) {
  std::mt19937 engine(kSeed);
  std::vector<Hand> hands;
  hands.reserve(count);
  while (hands.size() < count) {
    std::array<int, kTileKinds + 1> counts{};
    std::vector<TileCode> tiles;
    const auto add = [&](TileCode code) {
      ++counts[code];
      tiles.push_back(code);
    };
    const unsigned shape = engine() % 8;
    if (shape == 0) {
      for (TileCode code : {1, 9, 10, 18, 19, 27, 28, 29, 30, 31, 32, 33, 34}) add(code);
      add(std::array{1, 9, 10, 18, 19, 27, 28, 29, 30, 31, 32, 33, 34}[engine() % 13]);
    } else if (shape == 1) {
      while (tiles.size() < 14) {
        const TileCode code = static_cast<TileCode>(engine() % 34 + 1);
        if (counts[code] == 0) add(code), add(code);
      }
    } else {
      for (int set = 0; set < 4; ++set) {
        const TileCode code = static_cast<TileCode>(engine() % 34 + 1);
        if (engine() % 2 == 0 && IsRunStart(code)) {
          add(code), add(code + 1), add(code + 2);
        } else {
          add(code), add(code), add(code);
        }
      }
      const TileCode pair = static_cast<TileCode>(engine() % 34 + 1);
      add(pair), add(pair);
    }
    bool fits = true;
    for (int c : counts) fits = fits && c <= kCopiesPerKind;
    if (!fits) continue;
    Hand hand;
    for (int k = 0; k < kHandSize; ++k) hand[k] = tiles[k];
    SortHand(hand);
    hands.push_back(hand);
  }
  return hands;
}

void RunCompleteHandTest(benchmark::State& state, const std::vector<Hand>& hands) {
  std::size_t next = 0;
  Count64 complete = 0;
  for (auto _ : state) {
    bool pairTaken = false;
    complete += IsCompleteHand(hands[next], pairTaken);
    next = next + 1 == hands.size() ? 0 : next + 1;
  }
  benchmark::DoNotOptimize(complete);
  state.SetItemsProcessed(state.iterations());
}

void BM_IsCompleteHand_RandomDeals(benchmark::State& state) {
  static const std::vector<Hand> deals = RandomDeals(4096);
  RunCompleteHandTest(state, deals);
}

void BM_IsCompleteHand_CompleteHands(benchmark::State& state) {
  static const std::vector<Hand> hands = CompleteHands(4096);
  RunCompleteHandTest(state, hands);
}

// Deals of fourteen tiles, sorted, many more than the caches hold the
// table entries of, so that the distance's table loads miss as in a batch.
// A partial shuffle per deal keeps the set-up short.
std::vector<Hand> ManyRandomDeals(std::size_t count) {
  std::mt19937_64 engine(kSeed);
  Wall wall;
  FillWall(wall);
  std::vector<Hand> deals(count);
  for (Hand& hand : deals) {
    for (int i = 0; i < kHandSize; ++i) std::swap(wall[i], wall[i + engine() % (kWallSize - i)]);
    DealHand(wall, hand);
    SortHand(hand);
  }
  return deals;
}

const std::vector<Hand>& DistanceDeals() {
  static const std::vector<Hand> deals = ManyRandomDeals(1u << 20);
  return deals;
}

void BM_IsCompleteHand_ManyDeals(benchmark::State& state) { RunCompleteHandTest(state, DistanceDeals()); }

void BM_HandDistance_ManyDeals(benchmark::State& state) {
  const std::vector<Hand>& deals = DistanceDeals();
  const DistanceTables& tables = SharedDistanceTables();
  std::size_t next = 0;
  int sum = 0;
  for (auto _ : state) {
    sum += DistanceOfTiles(tables, deals[next].data(), kHandSize).best;
    next = next + 1 == deals.size() ? 0 : next + 1;
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_BareShuffleLoop);
BENCHMARK(BM_BatchGame);
BENCHMARK(BM_BatchGame_WithDistances);
// The kernels of processors without AVX2, for comparison.
BENCHMARK_CAPTURE(RunBatchGame, sse2, BlockRandom::Kernel::kSse2)->Name("BM_BatchGame/sse2");
BENCHMARK_CAPTURE(RunBatchGame, portable, BlockRandom::Kernel::kPortable)->Name("BM_BatchGame/portable");
BENCHMARK(BM_PlayBlock)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Game<RandomSource>)->Name("BM_Game/RandomSource");
BENCHMARK(BM_Game<Mt19937Source>)->Name("BM_Game/mt19937");
BENCHMARK(BM_IsCompleteHand_RandomDeals);
BENCHMARK(BM_IsCompleteHand_CompleteHands);
BENCHMARK(BM_IsCompleteHand_ManyDeals);
BENCHMARK(BM_HandDistance_ManyDeals);

}  // namespace
}  // namespace kestrum

int main(int argc, char** argv) {
  using kestrum::bench::Ratio;
  return kestrum::bench::RunWithRatios(
      argc, argv,
      {
          Ratio{"one game / bare shuffle loop (time)", "BM_Game/RandomSource", "BM_BareShuffleLoop",
                Ratio::kCost, Ratio::kAtMost, 1.25},
          Ratio{"batch games/s / bare shuffle loop", "BM_BatchGame", "BM_BareShuffleLoop", Ratio::kSpeedup,
                Ratio::kAtLeast, 1.6},
          Ratio{"hands/s distance / complete-hand test, the same deals", "BM_HandDistance_ManyDeals",
                "BM_IsCompleteHand_ManyDeals", Ratio::kSpeedup, Ratio::kAtLeast, 1.0},
          Ratio{"batch game with both distances / without (time)", "BM_BatchGame_WithDistances", "BM_BatchGame",
                Ratio::kCost, Ratio::kAtMost, 1.03},
          Ratio{"games/s RandomSource / mt19937", "BM_Game/RandomSource", "BM_Game/mt19937", Ratio::kSpeedup,
                Ratio::kAtLeast, 3.0},
      });
}
