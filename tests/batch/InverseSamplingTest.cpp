// Inverse sampling checked by simulation: batches that stop at the K-th
// success, played out with a fixed seed at a few rates. The interval must
// hold the rate at least 95% of the time, the estimate must not run high
// for K >= 2 as K / N does, and the p-value must not reject a true rate
// more often than its level.

#include <gtest/gtest.h>

#include <random>

#include "batch/InverseSampling.h"

namespace kestrum {
namespace {

constexpr int kBatches = 4000;

struct Outcome {
  double coverage = 0.0;
  double meanEstimate = 0.0;
  double meanNaive = 0.0;  // K / N
  double rejectedAtFivePercent = 0.0;
};

Outcome Simulate(std::int64_t k, double p, unsigned seed) {
  std::mt19937_64 random(seed);
  std::geometric_distribution<std::int64_t> failures(p);
  Outcome outcome;
  for (int batch = 0; batch < kBatches; ++batch) {
    std::int64_t n = 0;
    for (std::int64_t success = 0; success < k; ++success) n += failures(random) + 1;
    const RateInterval interval = InverseSamplingInterval95(k, n);
    outcome.coverage += interval.low <= p && p <= interval.high ? 1.0 : 0.0;
    outcome.meanEstimate += InverseSamplingRate(k, n);
    outcome.meanNaive += static_cast<double>(k) / static_cast<double>(n);
    outcome.rejectedAtFivePercent += InverseSamplingTwoSidedP(k, n, p) < 0.05 ? 1.0 : 0.0;
  }
  outcome.coverage /= kBatches;
  outcome.meanEstimate /= kBatches;
  outcome.meanNaive /= kBatches;
  outcome.rejectedAtFivePercent /= kBatches;
  return outcome;
}

TEST(InverseSampling, IntervalCoversEstimateIsUnbiasedAndPValueKeepsItsLevel) {
  unsigned seed = 1;
  for (const std::int64_t k : {1, 2, 5})
    for (const double p : {0.3, 0.02, 0.001}) {
      const Outcome o = Simulate(k, p, seed++);
      // 95% or more; 4000 batches put the binomial noise near 0.35%.
      EXPECT_GE(o.coverage, 0.94) << "K = " << k << ", p = " << p;
      EXPECT_LE(o.rejectedAtFivePercent, 0.06) << "K = " << k << ", p = " << p;
      if (k >= 2) {
        EXPECT_NEAR(o.meanEstimate / p, 1.0, 0.06) << "K = " << k << ", p = " << p;
        EXPECT_GT(o.meanNaive / p, 1.15) << "K / N runs high, K = " << k << ", p = " << p;
      }
      if (k == 1 && p <= 0.02) {
        EXPECT_GT(o.meanNaive / p, 3.0) << "1 / N runs far high at p = " << p;
      }
    }
}

TEST(InverseSampling, EdgesOfTheInterval) {
  // Every trial a success: nothing bounds the rate from above.
  EXPECT_EQ(InverseSamplingInterval95(3, 3).high, 1.0);
  EXPECT_GT(InverseSamplingInterval95(3, 3).low, 0.0);
  // Tighter above than the binomial interval of K in N, the same below.
  const RateInterval inverse = InverseSamplingInterval95(2, 1000);
  const RateInterval binomial = ClopperPearson95(2, 1000);
  EXPECT_DOUBLE_EQ(inverse.low, binomial.low);
  EXPECT_LT(inverse.high, binomial.high);
  EXPECT_DOUBLE_EQ(InverseSamplingRate(2, 1001), 0.001);
  EXPECT_DOUBLE_EQ(InverseSamplingRate(1, 400), 1.0 / 400.0);
  EXPECT_EQ(InverseSamplingTwoSidedP(1, 1, 0.5), 1.0);
}

}  // namespace
}  // namespace kestrum
