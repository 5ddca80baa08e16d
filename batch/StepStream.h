#pragma once
// A block's generator as one GPU thread holds it: the four sfc64 lanes and
// the outputs of the step being handed out, all in registers. It gives the
// values of BlockRandom in the same order (see BlockRandom.h): a step makes
// sixteen values, lane 0's four quarters first.

#include <cstdint>

#include "batch/DeviceCode.h"
#include "batch/LaneSeed.h"

namespace kestrum {

// v mod 136 for v below 2^15: the quotient is the high word of v times
// ceil(2^23 / 136) shifted up by 9, as the vector kernels compute it.
KESTRUM_HOST_DEVICE unsigned Mod136(unsigned v) {
  constexpr unsigned kScaledReciprocal = 61681u << 9;
#if defined(__CUDA_ARCH__)
  const unsigned quotient = __umulhi(v, kScaledReciprocal);
#else
  const auto quotient = static_cast<unsigned>((static_cast<std::uint64_t>(v) * kScaledReciprocal) >> 32);
#endif
  return v - quotient * 136u;
}

// The 32 bits of hi:lo starting at bit 32 - shift of lo, for shift 0 or 16.
KESTRUM_HOST_DEVICE std::uint32_t FunnelLeft(std::uint32_t lo, std::uint32_t hi, unsigned shift) {
#if defined(__CUDA_ARCH__)
  return __funnelshift_l(lo, hi, shift);
#else
  return static_cast<std::uint32_t>(((static_cast<std::uint64_t>(hi) << 32) | lo) >> (32 - shift));
#endif
}

class StepStream {
 public:
  static constexpr unsigned kValuesPerStep = kLanes * 4;
  static constexpr unsigned kPairsPerStep = kValuesPerStep / 2;

  KESTRUM_HOST_DEVICE StepStream(std::uint64_t seed, std::uint64_t block) {
    for (int lane = 0; lane < kLanes; ++lane) SeedLane(seed, block, lane, a_[lane], b_[lane], c_[lane], counter_[lane]);
  }

  // The next value, 0..32767.
  KESTRUM_HOST_DEVICE unsigned Next() {
    if (used_ == kValuesPerStep) Step();
    // Selects rather than an index, so that the outputs stay in registers.
    const std::uint64_t out = used_ < 8 ? (used_ < 4 ? out_[0] : out_[1]) : (used_ < 12 ? out_[2] : out_[3]);
    const auto value = static_cast<unsigned>(out >> (16 * (used_ & 3))) & 0x7FFFu;
    ++used_;
    return value;
  }

  // At most one value of the step is left, so that the next step's pairs
  // can be handed out whole: straight, or each shifted by the one left.
  KESTRUM_HOST_DEVICE bool AtPairsOfStep() const { return used_ + 1 >= kValuesPerStep; }

  // Only when AtPairsOfStep(): makes a step and calls exchange(a, b) for the
  // next kPairsPerStep pairs of values, as pairs of Next() would. With a
  // value left over, each pair takes the upper value of one 32-bit word and
  // the lower of the next, and the last value of the step is left over in
  // turn; the same instructions run either way.
  template <class Exchange>
  KESTRUM_HOST_DEVICE void StepPairs(Exchange& exchange) {
    const unsigned shift = used_ == kValuesPerStep ? 0u : 16u;
    std::uint32_t previous = static_cast<std::uint32_t>(out_[3] >> 32);
    Step();
    used_ = kValuesPerStep - shift / 16;
    for (int lane = 0; lane < kLanes; ++lane) {
      const auto low = static_cast<std::uint32_t>(out_[lane]);
      const auto high = static_cast<std::uint32_t>(out_[lane] >> 32);
      ExchangeWord(FunnelLeft(previous, low, shift), exchange);
      ExchangeWord(FunnelLeft(low, high, shift), exchange);
      previous = high;
    }
  }

 private:
  template <class Exchange>
  KESTRUM_HOST_DEVICE static void ExchangeWord(std::uint32_t word, Exchange& exchange) {
    exchange(Mod136(word & 0x7FFFu), Mod136((word >> 16) & 0x7FFFu));
  }

  KESTRUM_HOST_DEVICE void Step() {
    for (int lane = 0; lane < kLanes; ++lane) out_[lane] = SfcStep(a_[lane], b_[lane], c_[lane], counter_[lane]);
    used_ = 0;
  }

  std::uint64_t a_[kLanes];
  std::uint64_t b_[kLanes];
  std::uint64_t c_[kLanes];
  std::uint64_t counter_[kLanes];
  std::uint64_t out_[kLanes] = {0, 0, 0, 0};
  unsigned used_ = kValuesPerStep;  // values of out_ handed out
};

}  // namespace kestrum
