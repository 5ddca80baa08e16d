#include "batch/ExactCount.h"

#include <array>
#include <cstdint>

#include "engine/Tiles.h"

namespace kestrum {
namespace {

constexpr int kRanks = 9;
constexpr int kHonours = 7;
constexpr int kOrphanKinds = 13;
constexpr int kPairKinds = 7;

// Ways to pick c of the four copies of one kind.
constexpr std::array<Uint128, 5> kWays = {1, 4, 6, 4, 1};

using Counts = std::array<int, kRanks>;

// Weights (ways to pick the tiles) of the count vectors of one group of
// kinds, by number of tiles, by whether the vector needs the pair, and by
// whether it is made of pairs alone (the hands seven pairs takes first).
struct GroupTable {
  // [tiles][with pair][pairs only]
  std::array<std::array<std::array<Uint128, 2>, 2>, kHandSize + 1> weight{};
};

// Whether the counts split into sets alone. At the lowest kind left, runs
// beyond two could be traded for three triplets, so exactly count mod 3 runs
// must start there.
bool SplitsIntoSets(Counts counts, int kinds, bool runs) {
  for (int i = 0; i < kinds; ++i) {
    const int starting = counts[i] % 3;
    if (starting == 0) continue;
    if (!runs || i + 2 >= kinds || counts[i + 1] < starting || counts[i + 2] < starting) return false;
    counts[i + 1] -= starting;
    counts[i + 2] -= starting;
  }
  return true;
}

bool SplitsIntoSetsAndPair(Counts counts, int kinds, bool runs) {
  for (int i = 0; i < kinds; ++i) {
    if (counts[i] < 2) continue;
    counts[i] -= 2;
    const bool splits = SplitsIntoSets(counts, kinds, runs);
    counts[i] += 2;
    if (splits) return true;
  }
  return false;
}

void AddVector(const Counts& counts, int kinds, bool runs, GroupTable& table) {
  int tiles = 0;
  Uint128 ways = 1;
  bool pairsOnly = true;
  for (int i = 0; i < kinds; ++i) {
    tiles += counts[i];
    ways *= kWays[static_cast<std::size_t>(counts[i])];
    pairsOnly = pairsOnly && (counts[i] == 0 || counts[i] == 2);
  }
  auto& byTiles = table.weight[static_cast<std::size_t>(tiles)];
  if (tiles % 3 == 0 && SplitsIntoSets(counts, kinds, runs)) byTiles[0][pairsOnly] += ways;
  if (tiles % 3 == 2 && SplitsIntoSetsAndPair(counts, kinds, runs)) byTiles[1][pairsOnly] += ways;
}

void EnumerateGroup(Counts& counts, int kind, int kinds, int tilesLeft, bool runs, GroupTable& table) {
  if (kind == kinds) {
    AddVector(counts, kinds, runs, table);
    return;
  }
  for (int c = 0; c <= kCopiesPerKind && c <= tilesLeft; ++c) {
    counts[static_cast<std::size_t>(kind)] = c;
    EnumerateGroup(counts, kind + 1, kinds, tilesLeft - c, runs, table);
  }
  counts[static_cast<std::size_t>(kind)] = 0;
}

GroupTable TableOf(int kinds, bool runs) {
  GroupTable table;
  Counts counts{};
  EnumerateGroup(counts, 0, kinds, kHandSize, runs, table);
  return table;
}

// Combines the groups into fourteen tiles with exactly one pair in all;
// pairsOnly keeps only the hands made of pairs alone.
Uint128 CombineGroups(const std::array<const GroupTable*, 4>& groups, bool pairsOnly) {
  // [tiles][pairs used]
  std::array<std::array<Uint128, 2>, kHandSize + 1> sum{};
  sum[0][0] = 1;
  for (const GroupTable* group : groups) {
    std::array<std::array<Uint128, 2>, kHandSize + 1> next{};
    for (int have = 0; have <= kHandSize; ++have) {
      for (int pairs = 0; pairs < 2; ++pairs) {
        if (sum[have][pairs] == 0) continue;
        for (int add = 0; have + add <= kHandSize; ++add) {
          for (int pair = 0; pairs + pair < 2; ++pair) {
            const auto& cell = group->weight[static_cast<std::size_t>(add)][pair];
            const Uint128 ways = pairsOnly ? cell[1] : cell[0] + cell[1];
            next[have + add][pairs + pair] += sum[have][pairs] * ways;
          }
        }
      }
    }
    sum = next;
  }
  return sum[kHandSize][1];
}

Uint128 Binomial(int n, int k) {
  Uint128 result = 1;
  for (int i = 1; i <= k; ++i) result = result * static_cast<Uint128>(n - k + i) / static_cast<Uint128>(i);
  return result;
}

Uint128 Power(Uint128 base, int exponent) {
  Uint128 result = 1;
  for (int i = 0; i < exponent; ++i) result *= base;
  return result;
}

}  // namespace

ExactCounts CountCompleteDeals() {
  const GroupTable suit = TableOf(kRanks, true);
  const GroupTable honours = TableOf(kHonours, false);
  const std::array<const GroupTable*, 4> groups = {&suit, &suit, &suit, &honours};

  ExactCounts counts;
  // One of the thirteen kinds doubled, one copy of each of the others.
  counts.thirteenOrphans = kOrphanKinds * kWays[2] * Power(kWays[1], kOrphanKinds - 1);
  counts.sevenPairs = Binomial(kTileKinds, kPairKinds) * Power(kWays[2], kPairKinds);
  counts.standard = CombineGroups(groups, false) - CombineGroups(groups, true);
  counts.deals = Binomial(kWallSize, kHandSize);
  return counts;
}

Uint128 Gcd(Uint128 a, Uint128 b) {
  while (b != 0) {
    const Uint128 r = a % b;
    a = b;
    b = r;
  }
  return a;
}

std::string DecimalText(Uint128 value) {
  if (value == 0) return "0";
  std::string text;
  while (value != 0) {
    text.insert(text.begin(), static_cast<char>('0' + static_cast<int>(value % 10)));
    value /= 10;
  }
  return text;
}

std::string FractionDecimalText(Uint128 numerator, Uint128 denominator, int places) {
  if (denominator == 0) return "nan";
  std::string text = DecimalText(numerator / denominator);
  Uint128 rest = numerator % denominator;
  if (places > 0) text += '.';
  for (int i = 0; i < places; ++i) {
    rest *= 10;
    text += static_cast<char>('0' + static_cast<int>(rest / denominator));
    rest %= denominator;
  }
  return text;
}

double Ratio(Uint128 numerator, Uint128 denominator) {
  return static_cast<double>(static_cast<long double>(numerator) / static_cast<long double>(denominator));
}

}  // namespace kestrum
