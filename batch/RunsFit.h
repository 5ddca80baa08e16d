#pragma once
// Whether the runs between heavenly hands follow the geometric law that
// independent games give. The shuffle carries each wall over to the next
// game, so this is the test that it mixes enough for games to be
// independent.

#include <cstdint>
#include <optional>
#include <vector>

namespace kestrum {

// Runs of `first` to `last` games (last 0: no upper end).
struct RunsBin {
  std::int64_t first = 1;
  std::int64_t last = 0;
  double observed = 0.0;
  double expected = 0.0;
};

struct RunsFit {
  double chiSquare = 0.0;
  int degreesOfFreedom = 0;
  double pValue = 1.0;  // small when the runs do not fit the law
  int bins = 0;
  std::vector<RunsBin> table;
  double rate = 0.0;           // of the law the runs were held against
  bool rateEstimated = false;  // from the runs themselves
};

// Whether consecutive runs are independent of each other: runs taken in
// pairs (1st and 2nd, 3rd and 4th, ...), each put in one of a few classes
// of about equal probability, and the pairs' table of classes tested for
// independence (Pearson, df = (rows - 1)(columns - 1)).
struct SerialFit {
  double chiSquare = 0.0;
  int degreesOfFreedom = 0;
  double pValue = 1.0;
  int classes = 0;
  std::size_t pairs = 0;
};

// Fewer runs than this give too few in each bin for the chi-square law.
inline constexpr std::size_t kMinRunsForFit = 20;

// Pearson's chi-square test of the runs (each at least 1) against
// P(run = r) = (1 - p)^(r - 1) p, in bins of equal probability under that
// law with at least five runs expected in each (at most ten bins). Nothing
// when there are too few runs or p is not in (0, 1).
std::optional<RunsFit> FitRunsToGeometric(const std::vector<std::int64_t>& runs, double p);

// The same against the geometric law whose rate is estimated from the runs
// (their number over the games in them), df = bins - 2: the shape alone, so
// that a wrong rate is told apart from dependent games. Nothing with fewer
// than three bins.
std::optional<RunsFit> FitRunsToGeometricShape(const std::vector<std::int64_t>& runs);

// Pairs of runs needed for the serial test (two classes).
inline constexpr std::size_t kMinPairsForSerialTest = 20;
std::optional<SerialFit> SerialTestOfRuns(const std::vector<std::int64_t>& runs);

// P(X >= x) for X ~ chi-square with the given degrees of freedom.
double ChiSquareAbove(double x, int degreesOfFreedom);

}  // namespace kestrum
