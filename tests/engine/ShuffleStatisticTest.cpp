// Whether the shuffle mixes the wall: over many seeded games every wall
// position must hold each tile kind with the frequency 4 / 136, judged by a
// chi-square test per position against fixed critical values. The same
// statistic run on deliberately broken sources must fail, which shows that
// it would notice a broken shuffle or a biased generator.

#include "TestScale.h"
#include "engine/RandomSource.h"
#include "engine/WallOps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <iostream>
#include <numeric>
#include <thread>
#include <vector>

namespace kestrum {
namespace {

// Chi-square with 33 degrees of freedom (34 kinds at one position): the
// 1 - 1e-5 quantile is about 80. Over 136 positions an honest shuffle passes
// with probability above 0.998, and the seed is fixed in any case.
constexpr double kPositionCritical = 80.0;
// The sum over all positions, 136 * 33 = 4488 degrees of freedom: mean 4488,
// standard deviation about 95; five deviations above.
constexpr double kWallCritical = 4488.0 + 5.0 * 95.0;

struct WallStatistic {
  std::array<double, kWallSize> perPosition{};
  double Total() const { return std::accumulate(perPosition.begin(), perPosition.end(), 0.0); }
  double Worst() const { return *std::max_element(perPosition.begin(), perPosition.end()); }
};

using KindCounts = std::vector<std::array<std::int64_t, kTileKinds + 1>>;

// Plays `games` shuffles in a row on one wall, as a run does, and adds the
// kind at each position after each of them to counts. beforeGame(source)
// runs before every shuffle.
template <class Source, class BeforeGame>
void CountWall(Source& source, int games, BeforeGame beforeGame, KindCounts& counts) {
  Wall wall;
  FillWall(wall);
  for (int game = 0; game < games; ++game) {
    beforeGame(source);
    ShuffleWall(wall, source);
    for (int p = 0; p < kWallSize; ++p) ++counts[p][wall[p]];
  }
}

WallStatistic ChiSquare(const KindCounts& counts, std::int64_t games) {
  WallStatistic statistic;
  const double expected = double(games) * kCopiesPerKind / kWallSize;
  for (int p = 0; p < kWallSize; ++p) {
    double chi = 0.0;
    for (TileCode code = 1; code <= kTileKinds; ++code) {
      const double d = double(counts[p][code]) - expected;
      chi += d * d / expected;
    }
    statistic.perPosition[p] = chi;
  }
  return statistic;
}

template <class Source, class BeforeGame>
WallStatistic MeasureWall(Source& source, int games, BeforeGame beforeGame) {
  KindCounts counts(kWallSize);
  CountWall(source, games, beforeGame, counts);
  return ChiSquare(counts, games);
}

template <class Source>
WallStatistic MeasureWall(Source& source, int games) {
  return MeasureWall(source, games, [](Source&) {});
}

// The honest measurement is long, so it is shared out over two threads,
// each with its own seeded source and its own wall, as batch runs do.
WallStatistic MeasureWallOnTwoThreads(std::uint64_t seed, int gamesPerThread) {
  std::array<KindCounts, 2> counts{KindCounts(kWallSize), KindCounts(kWallSize)};
  std::array<std::thread, 2> threads;
  for (std::size_t t = 0; t < threads.size(); ++t) {
    threads[t] = std::thread([&counts, t, seed, gamesPerThread] {
      RandomSource source(seed + t);
      CountWall(source, gamesPerThread, [](RandomSource&) {}, counts[t]);
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int p = 0; p < kWallSize; ++p)
    for (TileCode code = 1; code <= kTileKinds; ++code) counts[0][p][code] += counts[1][p][code];
  return ChiSquare(counts[0], 2 * std::int64_t{gamesPerThread});
}

// Two million games in an optimised build, a sample under the sanitizers.
constexpr int kGamesPerThread = testing::kSlowBuild ? 1500 : 1000000;
// Broken sources fail by far, so fewer games show it.
constexpr int kBrokenGames = testing::kSlowBuild ? 1500 : 5000;

TEST(ShuffleStatistic, EveryPositionHoldsEveryKindEvenly) {
  const WallStatistic statistic = MeasureWallOnTwoThreads(20240229, kGamesPerThread);
  std::cout << 2 * kGamesPerThread << " games: worst position " << statistic.Worst() << ", all positions " << statistic.Total()
            << "\n";
  EXPECT_LT(statistic.Worst(), kPositionCritical);
  EXPECT_LT(statistic.Total(), kWallCritical);
  // Not suspiciously even either: an honest sum lies near its mean.
  EXPECT_GT(statistic.Total(), 4488.0 - 5.0 * 95.0);
}

// A generator that is seeded anew before every game with the same value, as
// happens when it is seeded from a clock in whole seconds once per game:
// every game then applies the same permutation.
TEST(ShuffleStatistic, CatchesASourceReseededEveryGame) {
  RandomSource source(1);
  const WallStatistic statistic = MeasureWall(source, kBrokenGames, [](RandomSource& s) { s.Seed(1700000000); });
  EXPECT_GT(statistic.Total(), kWallCritical);
  EXPECT_GT(statistic.Worst(), kPositionCritical);
}

// Values that never reach the last eight positions of the wall, as an
// exchange drawn modulo 128 instead of 136 would: those tiles never move.
class SevenBitSource {
 public:
  explicit SevenBitSource(std::uint64_t seed) : source_(seed) {}
  int Next() { return source_.Next() & 127; }

 private:
  RandomSource source_;
};

TEST(ShuffleStatistic, CatchesPositionsThatAreNeverDrawn) {
  SevenBitSource source(3);
  const WallStatistic statistic = MeasureWall(source, kBrokenGames);
  EXPECT_GT(statistic.Total(), kWallCritical);
  EXPECT_GT(statistic.perPosition[kWallSize - 1], kPositionCritical);
}

}  // namespace
}  // namespace kestrum
