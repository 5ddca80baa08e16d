#pragma once

#include <cstdint>

namespace kestrum {

// The one pseudo-random source of a simulation: 15-bit values, 0..32767.
// That range is part of the behaviour, since every choice is Next() reduced
// modulo a bound (positions 0..127 of the wall are drawn with weight 241,
// 128..135 with weight 240).
//
// Behind it is a 64-bit linear congruential generator whose top 15 bits are
// the output: one multiply-add per value, and the high bits of this LCG pass
// the uniformity and serial tests the shuffle needs. NextPair() returns
// exactly the next two values of Next() but computes both from the same
// state (the second with the two-step multiplier), which halves the length
// of the dependency chain in the shuffle's hot loop. (A reduction modulo 136
// by a 32 KB table did not pay here: at one game every 10 ms the table has
// left the cache by the next game, and the window measured no lighter with
// it.)
class RandomSource {
 public:
  static constexpr int kMax = 32767;

  RandomSource() { Seed(0); }
  explicit RandomSource(std::uint64_t seed) { Seed(seed); }

  // The seed goes through a mixing step so that neighbouring seeds (two
  // processes started a second apart, or the threads of a batch run seeded
  // seed, seed + 1, ...) start far apart in the sequence.
  void Seed(std::uint64_t seed) { state_ = Mix(seed); }

  int Next() {
    state_ = state_ * kMul + kInc;
    return static_cast<int>(state_ >> 49);
  }

  struct Pair {
    int first;
    int second;
  };
  Pair NextPair() {
    const std::uint64_t first = state_ * kMul + kInc;
    const std::uint64_t second = state_ * kMul2 + kInc2;
    state_ = second;
    return {static_cast<int>(first >> 49), static_cast<int>(second >> 49)};
  }

 private:
  static constexpr std::uint64_t kMul = 6364136223846793005ULL;
  static constexpr std::uint64_t kInc = 1442695040888963407ULL;
  // Two steps at once: s'' = s * kMul^2 + kInc * (kMul + 1).
  static constexpr std::uint64_t kMul2 = kMul * kMul;
  static constexpr std::uint64_t kInc2 = kInc * (kMul + 1);

  static constexpr std::uint64_t Mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
  }

  std::uint64_t state_ = 0;
};

}  // namespace kestrum
