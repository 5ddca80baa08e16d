#pragma once
// Whether the games' distances from complete follow the exact distance
// distribution: Pearson's chi-square over the distance bins, the sparse
// bins at the ends merged with their neighbours. Nothing is estimated from
// the games, so the degrees of freedom are the bins less one.

#include <cstdint>
#include <optional>
#include <vector>

namespace kestrum {

// Distances -1..first + size - 2 merged into one bin run from first to last.
struct DistanceBin {
  int first = 0;
  int last = 0;
  std::uint64_t observed = 0;
  double expected = 0.0;
};

struct DistanceFit {
  std::vector<DistanceBin> bins;
  double chiSquare = 0.0;
  int degreesOfFreedom = 0;
  double pValue = 1.0;
};

// A bin is kept apart only with at least this many games expected in it.
inline constexpr double kMinExpectedPerBin = 5.0;

// observed[i] and probability[i] are of distance firstDistance + i. Bins are
// merged from each end until each holds kMinExpectedPerBin expected games.
// Nothing when fewer than two bins remain (too few games).
std::optional<DistanceFit> FitDistances(const std::vector<std::uint64_t>& observed,
                                        const std::vector<double>& probability, int firstDistance);

}  // namespace kestrum
