// The looked-up distance against a slow definition written from scratch: a
// search that settles the smallest held tile first, trying every way it can
// serve the complete hand to be reached (in a run, a triplet or the pair, or
// given up), on every hand of one suit and on random deals.

#include "TestScale.h"
#include "HandNotation.h"
#include "engine/CompleteHand.h"
#include "engine/HandDistance.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <numeric>
#include <random>
#include <vector>

namespace kestrum {
namespace {

using KindCounts = std::array<int, kTileKinds>;  // index: code - 1

// The search takes some 0.1 ms a hand, so the suit runs a sample; the ctest
// entry labelled "long" sets KESTRUM_DISTANCE_HANDS to a million.
int RandomHands() {
  if (const char* hands = std::getenv("KESTRUM_DISTANCE_HANDS")) return std::atoi(hands);
  return testing::kSlowBuild ? 2000 : 20000;
}

// The fewest tiles to take in for four sets and a pair, when that is less
// than `bound`; otherwise `bound`. Called with one more than the looked-up
// answer, it finds any hand that needs fewer tiles, and answers the bound
// when none needs as few, so the bound only prunes. `rest` holds the tiles
// not yet placed, `target` the complete hand being built.
class SlowStandard {
 public:
  SlowStandard(const KindCounts& held, int bound)
      : rest_(held), restTiles_(std::accumulate(held.begin(), held.end(), 0)), best_(bound) {}

  int Missing() {
    Search(0, 0, 0, false, 0);
    return best_;
  }

 private:
  // At the smallest kind still held, the shapes that use it are taken in a
  // fixed order (triplet, the runs by their start, the pair), any number of
  // them; then whatever is left of the kind is given up. Every complete hand
  // is reached that way with its held tiles used as far as they go.
  void Search(int from, int firstShape, int sets, bool pair, int cost) {
    const int needed = 3 * (4 - sets) + (pair ? 0 : 2);
    if (cost + std::max(0, needed - restTiles_) >= best_) return;
    int kind = from;
    while (kind < kTileKinds && rest_[kind] == 0) ++kind;
    if (kind != from) firstShape = 0;
    if (needed == 0 || kind == kTileKinds) {
      // What is still missing is made of tiles the hand does not hold.
      best_ = std::min(best_, cost + needed);
      return;
    }
    if (sets < 4) {
      if (firstShape <= 0) TryShape({kind, kind, kind}, 3, kind, 0, sets + 1, pair, cost);
      const int rank = kind % 9;
      if (kind < 27)
        for (int start = std::max(0, rank - 2); start <= std::min(rank, 6); ++start) {
          const int shape = 1 + start - (rank - 2);
          if (shape < firstShape) continue;
          const int first = kind - rank + start;
          TryShape({first, first + 1, first + 2}, 3, kind, shape, sets + 1, pair, cost);
        }
    }
    if (!pair) TryShape({kind, kind, 0}, 2, kind, 4, sets, true, cost);
    const int left = rest_[kind];
    rest_[kind] = 0;
    restTiles_ -= left;
    Search(kind + 1, 0, sets, pair, cost);
    rest_[kind] = left;
    restTiles_ += left;
  }

  void TryShape(std::array<int, 3> kinds, int size, int from, int shape, int sets, bool pair, int cost) {
    bool fits = true;
    for (int i = 0; i < size; ++i) fits = ++target_[kinds[i]] <= kCopiesPerKind && fits;
    if (fits) {
      std::array<bool, 3> tookHeld{};
      for (int i = 0; i < size; ++i) {
        tookHeld[i] = rest_[kinds[i]] > 0;
        if (tookHeld[i]) {
          --rest_[kinds[i]];
          --restTiles_;
        } else {
          ++cost;
        }
      }
      Search(from, shape, sets, pair, cost);
      for (int i = 0; i < size; ++i)
        if (tookHeld[i]) {
          ++rest_[kinds[i]];
          ++restTiles_;
        }
    }
    for (int i = 0; i < size; ++i) --target_[kinds[i]];
  }

  KindCounts rest_;
  int restTiles_;
  KindCounts target_{};
  int best_;
};

int SlowSevenPairs(const KindCounts& held) {
  std::array<int, kTileKinds> toPair{};
  for (int k = 0; k < kTileKinds; ++k) toPair[k] = std::max(0, 2 - held[k]);
  std::sort(toPair.begin(), toPair.end());
  return std::accumulate(toPair.begin(), toPair.begin() + 7, 0);
}

int SlowThirteenOrphans(const KindCounts& held) {
  constexpr int kOrphans[] = {0, 8, 9, 17, 18, 26, 27, 28, 29, 30, 31, 32, 33};
  int best = 99;
  for (int doubled : kOrphans) {
    int missing = 0;
    for (int k : kOrphans) missing += std::max(0, (k == doubled ? 2 : 1) - held[k]);
    best = std::min(best, missing);
  }
  return best;
}

HandDistance SlowDistance(const KindCounts& held, int standardBound) {
  HandDistance d;
  d.standard = static_cast<std::int8_t>(SlowStandard(held, standardBound).Missing() - 1);
  d.sevenPairs = static_cast<std::int8_t>(SlowSevenPairs(held) - 1);
  d.thirteenOrphans = static_cast<std::int8_t>(SlowThirteenOrphans(held) - 1);
  d.best = std::min({d.standard, d.sevenPairs, d.thirteenOrphans});
  return d;
}

std::vector<TileCode> TilesOf(const KindCounts& counts) {
  std::vector<TileCode> tiles;
  for (int k = 0; k < kTileKinds; ++k)
    for (int n = 0; n < counts[k]; ++n) tiles.push_back(k + 1);
  return tiles;
}

void ExpectSameDistance(const KindCounts& counts) {
  const std::vector<TileCode> tiles = TilesOf(counts);
  const HandDistance fast =
      DistanceOfTiles(SharedDistanceTables(), tiles.data(), static_cast<int>(tiles.size()));
  // fast.standard + 1 tiles missing, plus one
  const HandDistance slow = SlowDistance(counts, fast.standard + 2);
  const auto text = [&] {
    std::string names;
    for (TileCode t : tiles) names += std::to_string(t) + " ";
    return names;
  };
  ASSERT_EQ(fast.standard, slow.standard) << text();
  ASSERT_EQ(fast.sevenPairs, slow.sevenPairs) << text();
  ASSERT_EQ(fast.thirteenOrphans, slow.thirteenOrphans) << text();
  ASSERT_EQ(fast.best, slow.best) << text();
  // The plain form, which the graphics card runs, gives the same.
  std::uint64_t suits = 0;
  std::uint32_t honours = 0;
  for (TileCode t : tiles) {
    suits += SharedDistanceTables().suitKeyOfCode[t];
    honours += SharedDistanceTables().honourKeyOfCode[t];
  }
  const DistanceTables& tables = SharedDistanceTables();
  const std::uint64_t entries[4] = {tables.suit[suits & distance::kSuitKeyMask],
                                    tables.suit[(suits >> distance::kSuitKeyBits) & distance::kSuitKeyMask],
                                    tables.suit[suits >> (2 * distance::kSuitKeyBits)], tables.honours[honours]};
  ASSERT_EQ(StandardMissingPlain(entries), fast.standard + 1) << text();
}

// Every count vector of `kinds` kinds from `first` on with the given number
// of tiles, at most four of a kind.
template <class Visit>
void ForEachOneGroupHand(int first, int kinds, int tiles, Visit visit) {
  KindCounts counts{};
  const auto place = [&](auto& self, int kind, int left) -> void {
    if (kind == first + kinds - 1) {
      if (left > kCopiesPerKind) return;
      counts[kind] = left;
      visit(counts);
      counts[kind] = 0;
      return;
    }
    for (int c = 0; c <= std::min(left, kCopiesPerKind); ++c) {
      counts[kind] = c;
      self(self, kind + 1, left - c);
    }
    counts[kind] = 0;
  };
  place(place, first, tiles);
}

TEST(HandDistanceTest, EveryHandOfOneSuitOrOfHonoursMatchesTheSearch) {
  for (int tiles : {13, 14}) {
    int hands = 0;
    ForEachOneGroupHand(0, 9, tiles, [&](const KindCounts& counts) {
      ++hands;
      if (testing::kSlowBuild && hands % 17 != 0) return;
      ExpectSameDistance(counts);
    });
    EXPECT_GT(hands, 10000);
    // A suit in another place must not matter; honours have no runs.
    int bamboo = 0;
    ForEachOneGroupHand(18, 9, tiles, [&](const KindCounts& counts) {
      if (++bamboo % 7 == 0) ExpectSameDistance(counts);
    });
    ForEachOneGroupHand(27, 7, tiles, [&](const KindCounts& counts) { ExpectSameDistance(counts); });
  }
}

TEST(HandDistanceTest, RandomDealsOfThirteenAndFourteenMatchTheSearch) {
  std::mt19937_64 random(20261210);
  std::array<TileCode, kWallSize> wall{};
  FillWall(wall);
  const int hands = RandomHands();
  for (int hand = 0; hand < hands; ++hand) {
    for (int i = 0; i < kHandSize; ++i) {
      const auto pick = std::uniform_int_distribution<int>(i, kWallSize - 1)(random);
      std::swap(wall[i], wall[pick]);
    }
    KindCounts counts{};
    for (int i = 0; i < kHandSize - 1; ++i) ++counts[wall[i] - 1];
    ExpectSameDistance(counts);
    ++counts[wall[kHandSize - 1] - 1];
    ExpectSameDistance(counts);
  }
}

HandDistance DistanceOfText(std::string_view text) { return DistanceOfHand(testing::ParseHand(text)); }

TEST(HandDistanceTest, CompleteHandsAreMinusOneInTheFormThatAcceptsThem) {
  const HandDistance orphans = DistanceOfText("1m 9m 1p 9p 1s 9s East South West North White Green Red Red");
  EXPECT_EQ(orphans.thirteenOrphans, -1);
  EXPECT_EQ(orphans.best, -1);
  EXPECT_GT(orphans.standard, 0);
  const HandDistance pairs = DistanceOfText("1m 1m 3m 3m 5p 5p 7p 7p 2s 2s East East Red Red");
  EXPECT_EQ(pairs.sevenPairs, -1);
  EXPECT_EQ(pairs.best, -1);
  const HandDistance both = DistanceOfText("1m 1m 2m 2m 3m 3m 4m 4m 5m 5m 6m 6m 7m 7m");
  EXPECT_EQ(both.sevenPairs, -1);
  EXPECT_EQ(both.standard, -1);
  // Four equal tiles are one pair, not two: two of them must go for a
  // seventh pair of two new tiles.
  const HandDistance four = DistanceOfText("1m 1m 1m 1m 3m 3m 5p 5p 7p 7p 2s 2s East East");
  EXPECT_EQ(four.sevenPairs, 1);
}

TEST(HandDistanceTest, NoHandWaitsOnAFifthCopy) {
  // The last 1m would make 111m and the pair 11m, but all four are held.
  const Hand held = testing::ParseHand("1m 1m 1m 1m 5p 6p 7p 2s 3s 4s 7s 8s 9s 9s");
  const HandDistance thirteen = DistanceOfTiles(SharedDistanceTables(), held.data(), kHandSize - 1);
  EXPECT_EQ(thirteen.standard, 1);
  // With a pair beside them the four are a triplet and a run's start.
  EXPECT_EQ(DistanceOfHand(held).standard, 0);
}

// A complete standard hand of four random sets and a random pair.
Hand RandomCompleteHand(std::mt19937_64& random) {
  KindCounts counts{};
  int sets = 0;
  while (sets < 4) {
    const int type = std::uniform_int_distribution<int>(0, 34 + 20)(random);
    std::vector<int> kinds;
    if (type < kTileKinds) kinds = {type, type, type};
    else {
      const int run = type - kTileKinds;  // 0..20: seven starts in each suit
      const int first = run / 7 * 9 + run % 7;
      kinds = {first, first + 1, first + 2};
    }
    KindCounts next = counts;
    for (int k : kinds) ++next[k];
    if (std::all_of(next.begin(), next.end(), [](int c) { return c <= kCopiesPerKind; })) {
      counts = next;
      ++sets;
    }
  }
  for (;;) {
    const int pair = std::uniform_int_distribution<int>(0, kTileKinds - 1)(random);
    if (counts[pair] + 2 > kCopiesPerKind) continue;
    counts[pair] += 2;
    break;
  }
  Hand hand{};
  const std::vector<TileCode> tiles = TilesOf(counts);
  std::copy(tiles.begin(), tiles.end(), hand.begin());
  return hand;
}

TEST(HandDistanceTest, DistanceIsMinusOneExactlyWhenTheTestAcceptsTheHand) {
  std::mt19937_64 random(7);
  bool pairTaken = false;
  int stillComplete = 0;
  for (int round = 0; round < 50000; ++round) {
    Hand hand = RandomCompleteHand(random);
    ASSERT_EQ(DistanceOfHand(hand).standard, -1);
    // One tile changed: sometimes still complete, mostly not.
    const int slot = std::uniform_int_distribution<int>(0, kHandSize - 1)(random);
    const TileCode other = std::uniform_int_distribution<int>(1, kTileKinds)(random);
    if (std::count(hand.begin(), hand.end(), other) == kCopiesPerKind) continue;
    hand[slot] = other;
    std::sort(hand.begin(), hand.end());
    const bool accepted = IsCompleteHand(hand, pairTaken);
    stillComplete += accepted;
    const HandDistance d = DistanceOfHand(hand);
    ASSERT_EQ(d.best == -1, accepted);
    ASSERT_LE(d.best, 0);
  }
  EXPECT_GT(stillComplete, 100);
}

TEST(HandDistanceTest, EmptySlotsCountForNothingAndThirteenTilesAreAtLeastZero) {
  Hand hand = testing::ParseHand("1m 1m 2m 3m 4m 2p 3p 4p 6s 7s 8s North North North");
  hand[0] = 0;
  const HandDistance thirteen = DistanceOfTiles(SharedDistanceTables(), hand.data(), kHandSize);
  EXPECT_EQ(thirteen.standard, 0);
  EXPECT_EQ(thirteen.best, 0);
}

}  // namespace
}  // namespace kestrum
