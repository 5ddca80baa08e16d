// The exact interval and p-value against figures computed here another way:
// closed forms where they exist, elsewhere the beta quantile by bisection
// over a textbook continued fraction, and plain sums over small n.

#include "batch/BinomialLaw.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kestrum {
namespace {

// I_x(a, b), the regularised incomplete beta function, by the continued
// fraction of Numerical Recipes (modified Lentz); fine for the moderate n
// used here, where lgamma keeps enough digits.
double BetaFraction(double a, double b, double x) {
  const double tiny = 1e-300;
  double c = 1.0;
  double d = 1.0 - (a + b) * x / (a + 1.0);
  if (std::fabs(d) < tiny) d = tiny;
  d = 1.0 / d;
  double h = d;
  for (int m = 1; m < 200000; ++m) {
    const double m2 = 2.0 * m;
    double aa = m * (b - m) * x / ((a + m2 - 1.0) * (a + m2));
    d = 1.0 + aa * d;
    if (std::fabs(d) < tiny) d = tiny;
    c = 1.0 + aa / c;
    if (std::fabs(c) < tiny) c = tiny;
    d = 1.0 / d;
    h *= d * c;
    aa = -(a + m) * (a + b + m) * x / ((a + m2) * (a + m2 + 1.0));
    d = 1.0 + aa * d;
    if (std::fabs(d) < tiny) d = tiny;
    c = 1.0 + aa / c;
    if (std::fabs(c) < tiny) c = tiny;
    d = 1.0 / d;
    const double step = d * c;
    h *= step;
    if (std::fabs(step - 1.0) < 1e-15) break;
  }
  return h;
}

double RegularisedBeta(double a, double b, double x) {
  if (x <= 0.0) return 0.0;
  if (x >= 1.0) return 1.0;
  const double front =
      std::exp(std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) + a * std::log(x) + b * std::log1p(-x));
  if (x < (a + 1.0) / (a + b + 2.0)) return front * BetaFraction(a, b, x) / a;
  return 1.0 - front * BetaFraction(b, a, 1.0 - x) / b;
}

double BetaQuantile(double probability, double a, double b) {
  double low = 0.0;
  double high = 1.0;
  for (int i = 0; i < 200; ++i) {
    const double mid = 0.5 * (low + high);
    (RegularisedBeta(a, b, mid) < probability ? low : high) = mid;
  }
  return 0.5 * (low + high);
}

void ExpectRelativelyNear(double actual, double expected, double tolerance, const char* what) {
  EXPECT_NEAR(actual / expected, 1.0, tolerance) << what << ": " << actual << " against " << expected;
}

TEST(ClopperPearson, NoneOrOneFoundMatchesTheClosedForms) {
  for (const std::int64_t n : {std::int64_t{60000}, std::int64_t{1000000}, std::int64_t{1000000000000}}) {
    const double nd = static_cast<double>(n);
    const RateInterval none = ClopperPearson95(0, n);
    EXPECT_EQ(none.low, 0.0);
    ExpectRelativelyNear(none.high, -std::expm1(std::log(0.025) / nd), 1e-9, "0 found, upper");
    const RateInterval one = ClopperPearson95(1, n);
    ExpectRelativelyNear(one.low, -std::expm1(std::log1p(-0.025) / nd), 1e-9, "1 found, lower");
  }
}

TEST(ClopperPearson, MatchesTheBetaQuantilesForOneTwoAndFiftyFound) {
  const std::int64_t n = 1000000;
  for (const std::int64_t k : {std::int64_t{1}, std::int64_t{2}, std::int64_t{50}}) {
    const RateInterval interval = ClopperPearson95(k, n);
    const double a = static_cast<double>(k);
    const double b = static_cast<double>(n - k);
    ExpectRelativelyNear(interval.low, BetaQuantile(0.025, a, b + 1.0), 1e-6, "lower");
    ExpectRelativelyNear(interval.high, BetaQuantile(0.975, a + 1.0, b), 1e-6, "upper");
    EXPECT_LT(interval.low, a / static_cast<double>(n));
    EXPECT_GT(interval.high, a / static_cast<double>(n));
  }
  // All found: the upper end is 1 exactly.
  EXPECT_EQ(ClopperPearson95(7, 7).high, 1.0);
  EXPECT_EQ(ClopperPearson95(0, 0).high, 1.0);
}

double NaiveProbability(int k, int n, double p) {
  double coefficient = 1.0;
  for (int i = 1; i <= k; ++i) coefficient = coefficient * (n - k + i) / i;
  return coefficient * std::pow(p, k) * std::pow(1.0 - p, n - k);
}

TEST(BinomialTwoSidedP, MatchesAPlainSumOverEveryOutcomeNoMoreLikely) {
  const int n = 20;
  const double p = 0.3;
  for (const int k : {0, 2, 6, 10, 15}) {
    const double observed = NaiveProbability(k, n, p);
    double expected = 0.0;
    for (int j = 0; j <= n; ++j)
      if (NaiveProbability(j, n, p) <= observed * (1 + 1e-7)) expected += NaiveProbability(j, n, p);
    EXPECT_NEAR(BinomialTwoSidedP(k, n, p), std::min(1.0, expected), 1e-12) << "k " << k;
  }
}

TEST(BinomialTwoSidedP, OneHeavenlyHandInSixtyThousandGamesIsNoSurprise) {
  const double p = 1.0 / 330529.5;
  // Only "none" is more likely than one; the p-value is P(at least one).
  const double pValue = BinomialTwoSidedP(1, 60000, p);
  EXPECT_NEAR(pValue, -std::expm1(60000 * std::log1p(-p)), 1e-12);
  EXPECT_NEAR(pValue, 0.166, 0.001);
  // None in ten million games where about thirty are expected is.
  EXPECT_LT(BinomialTwoSidedP(0, 10000000, p), 1e-10);
  // The count expected in 10^15 games fits, far beyond where lgamma keeps digits.
  const std::int64_t n = 1000000000000000;
  EXPECT_GT(BinomialTwoSidedP(static_cast<std::int64_t>(static_cast<double>(n) * p), n, p), 0.9);
}

TEST(BinomialProbability, SumsToOneAndAgreesWithThePlainFormula) {
  double total = 0.0;
  for (int k = 0; k <= 1000; ++k) {
    const double exact = BinomialProbability(k, 1000, 0.01);
    total += exact;
    if (k <= 40) {
      EXPECT_NEAR(exact, NaiveProbability(k, 1000, 0.01), 1e-14 + 1e-10 * exact) << k;
    }
  }
  EXPECT_NEAR(total, 1.0, 1e-12);
  EXPECT_NEAR(BinomialAtMost(10, 1000, 0.01) + BinomialAtLeast(11, 1000, 0.01), 1.0, 1e-12);
}

}  // namespace
}  // namespace kestrum
