// The exact distance distributions: their sums, the complete count that the
// enumeration of complete hands gives, the seven-pairs and thirteen-orphans
// distributions counted a second way (by how many kinds hold each number of
// copies), and the distance function's histogram of random deals, which
// must fit the exact law.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "batch/DistanceFit.h"
#include "batch/ExactCount.h"
#include "batch/ExactDistance.h"
#include "engine/HandDistance.h"

namespace kestrum {
namespace {

const ExactDistances& Distances() {
  static const ExactDistances distances = CountDealsByDistance();
  return distances;
}

Uint128 Choose(int n, int k) {
  if (k < 0 || k > n) return 0;
  Uint128 result = 1;
  for (int i = 1; i <= k; ++i) result = result * static_cast<Uint128>(n - k + i) / static_cast<Uint128>(i);
  return result;
}

constexpr std::array<Uint128, 5> kCopyWays = {1, 4, 6, 4, 1};

// Calls visit(m, ways) for every way of giving `kinds` kinds m[c] kinds
// with c copies (c = 0..4) so that they hold `tiles` tiles; ways counts the
// hands: the kinds chosen for each count and the copies chosen of each.
template <class Visit>
void ForEachCountOfCounts(int kinds, int tiles, Visit visit) {
  std::array<int, 5> m{};
  const auto place = [&](auto& self, int c, int kindsLeft, int tilesLeft, Uint128 ways) -> void {
    if (c == 0) {
      m[0] = kindsLeft;
      if (tilesLeft == 0) visit(m, ways);
      return;
    }
    for (int n = 0; n <= kindsLeft && n * c <= tilesLeft; ++n) {
      m[c] = n;
      Uint128 copies = 1;
      for (int i = 0; i < n; ++i) copies *= kCopyWays[c];
      self(self, c - 1, kindsLeft - n, tilesLeft - n * c, ways * Choose(kindsLeft, n) * copies);
    }
  };
  place(place, 4, kinds, tiles, 1);
}

std::array<Uint128, kDistanceBins> SevenPairsByCountOfCounts(int tiles) {
  std::array<Uint128, kDistanceBins> byDistance{};
  ForEachCountOfCounts(kTileKinds, tiles, [&](const std::array<int, 5>& m, Uint128 ways) {
    const int pairs = m[2] + m[3] + m[4];
    const int needed = pairs >= 7 ? 0 : 7 - pairs;
    const int fromSingles = std::min(m[1], needed);
    byDistance[static_cast<std::size_t>(fromSingles + 2 * (needed - fromSingles))] += ways;  // missing - 1 + 1
  });
  return byDistance;
}

std::array<Uint128, kDistanceBins> ThirteenOrphansByCountOfCounts(int tiles) {
  std::array<Uint128, kDistanceBins> byDistance{};
  for (int orphanTiles = 0; orphanTiles <= tiles; ++orphanTiles) {
    // The other 21 kinds hold the rest of the hand in any way: 84 tiles.
    const Uint128 rest = Choose(21 * kCopiesPerKind, tiles - orphanTiles);
    ForEachCountOfCounts(13, orphanTiles, [&](const std::array<int, 5>& m, Uint128 ways) {
      const int held = m[1] + m[2] + m[3] + m[4];
      const bool pair = m[2] + m[3] + m[4] > 0;
      byDistance[static_cast<std::size_t>(13 - held + (pair ? 0 : 1))] += ways * rest;
    });
  }
  return byDistance;
}

TEST(ExactDistance, EveryFormSumsToAllDealsAndTheCompleteCountIsTheKnownOne) {
  const ExactDistances& d = Distances();
  EXPECT_EQ(DecimalText(d.dealer.deals), "4250305029168216000");
  EXPECT_EQ(DecimalText(d.nonDealer.deals), "483774556165488000");
  for (const DistanceCounts* counts : {&d.dealer, &d.nonDealer})
    for (const DistanceForm form : {DistanceForm::kBest, DistanceForm::kStandard, DistanceForm::kSevenPairs,
                                    DistanceForm::kThirteenOrphans})
      EXPECT_EQ(DecimalText(counts->Total(form)), DecimalText(counts->deals));

  const ExactCounts complete = CountCompleteDeals();
  EXPECT_EQ(DecimalText(d.dealer.At(DistanceForm::kBest, -1)), DecimalText(complete.Complete()));
  EXPECT_EQ(DecimalText(d.dealer.At(DistanceForm::kThirteenOrphans, -1)), DecimalText(complete.thirteenOrphans));
  EXPECT_EQ(DecimalText(d.dealer.At(DistanceForm::kSevenPairs, -1)), DecimalText(complete.sevenPairs));
  // Alone, the standard form also counts the hands that seven pairs takes first.
  EXPECT_GT(d.dealer.At(DistanceForm::kStandard, -1), complete.standard);
  EXPECT_LT(d.dealer.At(DistanceForm::kStandard, -1), complete.standard + complete.sevenPairs);
  // Thirteen tiles are never complete; the least over the forms never
  // exceeds six for either size.
  EXPECT_EQ(d.nonDealer.Smallest(DistanceForm::kBest), 0);
  EXPECT_EQ(d.dealer.Largest(DistanceForm::kBest), 6);
  EXPECT_EQ(d.nonDealer.Largest(DistanceForm::kBest), 6);
}

TEST(ExactDistance, SevenPairsAndThirteenOrphansMatchACountOverCopiesPerKind) {
  const ExactDistances& d = Distances();
  for (const DistanceCounts* counts : {&d.dealer, &d.nonDealer}) {
    const auto pairs = SevenPairsByCountOfCounts(counts->tiles);
    const auto orphans = ThirteenOrphansByCountOfCounts(counts->tiles);
    for (int distance = kMinDistance; distance <= kMaxDistance; ++distance) {
      const auto bin = static_cast<std::size_t>(distance - kMinDistance);
      EXPECT_EQ(DecimalText(counts->At(DistanceForm::kSevenPairs, distance)), DecimalText(pairs[bin]))
          << counts->tiles << " tiles, distance " << distance;
      EXPECT_EQ(DecimalText(counts->At(DistanceForm::kThirteenOrphans, distance)), DecimalText(orphans[bin]))
          << counts->tiles << " tiles, distance " << distance;
    }
  }
}

// Two million random deals through the distance function: each form's
// histogram must fit the exact law. The seed is fixed, so this is no
// chance failure; a counting fault of one part in 10^3 at a common
// distance fails it.
TEST(ExactDistance, RandomDealsMeasuredByTheDistanceFunctionFitTheExactLaw) {
  constexpr int kDeals = 2000000;
  const ExactDistances& d = Distances();
  const DistanceTables& tables = SharedDistanceTables();
  std::mt19937_64 random(99);
  std::array<TileCode, kWallSize> wall{};
  FillWall(wall);
  std::array<std::array<std::vector<std::uint64_t>, kDistanceForms>, 2> seen;
  for (auto& bySize : seen)
    for (auto& form : bySize) form.assign(kDistanceBins, 0);
  for (int deal = 0; deal < kDeals; ++deal) {
    for (int i = 0; i < kHandSize; ++i)
      std::swap(wall[i], wall[std::uniform_int_distribution<int>(i, kWallSize - 1)(random)]);
    for (int size = 0; size < 2; ++size) {
      const HandDistance h = DistanceOfTiles(tables, wall.data(), kHandSize - size);
      const int values[kDistanceForms] = {h.best, h.standard, h.sevenPairs, h.thirteenOrphans};
      for (int form = 0; form < kDistanceForms; ++form) ++seen[size][form][static_cast<std::size_t>(values[form] + 1)];
    }
  }
  for (int size = 0; size < 2; ++size) {
    const DistanceCounts& counts = size == 0 ? d.dealer : d.nonDealer;
    for (int form = 0; form < kDistanceForms; ++form) {
      std::vector<double> probability(kDistanceBins);
      for (int bin = 0; bin < kDistanceBins; ++bin)
        probability[bin] = Ratio(counts.byForm[form][bin], counts.deals);
      const auto fit = FitDistances(seen[size][form], probability, kMinDistance);
      ASSERT_TRUE(fit.has_value());
      EXPECT_GT(fit->pValue, 1e-4) << counts.tiles << " tiles, form " << form << ", chi-square "
                                   << fit->chiSquare << " on " << fit->degreesOfFreedom;
      EXPECT_GE(fit->bins.size(), 5u);
    }
  }
}

TEST(ExactDistance, SparseEndsAreMergedAndTooFewGamesGiveNoFit) {
  // Expected 1, 3, 50, 42, 2, 2 of 100 games: the first three bins make
  // one, and what is left at the top joins the bin before it.
  const std::vector<double> probability = {0.01, 0.03, 0.50, 0.42, 0.02, 0.02};
  const std::vector<std::uint64_t> observed = {2, 3, 49, 41, 4, 1};
  const auto fit = FitDistances(observed, probability, -1);
  ASSERT_TRUE(fit.has_value());
  ASSERT_EQ(fit->bins.size(), 2u);
  EXPECT_EQ(fit->bins[0].first, -1);
  EXPECT_EQ(fit->bins[0].last, 1);
  EXPECT_EQ(fit->bins[0].observed, 54u);
  EXPECT_EQ(fit->bins[1].first, 2);
  EXPECT_EQ(fit->bins[1].last, 4);
  EXPECT_EQ(fit->bins[1].observed, 46u);
  EXPECT_NEAR(fit->bins[1].expected, 46.0, 1e-9);
  EXPECT_EQ(fit->degreesOfFreedom, 1);
  EXPECT_NEAR(fit->chiSquare, 0.0, 1e-12);
  EXPECT_FALSE(FitDistances({3, 2}, {0.5, 0.5}, 0).has_value());
  EXPECT_FALSE(FitDistances({}, {}, 0).has_value());
}

}  // namespace
}  // namespace kestrum
