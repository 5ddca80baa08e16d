#include "cli/BatchStatistics.h"

#include <algorithm>
#include <cmath>

namespace kestrum {
namespace {

constexpr double kZ95 = 1.959963984540054;

}  // namespace

RateInterval WilsonInterval95(Count64 successes, Count64 trials) {
  if (trials <= 0) return {0.0, 1.0};
  const double n = static_cast<double>(trials);
  const double p = static_cast<double>(successes) / n;
  const double z2 = kZ95 * kZ95;
  const double centre = (p + z2 / (2 * n)) / (1 + z2 / n);
  const double half = kZ95 * std::sqrt(p * (1 - p) / n + z2 / (4 * n * n)) / (1 + z2 / n);
  // With none (or all) found the bound is exactly 0 (or 1), not a rounding residue.
  const double low = successes == 0 ? 0.0 : std::max(0.0, centre - half);
  const double high = successes == trials ? 1.0 : std::min(1.0, centre + half);
  return {low, high};
}

double StandardErrorsFrom(Count64 successes, Count64 trials, double p) {
  if (trials <= 0 || p <= 0.0 || p >= 1.0) return 0.0;
  const double n = static_cast<double>(trials);
  const double error = std::sqrt(p * (1 - p) / n);
  return (static_cast<double>(successes) / n - p) / error;
}

}  // namespace kestrum
