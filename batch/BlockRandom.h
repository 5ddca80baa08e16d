#pragma once
// The generator of one block of a batch: fast, with no multiply per value,
// and derived from (seed, block) so that every block of every seed has a
// stream of its own.

#include <array>
#include <cstdint>

#include "batch/LaneChunks.h"

namespace kestrum {

// Four of Chris Doty-Humphrey's small fast chaotic generators (sfc64) side
// by side, in lanes: adds, xors, shifts and a rotation, 256 bits of state a
// lane with a counter that guarantees a period of at least 2^64 from any
// state, and every output bit passes the usual test batteries, so low bits
// serve as well as high ones.
//
// The values: a step advances the four lanes together, and the outputs of
// lanes 0 to 3 give values 0-3, 4-7, 8-11 and 12-15 of that step, each the
// low 15 bits of one 16-bit quarter of the output, from the lowest quarter
// up. Next() hands them out in that order.
//
// Four lanes are what one AVX2 register holds: on a processor that has it,
// two steps (32 values) are made at once, reduced modulo 136 for the wall's
// positions with a multiply-high in 16-bit lanes (exact for 15-bit values),
// and stored ahead of the exchanges that read them, so the arithmetic
// overlaps the exchanges' loads and stores. Other x86-64 processors make
// them two lanes at a time with SSE2, and any other processor with plain
// code: the same values and positions, more slowly. The games of a seed do
// not depend on the processor (see LaneChunks.h).
class BlockRandom {
 public:
  static constexpr int kMax = 32767;

  // In order of speed; a processor that runs one runs those before it.
  enum class Kernel { kPortable, kSse2, kAvx2 };
  // The fastest kernel this processor runs.
  static Kernel BestKernel();

  // The state is a strong mix of both numbers and the lane; two different
  // (seed, block) pairs never start from the same state, and sfc64 states
  // that are not equal stay apart for far longer than any batch runs.
  // A kernel this processor does not run is replaced by the best it does.
  BlockRandom(std::uint64_t seed, std::uint64_t block, Kernel kernel = BestKernel());

  int Next() {
    if (next_ == end_) MakeChunk();
    return values_[next_++];
  }

  // Calls exchange(a, b) `pairs` times with the next two values of Next()
  // reduced modulo 136, exactly as `pairs` pairs of calls of Next() would.
  template <class Exchange>
  void ForEachPositionPair(unsigned pairs, Exchange&& exchange) {
    switch (kernel_) {
#if KESTRUM_LANE_CHUNKS_X86
      case Kernel::kAvx2:
        PairLoopAvx2(pairs, exchange);
        return;
      case Kernel::kSse2:
        PairLoop<Kernel::kSse2>(pairs, exchange);
        return;
#endif
      default:
        PairLoop<Kernel::kPortable>(pairs, exchange);
    }
  }

  Kernel kernel() const { return kernel_; }

 private:
  static constexpr unsigned kPairsPerChunk = kValuesPerChunk / 2;
  // Values kept ready before the exchanges that read them: a chunk is read
  // two chunks after it was stored, when its stores have long left the
  // store queue (read at once, every load waits for them).
  static constexpr unsigned kAhead = 2 * kValuesPerChunk;
  static constexpr unsigned kCapacity = 512;

  // One loop for every kernel, so that they cannot differ in anything but
  // how a chunk is made; inlined into the AVX2 one so that its chunks are.
  template <Kernel kKernel, class Exchange>
  [[gnu::always_inline]] inline void PairLoop(unsigned pairs, Exchange& exchange) {
    while (end_ - next_ < kAhead) {
      MakeRoom();
      AppendChunk<kKernel>();
    }
    for (; pairs >= kPairsPerChunk; pairs -= kPairsPerChunk) {
      MakeRoom();
      AppendChunk<kKernel>();
      const std::uint8_t* p = positions_.data() + next_;
      for (unsigned k = 0; k < kPairsPerChunk; ++k) exchange(p[2 * k], p[2 * k + 1]);
      next_ += kValuesPerChunk;
    }
    // Fewer than a chunk's pairs are left, and at least kAhead values wait.
    const std::uint8_t* p = positions_.data() + next_;
    for (unsigned k = 0; k < pairs; ++k) exchange(p[2 * k], p[2 * k + 1]);
    next_ += 2 * pairs;
  }

#if KESTRUM_LANE_CHUNKS_X86
  template <class Exchange>
  KESTRUM_TARGET_AVX2 void PairLoopAvx2(unsigned pairs, Exchange& exchange) {
    PairLoop<Kernel::kAvx2>(pairs, exchange);
  }
#endif

  template <Kernel kKernel>
  [[gnu::always_inline]] inline void AppendChunk() {
    std::uint16_t* values = values_.data() + end_;
    std::uint8_t* positions = positions_.data() + end_;
#if KESTRUM_LANE_CHUNKS_X86
    if constexpr (kKernel == Kernel::kAvx2) MakeChunkAvx2(state_, values, positions);
    if constexpr (kKernel == Kernel::kSse2) MakeChunkSse2(state_, values, positions);
#endif
    if constexpr (kKernel == Kernel::kPortable) MakeChunkPortable(state_, values, positions);
    end_ += kValuesPerChunk;
  }

  // A chunk for Next() once the values made are used up.
  void MakeChunk();

  // Moves the values not yet used to the front when another chunk would
  // not fit behind them.
  void MakeRoom() {
    if (end_ + kValuesPerChunk <= kCapacity) return;
    MoveWaitingToFront();
  }
  void MoveWaitingToFront();

  LaneState state_;
  // Values made and not yet used are values_[next_, end_), with their
  // positions beside them.
  alignas(32) std::array<std::uint16_t, kCapacity> values_{};
  alignas(32) std::array<std::uint8_t, kCapacity> positions_{};
  unsigned next_ = 0;
  unsigned end_ = 0;
  Kernel kernel_;
};

}  // namespace kestrum
