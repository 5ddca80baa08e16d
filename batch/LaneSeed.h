#pragma once
// The arithmetic of the batch's generator that every kernel shares, on the
// processor and on a GPU alike: one sfc64 step and the seeding of a block's
// four lanes from (seed, block).

#include <cstdint>

#include "batch/DeviceCode.h"

namespace kestrum {

inline constexpr int kLanes = 4;

// One step of one lane's sfc64.
KESTRUM_HOST_DEVICE std::uint64_t SfcStep(std::uint64_t& a, std::uint64_t& b, std::uint64_t& c,
                                          std::uint64_t& counter) {
  const std::uint64_t out = a + b + counter++;
  a = b ^ (b >> 11);
  b = c + (c << 3);
  c = ((c << 24) | (c >> 40)) + out;
  return out;
}

// SplitMix64's finaliser: a bijection of 64-bit values whose every output bit
// depends on every input bit.
KESTRUM_HOST_DEVICE std::uint64_t MixBits(std::uint64_t x) {
  x += 0x9E3779B97F4A7C15ULL;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
  return x ^ (x >> 31);
}

// The generator's author advises discarding a few outputs after seeding so
// that the state has mixed before the first one is used.
inline constexpr int kWarmUpOutputs = 12;

// a depends on the seed alone and c, through a bijection, on the block and
// the lane together (blocks stay far below 2^62), so the lanes' states differ
// whenever the seed, the block or the lane does.
KESTRUM_HOST_DEVICE void SeedLane(std::uint64_t seed, std::uint64_t block, int lane, std::uint64_t& a, std::uint64_t& b,
                                  std::uint64_t& c, std::uint64_t& counter) {
  a = MixBits(seed);
  b = MixBits(a ^ 0x6A09E667F3BCC909ULL);
  c = MixBits(MixBits(block * kLanes + static_cast<std::uint64_t>(lane)) ^ a);
  counter = 1;
  for (int i = 0; i < kWarmUpOutputs; ++i) SfcStep(a, b, c, counter);
}

}  // namespace kestrum
