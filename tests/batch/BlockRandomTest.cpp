// The batch's generator: the shortcuts of the hot loop give exactly the games
// the shared shuffle plays from Next() alone, and no two blocks or seeds
// share a stream.

#include "batch/BlockRandom.h"

#include <gtest/gtest.h>

#include <set>

#include "engine/WallOps.h"

namespace kestrum {
namespace {

// Offers Next() and nothing else, so that ShuffleWall takes its plain path
// with % 136.
class NextOnly {
 public:
  NextOnly(std::uint64_t seed, std::uint64_t block) : source_(seed, block) {}
  explicit NextOnly(const BlockRandom& source) : source_(source) {}
  int Next() { return source_.Next(); }
  const BlockRandom& Source() const { return source_; }

 private:
  BlockRandom source_;
};

TEST(BlockRandom, PositionPairsAreTheNextTwoValuesModulo136AtEveryPhase) {
  for (int skipped = 0; skipped < 4; ++skipped) {
    BlockRandom fast(11, 3);
    BlockRandom plain(11, 3);
    for (int i = 0; i < skipped; ++i) ASSERT_EQ(fast.Next(), plain.Next());
    for (int i = 0; i < 5000; ++i) {
      const auto pair = fast.NextPositionPair();
      ASSERT_EQ(pair.first, static_cast<unsigned>(plain.Next()) % 136) << "skipped " << skipped << " pair " << i;
      ASSERT_EQ(pair.second, static_cast<unsigned>(plain.Next()) % 136) << "skipped " << skipped << " pair " << i;
    }
  }
}

// A byte wall on the fast side as well: the shortcuts must not depend on the
// width of the codes they exchange.
TEST(BlockRandom, ByteWallWithShortcutsPlaysTheGamesOfThePlainShuffle) {
  std::array<std::uint8_t, kWallSize> fastWall;
  Wall plainWall;
  FillWall(fastWall);
  FillWall(plainWall);
  BlockRandom fast(2024, 7);
  NextOnly plain(2024, 7);
  // Each game draws an odd number of values, so the four values of an
  // output fall differently on the exchanges from game to game.
  for (int game = 0; game < 12; ++game) {
    ShuffleWall(fastWall, fast);
    ShuffleWall(plainWall, plain);
    for (int i = 0; i < kWallSize; ++i) ASSERT_EQ(fastWall[i], plainWall[i]) << "game " << game << " slot " << i;
  }
}

// The exchanges of a game start at any of the four places within an output,
// and each place has a loop of its own that keeps the values left over from
// the previous output: every place must play the plain games, and hand back
// exactly the values still waiting, which the next draws of Next() read.
TEST(BlockRandom, ShortcutsPlayThePlainGamesFromEveryPlaceInAnOutput) {
  Wall fastWall;
  Wall plainWall;
  FillWall(fastWall);
  FillWall(plainWall);
  BlockRandom fast(77, 5);
  BlockRandom plain(77, 5);
  std::array<int, 4> gamesAtPlace{};
  std::uint64_t drawn = 0;
  for (int game = 0; game < 48; ++game) {
    // The count of exchanges is the game's first draw; its exchanges begin
    // with the one after it.
    BlockRandom peek = plain;
    const unsigned exchanges = static_cast<unsigned>(peek.Next()) % kExchangeSpread + kMinExchanges;
    ++gamesAtPlace[(drawn + 1) % 4];
    drawn += 1 + 2 * std::uint64_t{exchanges};
    ShuffleWall(fastWall, fast);
    NextOnly plainOnly(plain);
    ShuffleWall(plainWall, plainOnly);
    plain = plainOnly.Source();
    for (int i = 0; i < kWallSize; ++i) ASSERT_EQ(fastWall[i], plainWall[i]) << "game " << game << " slot " << i;
    BlockRandom fastAfter = fast;
    BlockRandom plainAfter = plain;
    for (int i = 0; i < 5; ++i) ASSERT_EQ(fastAfter.Next(), plainAfter.Next()) << "game " << game << " draw " << i;
  }
  for (int place = 0; place < 4; ++place) EXPECT_GE(gamesAtPlace[place], 4) << "place " << place;
}

TEST(BlockRandom, ValuesCoverFifteenBitsFromEndToEnd) {
  BlockRandom source(1, 0);
  int low = BlockRandom::kMax;
  int high = 0;
  for (int i = 0; i < 400000; ++i) {
    const int v = source.Next();
    ASSERT_GE(v, 0);
    ASSERT_LE(v, BlockRandom::kMax);
    low = std::min(low, v);
    high = std::max(high, v);
  }
  EXPECT_EQ(low, 0);
  EXPECT_EQ(high, BlockRandom::kMax);
}

// Seeds s and s + 1, blocks b and b + 1: the neighbours that a stream per
// thread seeded with seed + thread used to confuse. Each start of a stream
// shows up once only, and so does every later output of the first few.
TEST(BlockRandom, NeighbouringSeedsAndBlocksShareNoStream) {
  std::set<std::uint64_t> outputs;
  std::size_t drawn = 0;
  for (std::uint64_t seed : {0ULL, 1ULL, 2ULL, 1300ULL, 1301ULL, ~0ULL}) {
    for (std::uint64_t block = 0; block < 64; ++block) {
      BlockRandom source(seed, block);
      for (int i = 0; i < 32; ++i) {
        outputs.insert(source.NextOutput());
        ++drawn;
      }
    }
  }
  EXPECT_EQ(outputs.size(), drawn);
}

}  // namespace
}  // namespace kestrum
