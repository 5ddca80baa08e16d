// The tile vocabulary, the wall, its shuffle, the deal and the sort.

#include "engine/RandomSource.h"
#include "engine/Tiles.h"
#include "engine/WallOps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace kestrum {
namespace {

// A source that always gives the same value and counts how often it was asked.
class ConstantSource {
 public:
  explicit ConstantSource(int value) : value_(value) {}
  int Next() {
    ++calls;
    return value_;
  }
  int calls = 0;

 private:
  int value_;
};

// Hands out the values of a RandomSource one by one (never in pairs or
// fours) and keeps them, so that a test can replay the exchanges itself.
class RecordingSource {
 public:
  explicit RecordingSource(std::uint64_t seed) : source_(seed) {}
  int Next() {
    values.push_back(source_.Next());
    return values.back();
  }
  std::vector<int> values;

 private:
  RandomSource source_;
};

Wall FilledWall() {
  Wall wall;
  FillWall(wall);
  return wall;
}

void ExpectFourOfEachKind(const Wall& wall) {
  std::array<int, kTileKinds + 1> counts{};
  for (TileCode code : wall) {
    ASSERT_GE(code, 1);
    ASSERT_LE(code, kTileKinds);
    ++counts[code];
  }
  for (TileCode code = 1; code <= kTileKinds; ++code) EXPECT_EQ(counts[code], 4) << "code " << code;
}

TEST(TileNames, AreTwoShiftJisBytesEach) {
  const TileNameTable& names = TileNames();
  EXPECT_EQ(names[0], "00");
  EXPECT_EQ(names[1], "1m");
  EXPECT_EQ(names[10], "1p");
  EXPECT_EQ(names[27], "9s");
  EXPECT_EQ(names[28], "\x93\x8C");  // East
  EXPECT_EQ(names[34], "\x92\x86");  // Red
  for (std::string_view name : names) EXPECT_EQ(name.size(), 2u);
  const std::vector<std::string_view> all(names.begin(), names.end());
  std::vector<std::string_view> sorted = all;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end()) << "names must be distinct";
}

TEST(TileNames, HandTextRunsTheNamesTogether) {
  EXPECT_EQ(HandText(kFixedStartHand),
            "1m9m1p9p1s9s"
            "\x93\x8C\x93\xEC\x90\xBC\x96\x6B\x94\x92\x94\xAD\x92\x86\x92\x86");
}

TEST(TileCodes, RowAndColumnFollowSuitAndRank) {
  EXPECT_EQ(TileRow(1), 0);
  EXPECT_EQ(TileColumn(9), 8);
  EXPECT_EQ(TileRow(10), 1);
  EXPECT_EQ(TileColumn(10), 0);
  EXPECT_EQ(TileRow(27), 2);
  EXPECT_EQ(TileRow(28), 3);
  EXPECT_EQ(TileColumn(34), 6);
}

TEST(Wall, IsFilledInCodeOrderFourOfEach) {
  const Wall wall = FilledWall();
  EXPECT_EQ(wall[0], 1);
  EXPECT_EQ(wall[3], 1);
  EXPECT_EQ(wall[4], 2);
  EXPECT_EQ(wall[135], 34);
  EXPECT_TRUE(std::is_sorted(wall.begin(), wall.end()));
  ExpectFourOfEachKind(wall);
}

TEST(Wall, KeepsFourOfEachKindThroughManyShuffles) {
  Wall wall = FilledWall();
  RandomSource source(99);
  for (int game = 0; game < 300; ++game) ShuffleWall(wall, source);
  ExpectFourOfEachKind(wall);
  EXPECT_FALSE(std::is_sorted(wall.begin(), wall.end()));
}

TEST(FixedStartHand, IsThirteenOrphansWithAPairOfRedDragons) {
  EXPECT_EQ(kFixedStartHand, (Hand{1, 9, 10, 18, 19, 27, 28, 29, 30, 31, 32, 33, 34, 34}));
}

TEST(ShuffleWall, AlwaysZeroExchangesTheFirstPositionWithItself) {
  Wall wall = FilledWall();
  ConstantSource zero(0);
  ShuffleWall(wall, zero);
  EXPECT_EQ(wall, FilledWall());
  EXPECT_EQ(zero.calls, 1 + 2 * 10000);
}

TEST(ShuffleWall, AlwaysTopValueExchangesPosition127WithItself) {
  Wall wall = FilledWall();
  ConstantSource top(RandomSource::kMax);
  ShuffleWall(wall, top);
  EXPECT_EQ(wall, FilledWall());
  EXPECT_EQ(top.calls, 1 + 2 * 10767);  // 32767 mod 1000 = 767; 32767 mod 136 = 127
}

TEST(ShuffleWall, DrawsTheCountThenAAndBForEachExchange) {
  Wall wall = FilledWall();
  RecordingSource source(4711);
  ShuffleWall(wall, source);
  const std::vector<int>& v = source.values;
  ASSERT_FALSE(v.empty());
  const int exchanges = v[0] % 1000 + 10000;
  ASSERT_EQ(static_cast<int>(v.size()), 1 + 2 * exchanges);
  Wall replay = FilledWall();
  for (int i = 0; i < exchanges; ++i) std::swap(replay[v[1 + 2 * i] % 136], replay[v[2 + 2 * i] % 136]);
  EXPECT_EQ(wall, replay);
}

// The shuffle takes its random numbers two at a time from the run's own
// source; the walls must be exactly those of drawing them one by one.
TEST(ShuffleWall, TheBatchedDrawsGiveTheSameWallAsSingleDraws) {
  Wall batched = FilledWall();
  Wall single = FilledWall();
  RandomSource source(123456789);
  RecordingSource recorder(123456789);
  for (int game = 0; game < 20; ++game) {
    ShuffleWall(batched, source);
    ShuffleWall(single, recorder);
    ASSERT_EQ(batched, single) << "game " << game;
  }
  RandomSource next(123456789);
  for (int value : recorder.values) ASSERT_EQ(next.Next(), value);
  EXPECT_EQ(source.Next(), next.Next());  // both stand at the same place
}

TEST(RandomSource, BatchedValuesAreTheNextSingleValues) {
  RandomSource single(2024);
  RandomSource batched(2024);
  for (int i = 0; i < 1000; ++i) {
    const auto pair = batched.NextPair();
    ASSERT_EQ(pair.first, single.Next());
    ASSERT_EQ(pair.second, single.Next());
  }
}

TEST(RandomSource, StaysInFifteenBitsAndReachesBothEnds) {
  RandomSource source(1);
  int low = RandomSource::kMax;
  int high = 0;
  for (int i = 0; i < 200000; ++i) {
    const int v = source.Next();
    ASSERT_GE(v, 0);
    ASSERT_LE(v, RandomSource::kMax);
    low = std::min(low, v);
    high = std::max(high, v);
  }
  EXPECT_EQ(low, 0);
  EXPECT_EQ(high, RandomSource::kMax);
}

TEST(RandomSource, NeighbouringSeedsGiveUnrelatedSequences) {
  RandomSource a(1700000000);
  RandomSource b(1700000001);
  int equal = 0;
  for (int i = 0; i < 10000; ++i) equal += a.Next() == b.Next();
  EXPECT_LT(equal, 10);  // about 0.3 expected by chance
}

TEST(DealHand, CopiesTheFrontOfTheWallAndLeavesItAlone) {
  Wall wall = FilledWall();
  RandomSource source(5);
  ShuffleWall(wall, source);
  const Wall before = wall;
  Hand first{};
  Hand second{};
  DealHand(wall, first);
  DealHand(wall, second);
  EXPECT_EQ(wall, before);
  EXPECT_EQ(first, second);
  EXPECT_TRUE(std::equal(first.begin(), first.end(), wall.begin()));
}

TEST(SortHand, OrdersByCodeWithEqualTilesTogether) {
  Hand hand = {34, 1, 28, 1, 19, 9, 5, 34, 10, 28, 27, 2, 18, 1};
  SortHand(hand);
  EXPECT_EQ(hand, (Hand{1, 1, 1, 2, 5, 9, 10, 18, 19, 27, 28, 28, 34, 34}));
}

TEST(SortHand, AgreesWithStdSortOnRandomDeals) {
  Wall wall = FilledWall();
  RandomSource source(77);
  for (int game = 0; game < 200; ++game) {
    ShuffleWall(wall, source);
    Hand hand{};
    DealHand(wall, hand);
    Hand expected = hand;
    std::sort(expected.begin(), expected.end());
    SortHand(hand);
    ASSERT_EQ(hand, expected);
  }
}

}  // namespace
}  // namespace kestrum
