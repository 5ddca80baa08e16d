// The batch's generator: the shortcut of the hot loop gives exactly the games
// the shared shuffle plays from Next() alone, on either kernel, and no two
// blocks or seeds share a stream.

#include "batch/BlockRandom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "engine/WallOps.h"

namespace kestrum {
namespace {

// Offers Next() and nothing else, so that ShuffleWall takes its plain path
// with % 136.
class NextOnly {
 public:
  explicit NextOnly(const BlockRandom& source) : source_(source) {}
  int Next() { return source_.Next(); }

 private:
  BlockRandom source_;
};

std::string KernelName(BlockRandom::Kernel kernel) {
  switch (kernel) {
    case BlockRandom::Kernel::kAvx2:
      return "Avx2";
    case BlockRandom::Kernel::kSse2:
      return "Sse2";
    default:
      return "Portable";
  }
}

// Every kernel against plain Next() % 136 from the same kernel; the vector
// kernels are checked against the portable one below.
class BlockRandomKernel : public ::testing::TestWithParam<BlockRandom::Kernel> {
 protected:
  void SetUp() override {
    if (GetParam() > BlockRandom::BestKernel()) GTEST_SKIP() << "this processor does not run this kernel";
  }
};

// The exchanges may start at any place within a chunk of values, and after
// any number of values already kept ready; each start must give the next
// values of Next() and leave exactly the right ones for it afterwards.
TEST_P(BlockRandomKernel, PositionPairsAreTheNextValuesModulo136FromEveryPlace) {
  for (int skipped = 0; skipped < 70; ++skipped) {
    BlockRandom fast(11, 3, GetParam());
    BlockRandom plain(11, 3, GetParam());
    for (int i = 0; i < skipped; ++i) ASSERT_EQ(fast.Next(), plain.Next());
    for (unsigned pairs : {1u, 15u, 16u, 17u, 300u}) {
      unsigned seen = 0;
      fast.ForEachPositionPair(pairs, [&](unsigned a, unsigned b) {
        ASSERT_EQ(a, static_cast<unsigned>(plain.Next()) % 136) << "skipped " << skipped << " pair " << seen;
        ASSERT_EQ(b, static_cast<unsigned>(plain.Next()) % 136) << "skipped " << skipped << " pair " << seen;
        ++seen;
      });
      ASSERT_EQ(seen, pairs);
      ASSERT_EQ(fast.Next(), plain.Next()) << "skipped " << skipped << " after " << pairs << " pairs";
    }
  }
}

// The reduction is arithmetic, not a table: every one of the 32768 values
// must meet it, on every kernel.
TEST_P(BlockRandomKernel, EveryValueReducesExactly) {
  BlockRandom fast(5, 1, GetParam());
  BlockRandom plain(5, 1, GetParam());
  std::vector<bool> seen(BlockRandom::kMax + 1);
  bool exact = true;
  fast.ForEachPositionPair(1u << 20, [&](unsigned a, unsigned b) {
    for (unsigned position : {a, b}) {
      const int value = plain.Next();
      seen[static_cast<std::size_t>(value)] = true;
      exact = exact && position == static_cast<unsigned>(value) % 136;
    }
  });
  EXPECT_TRUE(exact);
  EXPECT_EQ(std::count(seen.begin(), seen.end(), true), BlockRandom::kMax + 1);
}

// A byte wall on the fast side as well: the shortcut must not depend on the
// width of the codes it exchanges. Each game draws an odd number of values,
// so the games start at different places in a chunk.
TEST_P(BlockRandomKernel, ByteWallWithTheShortcutPlaysTheGamesOfThePlainShuffle) {
  std::array<std::uint8_t, kWallSize> fastWall;
  Wall plainWall;
  FillWall(fastWall);
  FillWall(plainWall);
  BlockRandom fast(2024, 7, GetParam());
  NextOnly plain(BlockRandom(2024, 7, GetParam()));
  for (int game = 0; game < 24; ++game) {
    ShuffleWall(fastWall, fast);
    ShuffleWall(plainWall, plain);
    for (int i = 0; i < kWallSize; ++i) ASSERT_EQ(fastWall[i], plainWall[i]) << "game " << game << " slot " << i;
  }
}


// The games of a seed must not depend on the processor: each vector kernel
// makes the portable kernel's values and positions, shortcut and all.
TEST_P(BlockRandomKernel, PlaysThePortableGames) {
  for (std::uint64_t seed : {0ULL, 1301ULL, ~0ULL}) {
    BlockRandom fast(seed, 9, GetParam());
    BlockRandom portable(seed, 9, BlockRandom::Kernel::kPortable);
    ASSERT_EQ(fast.kernel(), GetParam());
    Wall fastWall;
    Wall portableWall;
    FillWall(fastWall);
    FillWall(portableWall);
    for (int game = 0; game < 8; ++game) {
      ShuffleWall(fastWall, fast);
      ShuffleWall(portableWall, portable);
      ASSERT_EQ(fastWall, portableWall) << "seed " << seed << " game " << game;
    }
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(fast.Next(), portable.Next()) << "seed " << seed << " draw " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Kernels, BlockRandomKernel,
                         ::testing::Values(BlockRandom::Kernel::kPortable, BlockRandom::Kernel::kSse2,
                                           BlockRandom::Kernel::kAvx2),
                         [](const ::testing::TestParamInfo<BlockRandom::Kernel>& kernel) {
                           return KernelName(kernel.param);
                         });

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
// shows up once only, and so does every later group of four values of the
// first few.
TEST(BlockRandom, NeighbouringSeedsAndBlocksShareNoStream) {
  std::set<std::uint64_t> outputs;
  std::size_t drawn = 0;
  for (std::uint64_t seed : {0ULL, 1ULL, 2ULL, 1300ULL, 1301ULL, ~0ULL}) {
    for (std::uint64_t block = 0; block < 64; ++block) {
      BlockRandom source(seed, block);
      for (int i = 0; i < 32; ++i) {
        std::uint64_t four = 0;
        for (int k = 0; k < 4; ++k) four = four << 15 | static_cast<std::uint64_t>(source.Next());
        outputs.insert(four);
        ++drawn;
      }
    }
  }
  EXPECT_EQ(outputs.size(), drawn);
}

}  // namespace
}  // namespace kestrum
