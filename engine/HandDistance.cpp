#include "engine/HandDistance.h"

#include <algorithm>
#include <array>
#include <vector>

namespace kestrum {
namespace {

using distance::kCostSlots;
using distance::kDigitBase;
using distance::kMaxSets;

// One group: nine ranks with runs (a suit) or seven kinds without (honours).
struct GroupShape {
  int kinds;
  bool runs;
  std::uint32_t keys;  // 5^kinds
};

using Digits = std::array<int, distance::kSuitRanks>;

std::uint32_t KeyOf(const Digits& digits, int kinds) {
  std::uint32_t key = 0;
  for (int i = kinds - 1; i >= 0; --i) key = key * kDigitBase + static_cast<std::uint32_t>(digits[i]);
  return key;
}

std::array<std::uint32_t, distance::kSuitRanks> Powers() {
  std::array<std::uint32_t, distance::kSuitRanks> power{};
  power[0] = 1;
  for (int i = 1; i < distance::kSuitRanks; ++i) power[i] = power[i - 1] * kDigitBase;
  return power;
}

// Marks, in bit CostSlot(k, h) of exact[key], every count vector made of
// exactly k sets and (h = 1) one pair, at most four of a kind. Sets are
// added in nondecreasing order of a set index (runs, then triplets).
void MarkExactShapes(const GroupShape& shape, std::vector<std::uint16_t>& exact) {
  const int runCount = shape.runs ? shape.kinds - 2 : 0;
  const int setTypes = runCount + shape.kinds;
  Digits counts{};
  const auto mark = [&](int sets) {
    const bool fits = std::all_of(counts.begin(), counts.end(), [](int c) { return c <= kCopiesPerKind; });
    if (fits) exact[KeyOf(counts, shape.kinds)] |= static_cast<std::uint16_t>(1u << distance::CostSlot(sets, 0));
    for (int pair = 0; pair < shape.kinds; ++pair) {
      counts[pair] += 2;
      if (counts[pair] <= kCopiesPerKind && fits)
        exact[KeyOf(counts, shape.kinds)] |= static_cast<std::uint16_t>(1u << distance::CostSlot(sets, 1));
      counts[pair] -= 2;
    }
  };
  const auto addSets = [&](auto& self, int sets, int from) -> void {
    mark(sets);
    if (sets == kMaxSets) return;
    for (int type = from; type < setTypes; ++type) {
      if (type < runCount) {
        for (int i = 0; i < 3; ++i) ++counts[type + i];
      } else {
        counts[type - runCount] += 3;
      }
      self(self, sets + 1, type);
      if (type < runCount) {
        for (int i = 0; i < 3; ++i) --counts[type + i];
      } else {
        counts[type - runCount] -= 3;
      }
    }
  };
  addSets(addSets, 0, 0);
}

// Steps through every count vector of the group in increasing (up) or
// decreasing key order, keeping the digits beside the key.
template <class Visit>
void ForEachVector(const GroupShape& shape, bool up, Visit visit) {
  Digits digits{};
  if (!up) std::fill_n(digits.begin(), shape.kinds, kCopiesPerKind);
  for (std::uint32_t step = 0; step < shape.keys; ++step) {
    const std::uint32_t key = up ? step : shape.keys - 1 - step;
    visit(key, digits);
    for (int i = 0; i < shape.kinds; ++i) {
      if (up ? ++digits[i] <= kCopiesPerKind : --digits[i] >= 0) break;
      digits[i] = up ? 0 : kCopiesPerKind;
    }
  }
}

int TileCount(const Digits& digits) {
  int tiles = 0;
  for (const int c : digits) tiles += c;
  return tiles;
}

// The fewest tiles that must be added to each vector of at most fourteen
// tiles so that it holds k sets and h pairs, as nibbles CostSlot(k, h). A
// shape of k sets and h pairs has 3k + 2h tiles, so the cost is that less
// the most of its tiles the vector can supply: the largest part of the
// vector that is also part of some shape. A vector that is itself part of a
// shape supplies all of its tiles; any other supplies what one of the
// vectors with one tile fewer supplies. Vectors of more than fourteen tiles
// are no hand and get no costs.
std::vector<std::uint64_t> MissingTiles(const GroupShape& shape) {
  const auto power = Powers();
  std::vector<std::uint16_t> partOfShape(shape.keys, 0);
  MarkExactShapes(shape, partOfShape);
  ForEachVector(shape, false, [&](std::uint32_t key, const Digits& digits) {
    if (TileCount(digits) >= kHandSize) return;
    for (int i = 0; i < shape.kinds; ++i)
      if (digits[i] < kCopiesPerKind) partOfShape[key] |= partOfShape[key + power[i]];
  });
  std::vector<std::uint64_t> supplied(shape.keys, 0);  // nibbles, as the costs
  std::vector<std::uint64_t> missing(shape.keys, 0);
  ForEachVector(shape, true, [&](std::uint32_t key, const Digits& digits) {
    const int tiles = TileCount(digits);
    if (tiles > kHandSize) return;
    std::uint64_t most = 0;
    std::uint64_t cost = 0;
    for (int slot = 0; slot < kCostSlots; ++slot) {
      std::uint64_t best = 0;
      if ((partOfShape[key] >> slot) & 1u) {
        best = static_cast<std::uint64_t>(tiles);
      } else {
        for (int i = 0; i < shape.kinds; ++i)
          if (digits[i] > 0) best = std::max(best, (supplied[key - power[i]] >> (4 * slot)) & 15u);
      }
      most |= best << (4 * slot);
      const std::uint64_t shapeTiles = static_cast<std::uint64_t>(3 * (slot / 2) + 2 * (slot % 2));
      cost |= (shapeTiles - best) << (4 * slot);
    }
    supplied[key] = most;
    missing[key] = cost;
  });
  return missing;
}

bool IsOrphanRank(const GroupShape& shape, int kind) { return !shape.runs || kind == 0 || kind == shape.kinds - 1; }

std::uint64_t Entry(const GroupShape& shape, const Digits& digits, std::uint64_t cost) {
  std::uint64_t entry = cost;
  std::uint64_t pairs = 0;
  std::uint64_t singles = 0;
  std::uint64_t orphans = 0;
  std::uint64_t orphanPair = 0;
  for (int i = 0; i < shape.kinds; ++i) {
    pairs += digits[i] >= 2 ? 1 : 0;
    singles += digits[i] == 1 ? 1 : 0;
    if (IsOrphanRank(shape, i)) {
      orphans += digits[i] >= 1 ? 1 : 0;
      orphanPair |= digits[i] >= 2 ? 1 : 0;
    }
  }
  entry |= pairs << distance::kPairsShift;
  entry |= singles << distance::kSinglesShift;
  entry |= orphans << distance::kOrphansShift;
  entry |= orphanPair << distance::kOrphanPairShift;
  return entry;
}

void FillGroup(const GroupShape& shape, std::uint64_t* table) {
  const auto missing = MissingTiles(shape);
  ForEachVector(shape, true, [&](std::uint32_t key, const Digits& digits) {
    table[key] = TileCount(digits) > kHandSize ? 0 : Entry(shape, digits, missing[key]);
  });
}

}  // namespace

std::unique_ptr<DistanceTables> BuildDistanceTables() {
  auto tables = std::make_unique<DistanceTables>();
  const auto power = Powers();
  tables->suitKeyOfCode[0] = 0;
  tables->honourKeyOfCode[0] = 0;
  for (TileCode code = 1; code <= kTileKinds; ++code) {
    const int group = TileRow(code);
    const std::uint64_t increment = power[TileColumn(code)];
    tables->suitKeyOfCode[code] = group < 3 ? increment << (distance::kSuitKeyBits * group) : 0;
    tables->honourKeyOfCode[code] = group < 3 ? 0 : static_cast<std::uint32_t>(increment);
  }
  FillGroup({distance::kSuitRanks, true, distance::kSuitKeys}, tables->suit);
  FillGroup({distance::kHonourKinds, false, distance::kHonourKeys}, tables->honours);
  return tables;
}

const DistanceTables& SharedDistanceTables() {
  static const std::unique_ptr<DistanceTables> tables = BuildDistanceTables();
  return *tables;
}

}  // namespace kestrum
