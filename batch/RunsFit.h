#pragma once
// Whether the runs between heavenly hands follow the geometric law that
// independent games give. The shuffle carries each wall over to the next
// game, so this is the test that it mixes enough for games to be
// independent.

#include <cstdint>
#include <optional>
#include <vector>

namespace kestrum {

struct RunsFit {
  double chiSquare = 0.0;
  int degreesOfFreedom = 0;
  double pValue = 1.0;  // small when the runs do not fit the law
  int bins = 0;
};

// Fewer runs than this give too few in each bin for the chi-square law.
inline constexpr std::size_t kMinRunsForFit = 20;

// Pearson's chi-square test of the runs (each at least 1) against
// P(run = r) = (1 - p)^(r - 1) p, in bins of equal probability under that
// law with at least five runs expected in each (at most ten bins). Nothing
// when there are too few runs or p is not in (0, 1).
std::optional<RunsFit> FitRunsToGeometric(const std::vector<std::int64_t>& runs, double p);

// P(X >= x) for X ~ chi-square with the given degrees of freedom.
double ChiSquareAbove(double x, int degreesOfFreedom);

}  // namespace kestrum
