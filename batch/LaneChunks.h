#pragma once
// The three ways BlockRandom makes its values: a chunk of 32 values (two
// steps of four sfc64 lanes) with their positions on the wall (value mod
// 136). All three give the same bytes; they differ in speed only.

#include <array>
#include <cstdint>

#include "batch/LaneSeed.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define KESTRUM_LANE_CHUNKS_X86 1
#define KESTRUM_TARGET_AVX2 __attribute__((target("avx2")))
#else
#define KESTRUM_LANE_CHUNKS_X86 0
#define KESTRUM_TARGET_AVX2
#endif

namespace kestrum {

inline constexpr int kStepsPerChunk = 2;
inline constexpr unsigned kValuesPerChunk = kLanes * 4 * kStepsPerChunk;  // 32

// sfc64's state, lane by lane: a, b, c and the counter.
struct LaneState {
  alignas(32) std::array<std::uint64_t, kLanes> a{};
  alignas(32) std::array<std::uint64_t, kLanes> b{};
  alignas(32) std::array<std::uint64_t, kLanes> c{};
  alignas(32) std::array<std::uint64_t, kLanes> counter{};
};

// Plain C++, for any processor.
void MakeChunkPortable(LaneState& state, std::uint16_t* values, std::uint8_t* positions);

// A kernel as BlockRandom drives it: made from the state, appending chunks
// one after another, and putting the state back when done. The vector
// kernels hold the state in registers meanwhile: kept in memory, it would
// be reloaded after every chunk, whose vector stores may write anywhere as
// far as the compiler knows.
class PortableChunks {
 public:
  explicit PortableChunks(LaneState& state) : state_(state) {}
  void Append(std::uint16_t* values, std::uint8_t* positions) { MakeChunkPortable(state_, values, positions); }
  void KeepIn(LaneState& /*state*/) const {}

 private:
  LaneState& state_;
};

#if KESTRUM_LANE_CHUNKS_X86

// v mod 136 for 15-bit v: the quotient is the high half of v * 61681
// shifted right by 7 (61681 = ceil(2^23 / 136), exact below 2^15).
inline constexpr short kReciprocal136 = static_cast<short>(61681);

inline __m128i StepSse2(__m128i& a, __m128i& b, __m128i& c, __m128i& counter) {
  const __m128i out = _mm_add_epi64(_mm_add_epi64(a, b), counter);
  counter = _mm_add_epi64(counter, _mm_set1_epi64x(1));
  a = _mm_xor_si128(b, _mm_srli_epi64(b, 11));
  b = _mm_add_epi64(c, _mm_slli_epi64(c, 3));
  c = _mm_add_epi64(_mm_or_si128(_mm_slli_epi64(c, 24), _mm_srli_epi64(c, 40)), out);
  return out;
}

inline __m128i Mod136Sse2(__m128i v) {
  const __m128i q = _mm_srli_epi16(_mm_mulhi_epu16(v, _mm_set1_epi16(kReciprocal136)), 7);
  return _mm_sub_epi16(v, _mm_mullo_epi16(q, _mm_set1_epi16(136)));
}

// SSE2, which every x86-64 processor has: two lanes to a register. The
// state stays in registers from one chunk to the next (see PortableChunks).
class Sse2Chunks {
 public:
  explicit Sse2Chunks(const LaneState& state) {
    for (int half = 0; half < 2; ++half) {
      a_[half] = _mm_load_si128(reinterpret_cast<const __m128i*>(&state.a[2 * half]));
      b_[half] = _mm_load_si128(reinterpret_cast<const __m128i*>(&state.b[2 * half]));
      c_[half] = _mm_load_si128(reinterpret_cast<const __m128i*>(&state.c[2 * half]));
      counter_[half] = _mm_load_si128(reinterpret_cast<const __m128i*>(&state.counter[2 * half]));
    }
  }

  void Append(std::uint16_t* values, std::uint8_t* positions) {
    const __m128i low15 = _mm_set1_epi16(0x7FFF);
    for (int step = 0; step < kStepsPerChunk; ++step) {
      const __m128i first = _mm_and_si128(StepSse2(a_[0], b_[0], c_[0], counter_[0]), low15);
      const __m128i second = _mm_and_si128(StepSse2(a_[1], b_[1], c_[1], counter_[1]), low15);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(values + 16 * step), first);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(values + 16 * step + 8), second);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(positions + 16 * step),
                       _mm_packus_epi16(Mod136Sse2(first), Mod136Sse2(second)));
    }
  }

  void KeepIn(LaneState& state) const {
    for (int half = 0; half < 2; ++half) {
      _mm_store_si128(reinterpret_cast<__m128i*>(&state.a[2 * half]), a_[half]);
      _mm_store_si128(reinterpret_cast<__m128i*>(&state.b[2 * half]), b_[half]);
      _mm_store_si128(reinterpret_cast<__m128i*>(&state.c[2 * half]), c_[half]);
      _mm_store_si128(reinterpret_cast<__m128i*>(&state.counter[2 * half]), counter_[half]);
    }
  }

 private:
  // Lanes 0-1 and 2-3 of each part of the state.
  __m128i a_[2];
  __m128i b_[2];
  __m128i c_[2];
  __m128i counter_[2];
};

KESTRUM_TARGET_AVX2 inline __m256i StepAvx2(__m256i& a, __m256i& b, __m256i& c, __m256i& counter) {
  const __m256i out = _mm256_add_epi64(_mm256_add_epi64(a, b), counter);
  counter = _mm256_add_epi64(counter, _mm256_set1_epi64x(1));
  a = _mm256_xor_si256(b, _mm256_srli_epi64(b, 11));
  b = _mm256_add_epi64(c, _mm256_slli_epi64(c, 3));
  c = _mm256_add_epi64(_mm256_or_si256(_mm256_slli_epi64(c, 24), _mm256_srli_epi64(c, 40)), out);
  return out;
}

KESTRUM_TARGET_AVX2 inline __m256i Mod136Avx2(__m256i v) {
  const __m256i q = _mm256_srli_epi16(_mm256_mulhi_epu16(v, _mm256_set1_epi16(kReciprocal136)), 7);
  return _mm256_sub_epi16(v, _mm256_mullo_epi16(q, _mm256_set1_epi16(136)));
}

KESTRUM_TARGET_AVX2 inline __m256i LoadLanesAvx2(const std::array<std::uint64_t, kLanes>& lanes) {
  return _mm256_load_si256(reinterpret_cast<const __m256i*>(lanes.data()));
}

KESTRUM_TARGET_AVX2 inline void StoreLanesAvx2(std::array<std::uint64_t, kLanes>& lanes, __m256i v) {
  _mm256_store_si256(reinterpret_cast<__m256i*>(lanes.data()), v);
}

// AVX2: all four lanes in one register, a step's sixteen values at once.
class Avx2Chunks {
 public:
  KESTRUM_TARGET_AVX2 explicit Avx2Chunks(const LaneState& state)
      : a_(LoadLanesAvx2(state.a)),
        b_(LoadLanesAvx2(state.b)),
        c_(LoadLanesAvx2(state.c)),
        counter_(LoadLanesAvx2(state.counter)) {}

  KESTRUM_TARGET_AVX2 void Append(std::uint16_t* values, std::uint8_t* positions) {
    static_assert(kStepsPerChunk == 2);
    const __m256i low15 = _mm256_set1_epi16(0x7FFF);
    const __m256i first = _mm256_and_si256(StepAvx2(a_, b_, c_, counter_), low15);
    const __m256i second = _mm256_and_si256(StepAvx2(a_, b_, c_, counter_), low15);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(values), first);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(values + 16), second);
    // packus works within 128-bit halves; the permute puts the quarters
    // back in order.
    const __m256i packed = _mm256_packus_epi16(Mod136Avx2(first), Mod136Avx2(second));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(positions), _mm256_permute4x64_epi64(packed, 0xD8));
  }

  KESTRUM_TARGET_AVX2 void KeepIn(LaneState& state) const {
    StoreLanesAvx2(state.a, a_);
    StoreLanesAvx2(state.b, b_);
    StoreLanesAvx2(state.c, c_);
    StoreLanesAvx2(state.counter, counter_);
  }

 private:
  __m256i a_;
  __m256i b_;
  __m256i c_;
  __m256i counter_;
};

#endif

}  // namespace kestrum
