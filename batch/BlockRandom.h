#pragma once
// The generator of one block of a batch: fast, with no multiply per value,
// and derived from (seed, block) so that every block of every seed has a
// stream of its own.

#include <array>
#include <cstdint>

#include "engine/Tiles.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define KESTRUM_BLOCK_RANDOM_AVX2 1
#define KESTRUM_TARGET_AVX2 __attribute__((target("avx2")))
#else
#define KESTRUM_BLOCK_RANDOM_AVX2 0
#define KESTRUM_TARGET_AVX2
#endif

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
// overlaps the exchanges' loads and stores. Elsewhere a plain loop makes
// the very same values and positions, more slowly; the games of a seed do
// not depend on the processor.
class BlockRandom {
 public:
  static constexpr int kMax = 32767;

  enum class Kernel { kPortable, kAvx2 };
  // The fastest kernel this processor runs.
  static Kernel BestKernel();

  // The state is a strong mix of both numbers and the lane; two different
  // (seed, block) pairs never start from the same state, and sfc64 states
  // that are not equal stay apart for far longer than any batch runs.
  BlockRandom(std::uint64_t seed, std::uint64_t block, Kernel kernel = BestKernel());

  int Next() {
    if (next_ == end_) MakeChunk();
    return values_[next_++];
  }

  // Calls exchange(a, b) `pairs` times with the next two values of Next()
  // reduced modulo 136, exactly as `pairs` pairs of calls of Next() would.
  template <class Exchange>
  void ForEachPositionPair(unsigned pairs, Exchange&& exchange) {
#if KESTRUM_BLOCK_RANDOM_AVX2
    if (kernel_ == Kernel::kAvx2) {
      PairLoopAvx2(pairs, exchange);
      return;
    }
#endif
    PairLoop<false>(pairs, exchange);
  }

  Kernel kernel() const { return kernel_; }

 private:
  static constexpr int kLanes = 4;
  static constexpr int kStepsPerChunk = 2;
  static constexpr unsigned kValuesPerChunk = kLanes * 4 * kStepsPerChunk;  // 32
  static constexpr unsigned kPairsPerChunk = kValuesPerChunk / 2;
  // Values kept ready before the exchanges that read them: a chunk is read
  // two chunks after it was stored, when its stores have long left the
  // store queue (read at once, every load waits for them).
  static constexpr unsigned kAhead = 2 * kValuesPerChunk;
  static constexpr unsigned kCapacity = 512;

  // One loop for both kernels, so that they cannot differ in anything but
  // how a chunk is made; inlined into the AVX2 one so that its chunks are.
  template <bool kAvx2, class Exchange>
  [[gnu::always_inline]] inline void PairLoop(unsigned pairs, Exchange& exchange) {
    while (end_ - next_ < kAhead) {
      MakeRoom();
      AppendChunk<kAvx2>();
    }
    for (; pairs >= kPairsPerChunk; pairs -= kPairsPerChunk) {
      MakeRoom();
      AppendChunk<kAvx2>();
      const std::uint8_t* p = positions_.data() + next_;
      for (unsigned k = 0; k < kPairsPerChunk; ++k) exchange(p[2 * k], p[2 * k + 1]);
      next_ += kValuesPerChunk;
    }
    // Fewer than a chunk's pairs are left, and at least kAhead values wait.
    const std::uint8_t* p = positions_.data() + next_;
    for (unsigned k = 0; k < pairs; ++k) exchange(p[2 * k], p[2 * k + 1]);
    next_ += 2 * pairs;
  }

#if KESTRUM_BLOCK_RANDOM_AVX2
  template <class Exchange>
  KESTRUM_TARGET_AVX2 void PairLoopAvx2(unsigned pairs, Exchange& exchange) {
    PairLoop<true>(pairs, exchange);
  }

  KESTRUM_TARGET_AVX2 static __m256i StepAvx2(__m256i& a, __m256i& b, __m256i& c, __m256i& counter) {
    const __m256i out = _mm256_add_epi64(_mm256_add_epi64(a, b), counter);
    counter = _mm256_add_epi64(counter, _mm256_set1_epi64x(1));
    a = _mm256_xor_si256(b, _mm256_srli_epi64(b, 11));
    b = _mm256_add_epi64(c, _mm256_slli_epi64(c, 3));
    c = _mm256_add_epi64(_mm256_or_si256(_mm256_slli_epi64(c, 24), _mm256_srli_epi64(c, 40)), out);
    return out;
  }

  // v mod 136 for 15-bit v: the quotient is the high half of v * 61681
  // shifted right by 7 (61681 = ceil(2^23 / 136), exact below 2^15).
  KESTRUM_TARGET_AVX2 static __m256i Mod136Avx2(__m256i v) {
    const __m256i q = _mm256_srli_epi16(_mm256_mulhi_epu16(v, _mm256_set1_epi16(static_cast<short>(61681))), 7);
    return _mm256_sub_epi16(v, _mm256_mullo_epi16(q, _mm256_set1_epi16(kWallSize)));
  }

  KESTRUM_TARGET_AVX2 void AppendChunkAvx2() {
    static_assert(kStepsPerChunk == 2);
    __m256i a = _mm256_load_si256(reinterpret_cast<const __m256i*>(a_.data()));
    __m256i b = _mm256_load_si256(reinterpret_cast<const __m256i*>(b_.data()));
    __m256i c = _mm256_load_si256(reinterpret_cast<const __m256i*>(c_.data()));
    __m256i counter = _mm256_load_si256(reinterpret_cast<const __m256i*>(counter_.data()));
    const __m256i low15 = _mm256_set1_epi16(0x7FFF);
    const __m256i first = _mm256_and_si256(StepAvx2(a, b, c, counter), low15);
    const __m256i second = _mm256_and_si256(StepAvx2(a, b, c, counter), low15);
    _mm256_store_si256(reinterpret_cast<__m256i*>(a_.data()), a);
    _mm256_store_si256(reinterpret_cast<__m256i*>(b_.data()), b);
    _mm256_store_si256(reinterpret_cast<__m256i*>(c_.data()), c);
    _mm256_store_si256(reinterpret_cast<__m256i*>(counter_.data()), counter);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(values_.data() + end_), first);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(values_.data() + end_ + kValuesPerChunk / 2), second);
    // packus works within 128-bit halves; the permute puts the quarters
    // back in order.
    const __m256i packed = _mm256_packus_epi16(Mod136Avx2(first), Mod136Avx2(second));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(positions_.data() + end_), _mm256_permute4x64_epi64(packed, 0xD8));
    end_ += kValuesPerChunk;
  }
#endif
  template <bool kAvx2>
  [[gnu::always_inline]] inline void AppendChunk() {
#if KESTRUM_BLOCK_RANDOM_AVX2
    if constexpr (kAvx2) {
      AppendChunkAvx2();
      return;
    }
#endif
    AppendChunkPortable();
  }
  void AppendChunkPortable();
  // A chunk for Next() once the values made are used up.
  void MakeChunk();

  // Moves the values not yet used to the front when another chunk would
  // not fit behind them.
  void MakeRoom() {
    if (end_ + kValuesPerChunk <= kCapacity) return;
    MoveWaitingToFront();
  }
  void MoveWaitingToFront();

  // sfc64's state, lane by lane: a, b, c and the counter.
  alignas(32) std::array<std::uint64_t, kLanes> a_{};
  alignas(32) std::array<std::uint64_t, kLanes> b_{};
  alignas(32) std::array<std::uint64_t, kLanes> c_{};
  alignas(32) std::array<std::uint64_t, kLanes> counter_{};
  // Values made and not yet used are values_[next_, end_), with their
  // positions beside them.
  alignas(32) std::array<std::uint16_t, kCapacity> values_{};
  alignas(32) std::array<std::uint8_t, kCapacity> positions_{};
  unsigned next_ = 0;
  unsigned end_ = 0;
  Kernel kernel_;
};

}  // namespace kestrum
