#pragma once
// The generator of one block of a batch: fast, with no multiply in the hot
// loop, and derived from (seed, block) so that every block of every seed has
// a stream of its own.

#include <array>
#include <cstdint>

#include "engine/Tiles.h"

namespace kestrum {

// Chris Doty-Humphrey's small fast chaotic generator (sfc64): adds, xors,
// shifts and a rotation, 256 bits of state with a counter that guarantees a
// period of at least 2^64 from any state, and every output bit passes the
// usual test batteries, so its low bits serve as well as its high ones.
//
// One 64-bit output gives four 15-bit values (bits 0-14, 15-29, 30-44,
// 45-59), handed out in that order by Next(); the shuffle needs nothing but
// 15-bit values. The position shortcuts give the next values of Next()
// reduced modulo 136 through a small table instead of a division, so that
// the batch plays exactly the games ShuffleWall would play with Next()
// alone, in the same order of draws.
class BlockRandom {
 public:
  static constexpr int kMax = 32767;

  // The state is a strong mix of both numbers; two different (seed, block)
  // pairs never start from the same state, and sfc64 states that are not
  // equal stay apart for far longer than any batch runs.
  BlockRandom(std::uint64_t seed, std::uint64_t block);

  int Next() {
    if (left_ == 0) Refill();
    const auto value = static_cast<int>(bits_ & kMask);
    bits_ >>= kBits;
    --left_;
    return value;
  }

  struct PositionPair {
    unsigned first;
    unsigned second;
  };
  PositionPair NextPositionPair() {
    const unsigned first = Position(static_cast<unsigned>(Next()));
    return {first, Position(static_cast<unsigned>(Next()))};
  }

  // Calls exchange(a0, b0, a1, b1) with the next four values reduced, for
  // `quads` outputs in a row: the same values as four calls of Next() each.
  // The values still waiting from the previous output come first, so each
  // output's values are split at the same place throughout; one loop for
  // each place keeps every shift a constant and the state in registers.
  template <class Exchange>
  void ForEachPositionQuad(unsigned quads, Exchange&& exchange) {
    switch (left_) {
      case 0: QuadLoop<0>(quads, exchange); break;
      case 1: QuadLoop<1>(quads, exchange); break;
      case 2: QuadLoop<2>(quads, exchange); break;
      default: QuadLoop<3>(quads, exchange); break;
    }
  }

  // value mod 136 for a 15-bit value, by one load: a division by a
  // constant costs two multiplies. (A table of 4096 bytes over value / 8,
  // since 136 = 8 * 17, fits the first-level cache better but costs three
  // more instructions a value, and measured slower.)
  static unsigned Position(std::uint64_t value) { return kPosition[value]; }

  // One raw 64-bit output.
  std::uint64_t NextOutput() { return Step(a_, b_, c_, counter_); }

 private:
  static constexpr int kBits = 15;
  static constexpr std::uint64_t kMask = (1u << kBits) - 1;
  static constexpr int kValuesPerOutput = 4;
  static constexpr std::uint64_t kFourValues = (std::uint64_t{1} << (kValuesPerOutput * kBits)) - 1;

  static const std::array<std::uint8_t, 1u << kBits> kPosition;

  static std::uint64_t Step(std::uint64_t& a, std::uint64_t& b, std::uint64_t& c, std::uint64_t& counter) {
    const std::uint64_t out = a + b + counter++;
    a = b ^ (b >> 11);
    b = c + (c << 3);
    c = ((c << 24) | (c >> 40)) + out;
    return out;
  }

  template <int kWaiting, class Exchange>
  void QuadLoop(unsigned quads, Exchange& exchange) {
    // The waiting values are kept where they stood in the output that gave
    // them, and each value is taken from that output or the new one with one
    // shift and one mask: merging them into one word of four first cost four
    // more operations a quad, which the loop, bound by its arithmetic, felt.
    constexpr int kTakenBits = (kValuesPerOutput - kWaiting) * kBits;
    // Local copies: the wall the exchanges write may be of bytes, which the
    // compiler must assume alias the members.
    std::uint64_t a = a_, b = b_, c = c_, counter = counter_;
    std::uint64_t previous = kWaiting > 0 ? bits_ << kTakenBits : 0;
    const auto value = [&previous](std::uint64_t output, int k) {
      return k < kWaiting ? Position((previous >> (kTakenBits + k * kBits)) & kMask)
                          : Position((output >> ((k - kWaiting) * kBits)) & kMask);
    };
    for (unsigned q = 0; q < quads; ++q) {
      const std::uint64_t output = Step(a, b, c, counter);
      exchange(value(output, 0), value(output, 1), value(output, 2), value(output, 3));
      previous = output;
    }
    a_ = a;
    b_ = b;
    c_ = c;
    counter_ = counter;
    if constexpr (kWaiting > 0) bits_ = (previous >> kTakenBits) & ((std::uint64_t{1} << (kWaiting * kBits)) - 1);
  }

  // Only the four values are kept, so that the bits above the waiting
  // values are always clear.
  void Refill() {
    bits_ = NextOutput() & kFourValues;
    left_ = kValuesPerOutput;
  }

  std::uint64_t a_ = 0;
  std::uint64_t b_ = 0;
  std::uint64_t c_ = 0;
  std::uint64_t counter_ = 0;
  std::uint64_t bits_ = 0;
  int left_ = 0;
};

}  // namespace kestrum
