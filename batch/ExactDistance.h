#pragma once
// The exact distance distributions: of all C(136, 14) deals of the dealer's
// fourteen tiles and all C(136, 13) deals of a non-dealer's thirteen, how
// many lie at each distance from complete (engine/HandDistance.h), for the
// least over the three forms and for each form alone. Counted, not sampled:
// each group's count vectors are gathered into classes of equal costs and
// counts, weighted by the ways to pick their tiles, and the groups are
// joined class by class.

#include <array>

#include "batch/ExactCount.h"

namespace kestrum {

enum class DistanceForm { kBest, kStandard, kSevenPairs, kThirteenOrphans };
inline constexpr int kDistanceForms = 4;

// -1 (complete) .. 13 (thirteen orphans with no terminal or honour held).
inline constexpr int kMinDistance = -1;
inline constexpr int kMaxDistance = 13;
inline constexpr int kDistanceBins = kMaxDistance - kMinDistance + 1;

struct DistanceCounts {
  int tiles = 0;
  Uint128 deals = 0;  // C(136, tiles)
  // [form][distance + 1]
  std::array<std::array<Uint128, kDistanceBins>, kDistanceForms> byForm{};

  Uint128 At(DistanceForm form, int distance) const {
    return byForm[static_cast<int>(form)][static_cast<std::size_t>(distance - kMinDistance)];
  }
  Uint128 Total(DistanceForm form) const;
  // The mean distance as numerator / deals, shifted by one so that it is
  // never negative: mean = (numerator / deals) - 1.
  Uint128 MeanPlusOneNumerator(DistanceForm form) const;
  double Mean(DistanceForm form) const;
  // The smallest and the largest distance with any deal.
  int Smallest(DistanceForm form) const;
  int Largest(DistanceForm form) const;
};

struct ExactDistances {
  DistanceCounts dealer;     // fourteen tiles
  DistanceCounts nonDealer;  // thirteen tiles
};

ExactDistances CountDealsByDistance();

// Counted once, on first use, for the process.
const ExactDistances& SharedExactDistances();

}  // namespace kestrum
