#include "batch/InverseSampling.h"

#include <algorithm>

namespace kestrum {

double InverseSamplingRate(std::int64_t k, std::int64_t n) {
  if (k <= 0 || n <= 0) return 0.0;
  if (k == 1 || n == 1) return static_cast<double>(k) / static_cast<double>(n);
  return static_cast<double>(k - 1) / static_cast<double>(n - 1);
}

RateInterval InverseSamplingInterval95(std::int64_t k, std::int64_t n) {
  if (k <= 0 || n < k) return ClopperPearson95(k, n);
  RateInterval interval;
  // The low end is Clopper-Pearson's for K in N; the high end is its high
  // end for K - 1 in N - 1, the trials before the last success.
  interval.low = ClopperPearson95(k, n).low;
  interval.high = n == k ? 1.0 : ClopperPearson95(k - 1, n - 1).high;
  return interval;
}

double InverseSamplingTwoSidedP(std::int64_t k, std::int64_t n, double p) {
  if (k <= 0 || n < k) return 1.0;
  const double atMost = BinomialAtLeast(k, n, p);                          // P(N <= n)
  const double atLeast = n == k ? 1.0 : BinomialAtMost(k - 1, n - 1, p);  // P(N >= n)
  return std::min(1.0, 2.0 * std::min(atMost, atLeast));
}

}  // namespace kestrum
