#include "batch/BlockRandom.h"

#include <cstring>

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

std::uint64_t Step(std::uint64_t& a, std::uint64_t& b, std::uint64_t& c, std::uint64_t& counter) {
  const std::uint64_t out = a + b + counter++;
  a = b ^ (b >> 11);
  b = c + (c << 3);
  c = ((c << 24) | (c >> 40)) + out;
  return out;
}

}  // namespace

BlockRandom::Kernel BlockRandom::BestKernel() {
#if KESTRUM_BLOCK_RANDOM_AVX2
  static const Kernel best = __builtin_cpu_supports("avx2") ? Kernel::kAvx2 : Kernel::kPortable;
  return best;
#else
  return Kernel::kPortable;
#endif
}

BlockRandom::BlockRandom(std::uint64_t seed, std::uint64_t block, Kernel kernel)
    : kernel_(kernel == Kernel::kAvx2 && BestKernel() == Kernel::kAvx2 ? Kernel::kAvx2 : Kernel::kPortable) {
  // a depends on the seed alone and c, through a bijection, on the block
  // and the lane together (blocks stay far below 2^62), so the lanes'
  // states differ whenever the seed, the block or the lane does.
  for (int lane = 0; lane < kLanes; ++lane) {
    std::uint64_t& a = a_[lane];
    a = Mix(seed);
    b_[lane] = Mix(a ^ 0x6A09E667F3BCC909ULL);
    c_[lane] = Mix(Mix(block * kLanes + static_cast<std::uint64_t>(lane)) ^ a);
    counter_[lane] = 1;
    for (int i = 0; i < kWarmUpOutputs; ++i) Step(a_[lane], b_[lane], c_[lane], counter_[lane]);
  }
}

void BlockRandom::AppendChunkPortable() {
  std::size_t at = end_;
  for (int step = 0; step < kStepsPerChunk; ++step) {
    for (int lane = 0; lane < kLanes; ++lane) {
      const std::uint64_t out = Step(a_[lane], b_[lane], c_[lane], counter_[lane]);
      for (int quarter = 0; quarter < 4; ++quarter, ++at) {
        const auto value = static_cast<std::uint16_t>((out >> (16 * quarter)) & kMax);
        values_[at] = value;
        positions_[at] = static_cast<std::uint8_t>(value % kWallSize);
      }
    }
  }
  end_ += kValuesPerChunk;
}

void BlockRandom::MakeChunk() {
  MakeRoom();
#if KESTRUM_BLOCK_RANDOM_AVX2
  if (kernel_ == Kernel::kAvx2) {
    AppendChunkAvx2();
    return;
  }
#endif
  AppendChunkPortable();
}

void BlockRandom::MoveWaitingToFront() {
  const unsigned waiting = end_ - next_;
  std::memmove(values_.data(), values_.data() + next_, waiting * sizeof values_[0]);
  std::memmove(positions_.data(), positions_.data() + next_, waiting * sizeof positions_[0]);
  next_ = 0;
  end_ = waiting;
}

}  // namespace kestrum
