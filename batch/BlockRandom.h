#pragma once
// The generator of one block of a batch: fast, with its arithmetic done a
// chunk of values at a time in vector registers, and derived from (seed,
// block) so that every block of every seed has a stream of its own.

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

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
        PairLoop<Sse2Chunks>(pairs, exchange);
        return;
#endif
      default:
        PairLoop<PortableChunks>(pairs, exchange);
    }
  }

  Kernel kernel() const { return kernel_; }

 private:
  static constexpr unsigned kPairsPerChunk = kValuesPerChunk / 2;
  // Values kept ready before the exchanges that read them: a chunk is read
  // two chunks after it was stored, so that its vector stores have left the
  // store queue before the exchanges read them back in narrower loads.
  static constexpr unsigned kAhead = 2 * kValuesPerChunk;
  static constexpr unsigned kCapacity = 512;

  // One loop for every kernel, so that they cannot differ in anything but
  // how a chunk is made; inlined into the AVX2 one so that its chunks are.
  template <class Chunks, class Exchange>
  [[gnu::always_inline]] inline void PairLoop(unsigned pairs, Exchange& exchange) {
    Chunks chunks(state_);
    while (end_ - next_ < kAhead) AppendChunk(chunks);
    for (; pairs >= kPairsPerChunk; pairs -= kPairsPerChunk) {
      AppendChunk(chunks);
      ExchangeChunk(positions_.data() + next_, exchange);
      next_ += kValuesPerChunk;
    }
    chunks.KeepIn(state_);
    // Fewer than a chunk's pairs are left, and at least kAhead values wait.
    const std::uint8_t* p = positions_.data() + next_;
    for (unsigned k = 0; k < pairs; ++k) exchange(p[2 * k], p[2 * k + 1]);
    next_ += 2 * pairs;
  }

  // A chunk's exchanges, four to one 8-byte load of positions: shifts
  // instead of byte loads leave the load ports to the wall's exchanges.
  template <class Exchange>
  [[gnu::always_inline]] static inline void ExchangeChunk(const std::uint8_t* p, Exchange& exchange) {
    static_assert(kPairsPerChunk % 4 == 0);
    for (unsigned k = 0; k < kPairsPerChunk; k += 4, p += 8) {
      if constexpr (std::endian::native == std::endian::little) {
        std::uint64_t eight;
        std::memcpy(&eight, p, sizeof eight);
        const auto at = [eight](int byte) { return static_cast<unsigned>((eight >> (8 * byte)) & 0xFF); };
        exchange(at(0), at(1));
        exchange(at(2), at(3));
        exchange(at(4), at(5));
        exchange(at(6), at(7));
      } else {
        for (int pair = 0; pair < 4; ++pair) exchange(p[2 * pair], p[2 * pair + 1]);
      }
    }
  }

#if KESTRUM_LANE_CHUNKS_X86
  template <class Exchange>
  KESTRUM_TARGET_AVX2 void PairLoopAvx2(unsigned pairs, Exchange& exchange) {
    PairLoop<Avx2Chunks>(pairs, exchange);
  }
#endif

  template <class Chunks>
  [[gnu::always_inline]] inline void AppendChunk(Chunks& chunks) {
    MakeRoom();
    chunks.Append(values_.data() + end_, positions_.data() + end_);
    end_ += kValuesPerChunk;
  }

  // A chunk for Next() once the values made are used up.
  void MakeChunk();
#if KESTRUM_LANE_CHUNKS_X86
  KESTRUM_TARGET_AVX2 void MakeChunkAvx2();
#endif

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
