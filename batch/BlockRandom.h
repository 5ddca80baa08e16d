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
// 15-bit values. NextPositionPair() gives the next two values of Next()
// reduced modulo 136 through a table instead of a division, so that the
// batch plays exactly the games ShuffleWall would play with Next() alone.
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
    if (left_ >= 2) {
      const unsigned first = kPosition[bits_ & kMask];
      const unsigned second = kPosition[(bits_ >> kBits) & kMask];
      bits_ >>= 2 * kBits;
      left_ -= 2;
      return {first, second};
    }
    const unsigned first = kPosition[static_cast<unsigned>(Next())];
    return {first, kPosition[static_cast<unsigned>(Next())]};
  }

  // One raw 64-bit output.
  std::uint64_t NextOutput() {
    const std::uint64_t out = a_ + b_ + counter_++;
    a_ = b_ ^ (b_ >> 11);
    b_ = c_ + (c_ << 3);
    c_ = ((c_ << 24) | (c_ >> 40)) + out;
    return out;
  }

 private:
  static constexpr int kBits = 15;
  static constexpr std::uint64_t kMask = (1u << kBits) - 1;
  static constexpr int kValuesPerOutput = 4;

  // value mod 136 for every 15-bit value: one load instead of a division.
  static const std::array<std::uint8_t, 1u << kBits> kPosition;

  void Refill() {
    bits_ = NextOutput();
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
