#pragma once
// How far a hand of thirteen or fourteen tiles is from complete: the fewest
// tiles it must take in (giving up one of its own for each, for fourteen) to
// become a complete hand, less one. A complete hand of fourteen is -1, a hand
// one tile away 0. The tiles taken in must exist: no complete hand holds a
// fifth copy of a kind. Given for the three forms apart and as their least.
//
// Looked up, not searched: the three suits and the honours decompose apart
// (a run never leaves its suit), so each group's count vector indexes a table
// that says, for k = 0..4 sets with and without the pair, the fewest tiles
// missing from that group; the groups meet in a small min-plus sum. The same
// entry carries what seven pairs and thirteen orphans need from the group.
//
// The tables are plain arrays and the per-hand functions are marked
// KESTRUM_HD, so that a copy of the tables on a graphics card gives the same
// distances there.

#include <cstdint>
#include <memory>

#include "engine/HostDevice.h"
#include "engine/Tiles.h"

// On the processor of every x86-64 machine the min-plus sum runs in SSE2
// vectors; on the graphics card and elsewhere in plain integers.
#if defined(__SSE2__) && !defined(__CUDACC__)
#include <emmintrin.h>
#define KESTRUM_DISTANCE_VECTOR 1
#endif

namespace kestrum {

namespace distance {

inline constexpr int kMaxSets = 4;
inline constexpr int kGroups = 4;  // characters, circles, bamboo, honours
inline constexpr int kSuitRanks = 9;
inline constexpr int kHonourKinds = 7;
inline constexpr int kDigitBase = kCopiesPerKind + 1;  // a kind holds 0..4
inline constexpr std::uint32_t kSuitKeys = 1953125;    // 5^9
inline constexpr std::uint32_t kHonourKeys = 78125;    // 5^7
inline constexpr int kCostSlots = (kMaxSets + 1) * 2;

// An entry of a group's table, 64 bits:
//   bits 4*(2k+h) .. +3   tiles missing for k sets, and the pair when h = 1
//   bits 40..43           kinds held twice or more
//   bits 44..47           kinds held once
//   bits 48..51           terminal and honour kinds held
//   bit  52               some terminal or honour kind held twice or more
inline constexpr int kPairsShift = 40;
inline constexpr int kSinglesShift = 44;
inline constexpr int kOrphansShift = 48;
inline constexpr int kOrphanPairShift = 52;

// A hand's three suit keys are summed in one word, 21 bits each (5^9 < 2^21),
// so that adding a tile is one load and one add with no store between.
inline constexpr int kSuitKeyBits = 21;
inline constexpr std::uint64_t kSuitKeyMask = (std::uint64_t{1} << kSuitKeyBits) - 1;

KESTRUM_HD constexpr int CostSlot(int sets, int withPair) { return sets * 2 + withPair; }

KESTRUM_HD constexpr int Missing(std::uint64_t entry, int sets, int withPair) {
  return static_cast<int>((entry >> (4 * CostSlot(sets, withPair))) & 15u);
}

KESTRUM_HD constexpr int Field(std::uint64_t entry, int shift) { return static_cast<int>((entry >> shift) & 15u); }

}  // namespace distance

struct DistanceTables {
  // What each tile code adds to the keys; code 0 (an empty slot) adds nothing.
  std::uint64_t suitKeyOfCode[kTileKinds + 1];    // 5^rank in its suit's 21 bits
  std::uint32_t honourKeyOfCode[kTileKinds + 1];  // 5^kind for the honours
  std::uint64_t suit[distance::kSuitKeys];
  std::uint64_t honours[distance::kHonourKeys];
};

// The tables, built on first use (some 0.1 s) and kept for the process.
const DistanceTables& SharedDistanceTables();
std::unique_ptr<DistanceTables> BuildDistanceTables();

struct HandDistance {
  std::int8_t best = 0;  // the least of the three
  std::int8_t standard = 0;
  std::int8_t sevenPairs = 0;
  std::int8_t thirteenOrphans = 0;
};

// A group's costs by number of sets: plain[k] without the pair, paired[k]
// with it.
struct SetCosts {
  int plain[distance::kMaxSets + 1];
  int paired[distance::kMaxSets + 1];
};

KESTRUM_HD inline SetCosts CostsOf(std::uint64_t entry) {
  SetCosts costs;
  for (int k = 0; k <= distance::kMaxSets; ++k) {
    costs.plain[k] = distance::Missing(entry, k, 0);
    costs.paired[k] = distance::Missing(entry, k, 1);
  }
  return costs;
}

KESTRUM_HD inline int Least(int a, int b) { return a < b ? a : b; }

// The costs of two groups together: the sets split between them in every
// way, the pair in one or the other.
KESTRUM_HD inline SetCosts Combine(const SetCosts& x, const SetCosts& y) {
  SetCosts sum;
  for (int k = 0; k <= distance::kMaxSets; ++k) {
    int plain = x.plain[0] + y.plain[k];
    int paired = Least(x.paired[0] + y.plain[k], x.plain[0] + y.paired[k]);
    for (int a = 1; a <= k; ++a) {
      plain = Least(plain, x.plain[a] + y.plain[k - a]);
      paired = Least(paired, Least(x.paired[a] + y.plain[k - a], x.plain[a] + y.paired[k - a]));
    }
    sum.plain[k] = plain;
    sum.paired[k] = paired;
  }
  return sum;
}

// Fewest tiles missing for four sets and a pair, over the split of the sets
// and the pair among the groups: two suits together, the third suit with the
// honours, then the two halves. This is the definition; the processor's
// build may take the vector form below, which gives the same numbers.
KESTRUM_HD inline int StandardMissingPlain(const std::uint64_t (&entries)[distance::kGroups]) {
  const SetCosts first = Combine(CostsOf(entries[0]), CostsOf(entries[1]));
  const SetCosts second = Combine(CostsOf(entries[2]), CostsOf(entries[3]));
  constexpr int kSets = distance::kMaxSets;
  int best = Least(first.paired[0] + second.plain[kSets], first.plain[0] + second.paired[kSets]);
  for (int k = 1; k <= kSets; ++k)
    best = Least(best, Least(first.paired[k] + second.plain[kSets - k], first.plain[k] + second.paired[kSets - k]));
  return best;
}

#if defined(KESTRUM_DISTANCE_VECTOR)
namespace distance {

// The costs of a group in one vector: plain[k] in byte k, paired[k] in byte
// 8 + k, and a cost too high to matter in the bytes between.
inline constexpr std::uint64_t kNibbles = 0x0f0f0f0f0full;
inline constexpr std::uint64_t kHighFill = 0x4040400000000000ull;
inline constexpr std::uint64_t kFarCost = 0x4040404040404040ull;

inline std::uint64_t PlainBytes(std::uint64_t entry) { return entry & kNibbles; }
inline std::uint64_t PairedBytes(std::uint64_t entry) { return (entry >> 4) & kNibbles; }

inline __m128i CostVector(std::uint64_t entry) {
  return _mm_set_epi64x(static_cast<long long>(PairedBytes(entry) | kHighFill),
                        static_cast<long long>(PlainBytes(entry) | kHighFill));
}

// Word `a` of the vector in every word.
template <int a>
inline __m128i WordEverywhere(__m128i words) {
  if constexpr (a < 4) {
    return _mm_shuffle_epi32(_mm_shufflelo_epi16(words, a * 0x55), 0x00);
  } else {
    return _mm_shuffle_epi32(_mm_shufflehi_epi16(words, (a - 4) * 0x55), 0xaa);
  }
}

// Combine() on cost vectors: for each share a of the sets in the first
// group, the second group's costs move up by a bytes and the first group's
// cost for a sets is added to every byte. xPlains and xPaireds hold the
// first group's bytes twice, as words, ready to be spread.
template <int a>
inline __m128i CombineStep(__m128i sum, __m128i xPlains, __m128i xPaireds, __m128i y) {
  constexpr std::uint64_t lowFill = a == 0 ? 0 : kFarCost >> (8 * (8 - a));
  const __m128i shifted =
      _mm_or_si128(_mm_slli_epi64(y, 8 * a), _mm_set1_epi64x(static_cast<long long>(lowFill)));
  const __m128i plainTwice = _mm_unpacklo_epi64(shifted, shifted);
  const __m128i xPlain = WordEverywhere<a>(xPlains);
  // The first group's pair only reaches the paired half.
  const __m128i xPaired = _mm_or_si128(WordEverywhere<a>(xPaireds), _mm_set_epi64x(0, static_cast<long long>(kFarCost)));
  sum = _mm_min_epu8(sum, _mm_add_epi8(xPlain, shifted));
  return _mm_min_epu8(sum, _mm_add_epi8(xPaired, plainTwice));
}

inline __m128i CombineVector(__m128i x, __m128i y) {
  const __m128i xPlains = _mm_unpacklo_epi8(x, x);
  const __m128i xPaireds = _mm_unpackhi_epi8(x, x);
  __m128i sum = _mm_set1_epi64x(static_cast<long long>(kFarCost));
  sum = CombineStep<0>(sum, xPlains, xPaireds, y);
  sum = CombineStep<1>(sum, xPlains, xPaireds, y);
  sum = CombineStep<2>(sum, xPlains, xPaireds, y);
  sum = CombineStep<3>(sum, xPlains, xPaireds, y);
  return CombineStep<4>(sum, xPlains, xPaireds, y);
}

}  // namespace distance

inline int StandardMissing(const std::uint64_t (&entries)[distance::kGroups]) {
  alignas(16) std::uint8_t first[16];
  alignas(16) std::uint8_t second[16];
  _mm_store_si128(reinterpret_cast<__m128i*>(first),
                  distance::CombineVector(distance::CostVector(entries[0]), distance::CostVector(entries[1])));
  _mm_store_si128(reinterpret_cast<__m128i*>(second),
                  distance::CombineVector(distance::CostVector(entries[2]), distance::CostVector(entries[3])));
  constexpr int kSets = distance::kMaxSets;
  int best = 99;
  for (int k = 0; k <= kSets; ++k)
    best = Least(best, Least(first[8 + k] + second[kSets - k], first[k] + second[8 + kSets - k]));
  return best;
}
#else
KESTRUM_HD inline int StandardMissing(const std::uint64_t (&entries)[distance::kGroups]) {
  return StandardMissingPlain(entries);
}
#endif

// Seven different kinds held twice: a kind held twice or more gives a pair,
// a kind held once needs one tile, any other kind two (there are always
// enough kinds the hand lacks).
KESTRUM_HD constexpr int SevenPairsMissing(int pairs, int singles) {
  const int needed = pairs >= 7 ? 0 : 7 - pairs;
  const int fromSingles = singles < needed ? singles : needed;
  return fromSingles + 2 * (needed - fromSingles);
}

// One of each of the thirteen terminal and honour kinds, and one of them again.
KESTRUM_HD constexpr int ThirteenOrphansMissing(int orphanKinds, bool orphanPair) {
  return 13 - orphanKinds + (orphanPair ? 0 : 1);
}

KESTRUM_HD inline HandDistance DistanceOfEntries(const std::uint64_t (&entries)[distance::kGroups]) {
  // The three counts of the four groups summed in one word: for fourteen
  // tiles no sum reaches 16, so none spills into the next field.
  std::uint64_t counts = 0;
  std::uint64_t orphanPair = 0;
  for (int g = 0; g < distance::kGroups; ++g) {
    counts += (entries[g] >> distance::kPairsShift) & 0xfffu;
    orphanPair |= entries[g] >> distance::kOrphanPairShift;
  }
  const int pairs = static_cast<int>(counts & 15u);
  const int singles = static_cast<int>((counts >> (distance::kSinglesShift - distance::kPairsShift)) & 15u);
  const int orphans = static_cast<int>((counts >> (distance::kOrphansShift - distance::kPairsShift)) & 15u);
  HandDistance d;
  d.standard = static_cast<std::int8_t>(StandardMissing(entries) - 1);
  d.sevenPairs = static_cast<std::int8_t>(SevenPairsMissing(pairs, singles) - 1);
  d.thirteenOrphans = static_cast<std::int8_t>(ThirteenOrphansMissing(orphans, (orphanPair & 1u) != 0) - 1);
  std::int8_t best = d.standard < d.sevenPairs ? d.standard : d.sevenPairs;
  d.best = best < d.thirteenOrphans ? best : d.thirteenOrphans;
  return d;
}

// The distance of a hand given by its keys: the three suits' keys summed in
// one word (21 bits each) and the honours' key.
KESTRUM_HD inline HandDistance DistanceOfKeys(const DistanceTables& tables, std::uint64_t suits,
                                              std::uint32_t honours) {
  using distance::kSuitKeyBits;
  using distance::kSuitKeyMask;
  const std::uint64_t entries[distance::kGroups] = {tables.suit[suits & kSuitKeyMask],
                                                    tables.suit[(suits >> kSuitKeyBits) & kSuitKeyMask],
                                                    tables.suit[suits >> (2 * kSuitKeyBits)], tables.honours[honours]};
  return DistanceOfEntries(entries);
}

// Any number of tiles up to fourteen, in any order, at most four of a kind;
// a code of 0 is an empty slot and counts for nothing.
template <class Code>
KESTRUM_HD inline HandDistance DistanceOfTiles(const DistanceTables& tables, const Code* tiles, int count) {
  std::uint64_t suits = 0;
  std::uint32_t honours = 0;
  for (int i = 0; i < count; ++i) {
    suits += tables.suitKeyOfCode[static_cast<int>(tiles[i])];
    honours += tables.honourKeyOfCode[static_cast<int>(tiles[i])];
  }
  return DistanceOfKeys(tables, suits, honours);
}

// The least distances of a deal's first thirteen tiles and of its first
// fourteen (the dealer's hand), in one pass over the tiles as they lie.
struct DealDistance {
  int thirteen = 0;
  int fourteen = 0;
};

template <class Code>
KESTRUM_HD inline DealDistance DistanceOfDeal(const DistanceTables& tables, const Code* wall) {
  std::uint64_t suits = 0;
  std::uint32_t honours = 0;
  for (int i = 0; i < kHandSize - 1; ++i) {
    suits += tables.suitKeyOfCode[static_cast<int>(wall[i])];
    honours += tables.honourKeyOfCode[static_cast<int>(wall[i])];
  }
  DealDistance d;
  d.thirteen = DistanceOfKeys(tables, suits, honours).best;
  suits += tables.suitKeyOfCode[static_cast<int>(wall[kHandSize - 1])];
  honours += tables.honourKeyOfCode[static_cast<int>(wall[kHandSize - 1])];
  d.fourteen = DistanceOfKeys(tables, suits, honours).best;
  return d;
}

inline HandDistance DistanceOfHand(const Hand& hand) {
  return DistanceOfTiles(SharedDistanceTables(), hand.data(), kHandSize);
}

}  // namespace kestrum
