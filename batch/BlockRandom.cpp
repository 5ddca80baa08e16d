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

}  // namespace

BlockRandom::Kernel BlockRandom::BestKernel() {
#if KESTRUM_LANE_CHUNKS_X86
  static const Kernel best = __builtin_cpu_supports("avx2") ? Kernel::kAvx2 : Kernel::kSse2;
  return best;
#else
  return Kernel::kPortable;
#endif
}

BlockRandom::BlockRandom(std::uint64_t seed, std::uint64_t block, Kernel kernel)
    : kernel_(kernel <= BestKernel() ? kernel : BestKernel()) {
  // a depends on the seed alone and c, through a bijection, on the block
  // and the lane together (blocks stay far below 2^62), so the lanes'
  // states differ whenever the seed, the block or the lane does.
  for (int lane = 0; lane < kLanes; ++lane) {
    std::uint64_t& a = state_.a[lane];
    std::uint64_t& b = state_.b[lane];
    std::uint64_t& c = state_.c[lane];
    std::uint64_t& counter = state_.counter[lane];
    a = Mix(seed);
    b = Mix(a ^ 0x6A09E667F3BCC909ULL);
    c = Mix(Mix(block * kLanes + static_cast<std::uint64_t>(lane)) ^ a);
    counter = 1;
    for (int i = 0; i < kWarmUpOutputs; ++i) SfcStep(a, b, c, counter);
  }
}

void BlockRandom::MakeChunk() {
  const auto append = [this](auto chunks) {
    AppendChunk(chunks);
    chunks.KeepIn(state_);
  };
  switch (kernel_) {
#if KESTRUM_LANE_CHUNKS_X86
    case Kernel::kAvx2:
      MakeChunkAvx2();
      break;
    case Kernel::kSse2:
      append(Sse2Chunks(state_));
      break;
#endif
    default:
      append(PortableChunks(state_));
  }
}

#if KESTRUM_LANE_CHUNKS_X86
KESTRUM_TARGET_AVX2 void BlockRandom::MakeChunkAvx2() {
  Avx2Chunks chunks(state_);
  AppendChunk(chunks);
  chunks.KeepIn(state_);
}
#endif

void BlockRandom::MoveWaitingToFront() {
  const unsigned waiting = end_ - next_;
  std::memmove(values_.data(), values_.data() + next_, waiting * sizeof values_[0]);
  std::memmove(positions_.data(), positions_.data() + next_, waiting * sizeof positions_[0]);
  next_ = 0;
  end_ = waiting;
}

}  // namespace kestrum
