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

// Two 15-bit values 32 bits apart, each reduced modulo 136 with the vector
// kernels' multiply-high in the 32-bit halves of one word: each half's
// product stays below 2^31, so nothing carries from one half into the other.
std::uint64_t Mod136Pair(std::uint64_t pair) {
  constexpr std::uint64_t kQuotientBits = 0x000001FF000001FFULL;
  const std::uint64_t quotients = ((pair * 61681) >> 23) & kQuotientBits;
  return pair - quotients * 136;
}

}  // namespace

// Lane by lane, so that one lane's state stays in registers; each output's
// values and positions still go where the step order puts them.
void MakeChunkPortable(LaneState& state, std::uint16_t* values, std::uint8_t* positions) {
  constexpr std::uint64_t kLow15Quarters = 0x7FFF7FFF7FFF7FFFULL;
  constexpr std::uint64_t kEvenQuarters = 0x00007FFF00007FFFULL;
  for (int lane = 0; lane < kLanes; ++lane) {
    // Local copies: the byte stores below may alias the state.
    std::uint64_t a = state.a[lane];
    std::uint64_t b = state.b[lane];
    std::uint64_t c = state.c[lane];
    std::uint64_t counter = state.counter[lane];
    for (int step = 0; step < kStepsPerChunk; ++step) {
      const int at = step * kLanes * 4 + lane * 4;
      const std::uint64_t out = Step(a, b, c, counter) & kLow15Quarters;
      const std::uint64_t even = Mod136Pair(out & kEvenQuarters);         // quarters 0 and 2
      const std::uint64_t odd = Mod136Pair((out >> 16) & kEvenQuarters);  // quarters 1 and 3
      for (int quarter = 0; quarter < 4; ++quarter) values[at + quarter] = static_cast<std::uint16_t>(out >> (16 * quarter));
      positions[at] = static_cast<std::uint8_t>(even);
      positions[at + 1] = static_cast<std::uint8_t>(odd);
      positions[at + 2] = static_cast<std::uint8_t>(even >> 32);
      positions[at + 3] = static_cast<std::uint8_t>(odd >> 32);
    }
    state.a[lane] = a;
    state.b[lane] = b;
    state.c[lane] = c;
    state.counter[lane] = counter;
  }
}

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
    for (int i = 0; i < kWarmUpOutputs; ++i) Step(a, b, c, counter);
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
