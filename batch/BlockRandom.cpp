#include "batch/BlockRandom.h"

namespace kestrum {
namespace {

// SplitMix64's finaliser: a bijection of 64-bit values whose every output bit
// depends on every input bit.
constexpr std::uint64_t Mix(std::uint64_t x) {
  x += 0x9E3779B97F4A7C15ULL;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
  return x ^ (x >> 31);
}

// The generator's author advises discarding a few outputs after seeding so
// that the state has mixed before the first one is used.
constexpr int kWarmUpOutputs = 12;

constexpr std::array<std::uint8_t, 1u << 15> MakePositionTable() {
  std::array<std::uint8_t, 1u << 15> table{};
  for (unsigned v = 0; v < table.size(); ++v) table[v] = static_cast<std::uint8_t>(v % kWallSize);
  return table;
}

}  // namespace

const std::array<std::uint8_t, 1u << 15> BlockRandom::kPosition = MakePositionTable();

BlockRandom::BlockRandom(std::uint64_t seed, std::uint64_t block) {
  // a depends on the seed alone and c on both through a bijection, so the
  // triple differs whenever the seed or the block does.
  a_ = Mix(seed);
  b_ = Mix(a_ ^ 0x6A09E667F3BCC909ULL);
  c_ = Mix(Mix(block) ^ a_);
  counter_ = 1;
  for (int i = 0; i < kWarmUpOutputs; ++i) NextOutput();
}

}  // namespace kestrum
