#pragma once
// The complete-hand test on tile counts, for a GPU thread: no recursion, no
// list to sort, the same answer and form as ClassifyHand for every hand.
//
// Counts are held three bits a kind: the nine kinds of a suit in one 32-bit
// word, rank 1 lowest, and the seven honours in a fourth word.

#include <cstdint>

#include "batch/DeviceCode.h"
#include "engine/CompleteHand.h"

namespace kestrum {

KESTRUM_HOST_DEVICE unsigned PopCount(std::uint32_t x) {
#if defined(__CUDA_ARCH__)
  return static_cast<unsigned>(__popc(x));
#else
  return static_cast<unsigned>(__builtin_popcount(x));
#endif
}

class KindCounts {
 public:
  static constexpr int kWords = 4;                         // characters, circles, bamboo, honours
  static constexpr std::uint32_t kLowBits = 01111111111u;  // bit 0 of each of nine kinds

  // code 1..34. Selects rather than an index, so that the words stay in
  // registers on a GPU.
  KESTRUM_HOST_DEVICE void Add(unsigned code) {
    const unsigned kind = code - 1;
    const unsigned word = kind / 9;
    const std::uint32_t one = 1u << (3 * (kind - 9 * word));
    for (unsigned w = 0; w < kWords; ++w) words_[w] += word == w ? one : 0u;
  }

  KESTRUM_HOST_DEVICE unsigned Count(unsigned code) const {
    const unsigned kind = code - 1;
    return (Word(static_cast<int>(kind / 9)) >> (3 * (kind % 9))) & 7u;
  }

  KESTRUM_HOST_DEVICE HandForm Classify() const {
    if (IsThirteenOrphans()) return HandForm::kThirteenOrphans;
    if (IsSevenPairs()) return HandForm::kSevenPairs;
    if (IsStandardForm()) return HandForm::kStandard;
    return HandForm::kNone;
  }

  // Every terminal and honour at least once and nothing else: the
  // fourteenth tile is then one of them too.
  KESTRUM_HOST_DEVICE bool IsThirteenOrphans() const {
    constexpr std::uint32_t kTerminals = 1u | (1u << 24);  // ranks 1 and 9
    constexpr std::uint32_t kHonours = 01111111u;
    for (int w = 0; w < 3; ++w)
      if (Present(words_[w]) != kTerminals) return false;
    return Present(words_[3]) == kHonours;
  }

  // Seven kinds twice each: no kind once, three or four times.
  KESTRUM_HOST_DEVICE bool IsSevenPairs() const {
    constexpr std::uint32_t kOddOrFour = kLowBits | (kLowBits << 2);
    for (int w = 0; w < kWords; ++w)
      if ((words_[w] & kOddOrFour) != 0) return false;
    return true;
  }

  // Four sets and a pair. Sets never cross words, so every word but the
  // pair's holds a multiple of three tiles and the pair's two more; the
  // pair is tried on each kind of that word that has two.
  KESTRUM_HOST_DEVICE bool IsStandardForm() const {
    int pairWord = -1;
    for (int w = 0; w < kWords; ++w) {
      const unsigned rest = Total(words_[w]) % 3;
      if (rest == 1 || (rest == 2 && pairWord >= 0)) return false;
      if (rest == 2) pairWord = w;
    }
    if (pairWord < 0) return false;
    for (int w = 0; w < kWords; ++w)
      if (w != pairWord && !IsSetsOnly(words_[w], w < 3)) return false;
    const std::uint32_t word = Word(pairWord);
    for (unsigned rank = 0; rank < 9; ++rank) {
      const std::uint32_t two = 2u << (3 * rank);
      if (((word >> (3 * rank)) & 7u) >= 2 && IsSetsOnly(word - two, pairWord < 3)) return true;
    }
    return false;
  }

 private:
  // Selects rather than an index, as in Add().
  KESTRUM_HOST_DEVICE std::uint32_t Word(int w) const {
    return w == 0 ? words_[0] : w == 1 ? words_[1] : w == 2 ? words_[2] : words_[3];
  }

  // Bit 0 of each kind's field set where the kind is present.
  KESTRUM_HOST_DEVICE static std::uint32_t Present(std::uint32_t word) {
    return (word | (word >> 1) | (word >> 2)) & kLowBits;
  }

  KESTRUM_HOST_DEVICE static unsigned Total(std::uint32_t word) {
    return PopCount(word & kLowBits) + 2 * PopCount(word & (kLowBits << 1)) + 4 * PopCount(word & (kLowBits << 2));
  }

  // Whether one word's tiles are all runs and triplets. From the lowest rank
  // up, a kind held three times or more can be a triplet (three runs from it
  // would take the same tiles), and what is left of it, count mod 3, must
  // start that many runs.
  KESTRUM_HOST_DEVICE static bool IsSetsOnly(std::uint32_t word, bool runs) {
    for (unsigned rank = 0; rank < 9; ++rank) {
      const unsigned count = (word >> (3 * rank)) & 7u;
      const unsigned left = count >= 3 ? count - 3 : count;
      if (left == 0) continue;
      if (!runs || rank > 6) return false;
      const unsigned second = (word >> (3 * (rank + 1))) & 7u;
      const unsigned third = (word >> (3 * (rank + 2))) & 7u;
      if (second < left || third < left) return false;
      word -= (left << (3 * (rank + 1))) + (left << (3 * (rank + 2)));
    }
    return true;
  }

  std::uint32_t words_[kWords] = {0, 0, 0, 0};
};

}  // namespace kestrum
