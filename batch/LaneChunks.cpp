#include "batch/LaneChunks.h"

namespace kestrum {
namespace {

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
      const std::uint64_t out = SfcStep(a, b, c, counter) & kLow15Quarters;
      const std::uint64_t even = Mod136Pair(out & kEvenQuarters);         // quarters 0 and 2
      const std::uint64_t odd = Mod136Pair((out >> 16) & kEvenQuarters);  // quarters 1 and 3
      for (int quarter = 0; quarter < 4; ++quarter)
        values[at + quarter] = static_cast<std::uint16_t>(out >> (16 * quarter));
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

}  // namespace kestrum
