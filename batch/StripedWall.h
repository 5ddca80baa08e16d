#pragma once
// The walls of a warp's 32 threads in GPU shared memory, a byte a tile,
// striped so that the threads never meet in a bank: the 32-bit word holding
// tiles 4w..4w+3 of thread l is word w * 32 + l, and shared memory's 32 banks
// are the word index mod 32. Whatever positions the threads draw, the loads
// and stores of one exchange from all 32 hit 32 different banks.

#include <cstdint>

#include "batch/DeviceCode.h"
#include "engine/Tiles.h"

namespace kestrum {

inline constexpr int kWarpThreads = 32;
inline constexpr int kWallWords = kWallSize / 4;                         // 34
inline constexpr int kStripedWarpBytes = kWallWords * 4 * kWarpThreads;  // 4352

// One thread's wall: a view of its bytes in the stripes of its warp.
class StripedWall {
 public:
  // stripes: kStripedWarpBytes for each warp of the threads, one after
  // another; thread: the thread's index among them. The offset is worked
  // out whole before it is added, so that a GPU adds one register to each
  // position's offset.
  KESTRUM_HOST_DEVICE StripedWall(std::uint8_t* stripes, unsigned thread)
      : base_(stripes + ((thread / kWarpThreads) * kStripedWarpBytes + 4 * (thread % kWarpThreads))) {}

  // (position / 4) * 128 + position % 4, as a shift and one three-way logic
  // operation.
  KESTRUM_HOST_DEVICE static unsigned Offset(unsigned position) {
    return ((position << 5) & ~(4u * kWarpThreads - 1)) | (position & 3);
  }

  // 1,1,1,1,2,2,2,2,...,34,34,34,34, as every block's wall begins.
  KESTRUM_HOST_DEVICE void Fill() {
    for (unsigned w = 0; w < kWallWords; ++w) {
      const auto code = static_cast<std::uint8_t>(w + 1);
      for (unsigned k = 0; k < 4; ++k) base_[Offset(4 * w + k)] = code;
    }
  }

  KESTRUM_HOST_DEVICE unsigned At(unsigned position) const { return base_[Offset(position)]; }

  // Two loads and two stores, right also when a equals b.
  KESTRUM_HOST_DEVICE void Exchange(unsigned a, unsigned b) {
    std::uint8_t* const pa = base_ + Offset(a);
    std::uint8_t* const pb = base_ + Offset(b);
    const std::uint8_t ta = *pa;
    const std::uint8_t tb = *pb;
    *pa = tb;
    *pb = ta;
  }

 private:
  std::uint8_t* base_;
};

// A thread's games by distance in the same striped way, two 16-bit counts
// to a word (a block's 1024 games never fill one): words 0-3 the dealer's
// fourteen tiles, words 4-7 the wall's first thirteen, slot = distance + 1.
inline constexpr int kTallyWords = 8;
inline constexpr int kStripedTallyWarpBytes = kTallyWords * 4 * kWarpThreads;  // 1024

class StripedTally {
 public:
  static constexpr unsigned kSlots = 8;

  // stripes: kStripedTallyWarpBytes for each warp of the threads.
  KESTRUM_HOST_DEVICE StripedTally(std::uint8_t* stripes, unsigned thread)
      : base_(reinterpret_cast<std::uint32_t*>(stripes) +
              ((thread / kWarpThreads) * kTallyWords * kWarpThreads + thread % kWarpThreads)) {}

  KESTRUM_HOST_DEVICE void Clear() {
    for (unsigned w = 0; w < kTallyWords; ++w) base_[w * kWarpThreads] = 0;
  }

  // slot 0..7 of the dealer's tally (second = false) or the thirteen's.
  KESTRUM_HOST_DEVICE void Count(bool second, unsigned slot) {
    const unsigned word = (second ? 4 : 0) + slot / 2;
    base_[word * kWarpThreads] += 1u << (16 * (slot % 2));
  }

  KESTRUM_HOST_DEVICE void CopyTo(std::uint32_t (&dealer)[kSlots], std::uint32_t (&thirteen)[kSlots]) const {
    for (unsigned slot = 0; slot < kSlots; ++slot) {
      dealer[slot] = (base_[(slot / 2) * kWarpThreads] >> (16 * (slot % 2))) & 0xFFFFu;
      thirteen[slot] = (base_[(4 + slot / 2) * kWarpThreads] >> (16 * (slot % 2))) & 0xFFFFu;
    }
  }

 private:
  std::uint32_t* base_;
};

}  // namespace kestrum
