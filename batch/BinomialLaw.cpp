#include "batch/BinomialLaw.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kestrum {
namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
// A tail sum stops once a term no longer changes it.
constexpr double kNegligible = 1e-17;
constexpr int kBisections = 200;
constexpr double kTailAt95 = 0.025;
// Outcomes whose probability is within this factor of the observed one's
// count as equally likely (rounding must not split ties).
constexpr double kTieTolerance = 1.0 + 1e-7;

// lgamma(n + 1) - (n + 1/2) log n + n - log sqrt(2 pi): the error of
// Stirling's formula, by its asymptotic series beyond 15, directly below.
double StirlingError(double n) {
  if (n <= 0.0) return 0.0;
  if (n <= 15.0) {
    return std::lgamma(n + 1.0) - (n + 0.5) * std::log(n) + n - 0.5 * std::log(kTwoPi);
  }
  constexpr double s0 = 1.0 / 12, s1 = 1.0 / 360, s2 = 1.0 / 1260, s3 = 1.0 / 1680, s4 = 1.0 / 1188;
  const double nn = n * n;
  return (s0 - (s1 - (s2 - (s3 - s4 / nn) / nn) / nn) / nn) / n;
}

// x log(x / m) + m - x, without the cancellation of that formula when x is
// close to m.
double DevianceTerm(double x, double m) {
  if (std::fabs(x - m) < 0.1 * (x + m)) {
    double v = (x - m) / (x + m);
    double sum = (x - m) * v;
    double term = 2.0 * x * v;
    const double v2 = v * v;
    for (int j = 1; j < 1000; ++j) {
      term *= v2;
      const double next = sum + term / (2 * j + 1);
      if (next == sum) return next;
      sum = next;
    }
    return sum;
  }
  return x * std::log(x / m) + m - x;
}

std::int64_t Mode(std::int64_t n, double p) {
  const double mode = std::floor((static_cast<double>(n) + 1.0) * p);
  return std::clamp(static_cast<std::int64_t>(mode), std::int64_t{0}, n);
}

// P(X <= k) for k at or below the mode: the terms shrink from k down.
double LowerTail(std::int64_t k, std::int64_t n, double p) {
  double term = BinomialProbability(k, n, p);
  double sum = term;
  const double odds = (1.0 - p) / p;
  for (std::int64_t j = k; j > 0 && term > sum * kNegligible; --j) {
    term *= static_cast<double>(j) / static_cast<double>(n - j + 1) * odds;
    sum += term;
  }
  return std::min(sum, 1.0);
}

// P(X >= k) for k above the mode: the terms shrink from k up.
double UpperTail(std::int64_t k, std::int64_t n, double p) {
  double term = BinomialProbability(k, n, p);
  double sum = term;
  const double odds = p / (1.0 - p);
  for (std::int64_t j = k; j < n && term > sum * kNegligible; ++j) {
    term *= static_cast<double>(n - j) / static_cast<double>(j + 1) * odds;
    sum += term;
  }
  return std::min(sum, 1.0);
}

// The p in [0, 1] at which the falling (or rising) function crosses target.
template <class F>
double Crossing(F tail, double target, bool rising) {
  double low = 0.0;
  double high = 1.0;
  for (int i = 0; i < kBisections; ++i) {
    const double mid = 0.5 * (low + high);
    if ((tail(mid) > target) == rising)
      high = mid;
    else
      low = mid;
  }
  return 0.5 * (low + high);
}

}  // namespace

double BinomialProbability(std::int64_t k, std::int64_t n, double p) {
  if (k < 0 || k > n) return 0.0;
  const double q = 1.0 - p;
  if (p <= 0.0) return k == 0 ? 1.0 : 0.0;
  if (q <= 0.0) return k == n ? 1.0 : 0.0;
  const auto x = static_cast<double>(k);
  const auto trials = static_cast<double>(n);
  if (k == 0) return std::exp(p < 0.1 ? -DevianceTerm(trials, trials * q) - trials * p : trials * std::log(q));
  if (k == n) return std::exp(q < 0.1 ? -DevianceTerm(trials, trials * p) - trials * q : trials * std::log(p));
  const double exponent = StirlingError(trials) - StirlingError(x) - StirlingError(trials - x) -
                          DevianceTerm(x, trials * p) - DevianceTerm(trials - x, trials * q);
  const double spread = std::log(kTwoPi) + std::log(x) + std::log1p(-x / trials);
  return std::exp(exponent - 0.5 * spread);
}

double BinomialAtMost(std::int64_t k, std::int64_t n, double p) {
  if (k < 0) return 0.0;
  if (k >= n || p <= 0.0) return 1.0;
  if (p >= 1.0) return 0.0;
  if (k <= Mode(n, p)) return LowerTail(k, n, p);
  return std::max(0.0, 1.0 - UpperTail(k + 1, n, p));
}

double BinomialAtLeast(std::int64_t k, std::int64_t n, double p) {
  if (k <= 0) return 1.0;
  if (k > n || p <= 0.0) return 0.0;
  if (p >= 1.0) return 1.0;
  if (k > Mode(n, p)) return UpperTail(k, n, p);
  return std::max(0.0, 1.0 - LowerTail(k - 1, n, p));
}

RateInterval ClopperPearson95(std::int64_t k, std::int64_t n) {
  if (n <= 0) return {0.0, 1.0};
  k = std::clamp(k, std::int64_t{0}, n);
  RateInterval interval{0.0, 1.0};
  if (k > 0) interval.low = Crossing([&](double p) { return BinomialAtLeast(k, n, p); }, kTailAt95, true);
  if (k < n) interval.high = Crossing([&](double p) { return BinomialAtMost(k, n, p); }, kTailAt95, false);
  return interval;
}

double BinomialTwoSidedP(std::int64_t k, std::int64_t n, double p) {
  if (n <= 0 || k < 0 || k > n) return 1.0;
  if (p <= 0.0) return k == 0 ? 1.0 : 0.0;
  if (p >= 1.0) return k == n ? 1.0 : 0.0;
  const std::int64_t mode = Mode(n, p);
  if (k == mode) return 1.0;
  const double limit = BinomialProbability(k, n, p) * kTieTolerance;
  double total = 0.0;
  if (k < mode) {
    // The first outcome above the mode that is no more likely than k.
    std::int64_t low = mode + 1;
    std::int64_t high = n + 1;
    while (low < high) {
      const std::int64_t mid = low + (high - low) / 2;
      if (BinomialProbability(mid, n, p) <= limit)
        high = mid;
      else
        low = mid + 1;
    }
    total = BinomialAtMost(k, n, p) + (low <= n ? BinomialAtLeast(low, n, p) : 0.0);
  } else {
    // The last outcome below the mode that is no more likely than k.
    std::int64_t low = -1;
    std::int64_t high = mode - 1;
    while (low < high) {
      const std::int64_t mid = high - (high - low) / 2;
      if (BinomialProbability(mid, n, p) <= limit)
        low = mid;
      else
        high = mid - 1;
    }
    total = BinomialAtLeast(k, n, p) + (low >= 0 ? BinomialAtMost(low, n, p) : 0.0);
  }
  return std::min(total, 1.0);
}

}  // namespace kestrum
