#include "batch/ExactDistance.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "engine/HandDistance.h"

namespace kestrum {
namespace {

// Costs above this are all alike: no form of thirteen or fourteen tiles
// lacks more than nine tiles for four sets and a pair, so a part that lacks
// ten or more never decides the least.
constexpr int kCostCap = 10;
constexpr int kPairCap = 7;  // seven pairs asks for no more pairs or singles
constexpr int kMaxStandardCost = kCostCap;
constexpr int kMaxSevenPairsCost = 7;
constexpr int kMaxOrphansCost = 14;
constexpr std::array<Uint128, 5> kWays = {1, 4, 6, 4, 1};

// What the rest of the hand needs to know of the groups joined so far.
struct Part {
  SetCosts costs;
  int tiles = 0;
  int pairs = 0;    // kinds held twice or more, at most kPairCap
  int singles = 0;  // kinds held once, at most kPairCap
  int orphans = 0;  // terminal and honour kinds held
  bool orphanPair = false;
  Uint128 ways = 0;
};

std::uint64_t KeyOf(const Part& part) {
  std::uint64_t key = 0;
  for (int k = 0; k <= distance::kMaxSets; ++k) {
    key |= static_cast<std::uint64_t>(part.costs.plain[k]) << (8 * k);
    key |= static_cast<std::uint64_t>(part.costs.paired[k]) << (8 * k + 4);
  }
  key |= static_cast<std::uint64_t>(part.tiles) << 40;
  key |= static_cast<std::uint64_t>(part.pairs) << 44;
  key |= static_cast<std::uint64_t>(part.singles) << 47;
  key |= static_cast<std::uint64_t>(part.orphans) << 50;
  key |= static_cast<std::uint64_t>(part.orphanPair) << 54;
  return key;
}

void Cap(Part& part) {
  for (int k = 0; k <= distance::kMaxSets; ++k) {
    part.costs.plain[k] = std::min(part.costs.plain[k], kCostCap);
    part.costs.paired[k] = std::min(part.costs.paired[k], kCostCap);
  }
  part.pairs = std::min(part.pairs, kPairCap);
  part.singles = std::min(part.singles, kPairCap);
}

// Parts of equal key merge, their ways added.
class PartSet {
 public:
  void Add(Part part) {
    Cap(part);
    const auto [at, added] = index_.try_emplace(KeyOf(part), parts_.size());
    if (added)
      parts_.push_back(part);
    else
      parts_[at->second].ways += part.ways;
  }
  const std::vector<Part>& Parts() const { return parts_; }

 private:
  std::unordered_map<std::uint64_t, std::size_t> index_;
  std::vector<Part> parts_;
};

// Every count vector of one group with at most fourteen tiles, as classes.
PartSet GroupClasses(const std::uint64_t* table, std::uint32_t keys, int kinds) {
  PartSet classes;
  for (std::uint32_t key = 0; key < keys; ++key) {
    Part part;
    part.ways = 1;
    std::uint32_t rest = key;
    for (int i = 0; i < kinds; ++i) {
      const std::uint32_t copies = rest % distance::kDigitBase;
      part.tiles += static_cast<int>(copies);
      part.ways *= kWays[copies];
      rest /= distance::kDigitBase;
    }
    if (part.tiles > kHandSize) continue;
    const std::uint64_t entry = table[key];
    part.costs = CostsOf(entry);
    part.pairs = distance::Field(entry, distance::kPairsShift);
    part.singles = distance::Field(entry, distance::kSinglesShift);
    part.orphans = distance::Field(entry, distance::kOrphansShift);
    part.orphanPair = ((entry >> distance::kOrphanPairShift) & 1u) != 0;
    classes.Add(part);
  }
  return classes;
}

Part Join(const Part& x, const Part& y) {
  Part joined;
  joined.costs = Combine(x.costs, y.costs);
  joined.tiles = x.tiles + y.tiles;
  joined.pairs = x.pairs + y.pairs;
  joined.singles = x.singles + y.singles;
  joined.orphans = x.orphans + y.orphans;
  joined.orphanPair = x.orphanPair || y.orphanPair;
  joined.ways = x.ways * y.ways;
  return joined;
}

PartSet JoinAll(const PartSet& left, const PartSet& right) {
  PartSet joined;
  for (const Part& x : left.Parts())
    for (const Part& y : right.Parts())
      if (x.tiles + y.tiles <= kHandSize) joined.Add(Join(x, y));
  return joined;
}

// The ways of a hand size by its three forms' missing tiles.
using Joint = std::array<std::array<std::array<Uint128, kMaxOrphansCost + 1>, kMaxSevenPairsCost + 1>,
                         kMaxStandardCost + 1>;

std::vector<std::vector<const Part*>> ByTiles(const PartSet& set) {
  std::vector<std::vector<const Part*>> byTiles(kHandSize + 1);
  for (const Part& part : set.Parts()) byTiles[static_cast<std::size_t>(part.tiles)].push_back(&part);
  return byTiles;
}

// The last group completes the hand: only the whole hand's figures remain.
void Finish(const PartSet& three, const PartSet& last, int tiles, Joint& joint) {
  const auto lastByTiles = ByTiles(last);
  constexpr int kSets = distance::kMaxSets;
  for (const Part& x : three.Parts()) {
    if (x.tiles > tiles) continue;
    for (const Part* y : lastByTiles[static_cast<std::size_t>(tiles - x.tiles)]) {
      int standard = kCostCap;
      for (int k = 0; k <= kSets; ++k) {
        standard = std::min(standard, x.costs.paired[k] + y->costs.plain[kSets - k]);
        standard = std::min(standard, x.costs.plain[k] + y->costs.paired[kSets - k]);
      }
      const int sevenPairs = SevenPairsMissing(std::min(x.pairs + y->pairs, kPairCap),
                                               std::min(x.singles + y->singles, kPairCap));
      const int orphans = ThirteenOrphansMissing(x.orphans + y->orphans, x.orphanPair || y->orphanPair);
      joint[static_cast<std::size_t>(standard)][static_cast<std::size_t>(sevenPairs)]
           [static_cast<std::size_t>(orphans)] += x.ways * y->ways;
    }
  }
}

Uint128 Binomial(int n, int k) {
  Uint128 result = 1;
  for (int i = 1; i <= k; ++i) result = result * static_cast<Uint128>(n - k + i) / static_cast<Uint128>(i);
  return result;
}

DistanceCounts CountsOf(const Joint& joint, int tiles) {
  DistanceCounts counts;
  counts.tiles = tiles;
  counts.deals = Binomial(kWallSize, tiles);
  const auto add = [&](DistanceForm form, int missing, Uint128 ways) {
    counts.byForm[static_cast<int>(form)][static_cast<std::size_t>(missing - 1 - kMinDistance)] += ways;
  };
  for (int s = 0; s <= kMaxStandardCost; ++s)
    for (int p = 0; p <= kMaxSevenPairsCost; ++p)
      for (int o = 0; o <= kMaxOrphansCost; ++o) {
        const Uint128 ways = joint[static_cast<std::size_t>(s)][static_cast<std::size_t>(p)][static_cast<std::size_t>(o)];
        if (ways == 0) continue;
        add(DistanceForm::kBest, std::min({s, p, o}), ways);
        add(DistanceForm::kStandard, s, ways);
        add(DistanceForm::kSevenPairs, p, ways);
        add(DistanceForm::kThirteenOrphans, o, ways);
      }
  return counts;
}

}  // namespace

Uint128 DistanceCounts::Total(DistanceForm form) const {
  Uint128 total = 0;
  for (const Uint128 ways : byForm[static_cast<int>(form)]) total += ways;
  return total;
}

Uint128 DistanceCounts::MeanPlusOneNumerator(DistanceForm form) const {
  Uint128 sum = 0;
  for (int bin = 0; bin < kDistanceBins; ++bin)
    sum += static_cast<Uint128>(bin) * byForm[static_cast<int>(form)][static_cast<std::size_t>(bin)];
  return sum;
}

double DistanceCounts::Mean(DistanceForm form) const { return Ratio(MeanPlusOneNumerator(form), deals) - 1.0; }

int DistanceCounts::Smallest(DistanceForm form) const {
  for (int d = kMinDistance; d <= kMaxDistance; ++d)
    if (At(form, d) != 0) return d;
  return kMaxDistance;
}

int DistanceCounts::Largest(DistanceForm form) const {
  int largest = kMinDistance;
  for (int d = kMinDistance; d <= kMaxDistance; ++d)
    if (At(form, d) != 0) largest = d;
  return largest;
}

ExactDistances CountDealsByDistance() {
  const DistanceTables& tables = SharedDistanceTables();
  const PartSet suit = GroupClasses(tables.suit, distance::kSuitKeys, distance::kSuitRanks);
  const PartSet honours = GroupClasses(tables.honours, distance::kHonourKeys, distance::kHonourKinds);
  // The three suits share one set of classes; the honours come first, so
  // that the largest joins stay small.
  const PartSet three = JoinAll(JoinAll(honours, suit), suit);
  Joint dealer{};
  Joint nonDealer{};
  Finish(three, suit, kHandSize, dealer);
  Finish(three, suit, kHandSize - 1, nonDealer);
  return {CountsOf(dealer, kHandSize), CountsOf(nonDealer, kHandSize - 1)};
}

const ExactDistances& SharedExactDistances() {
  static const ExactDistances distances = CountDealsByDistance();
  return distances;
}

}  // namespace kestrum
