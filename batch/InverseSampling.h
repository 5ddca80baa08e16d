#pragma once
// Figures of inverse sampling: a batch that stops at its K-th heavenly hand
// has played a random number of games N, which follows the negative
// binomial law, not the binomial one. K / N then overstates the rate (for
// K = 1 its mean is many times the rate), and the binomial interval and
// p-value, which hold N fixed, are not exact.

#include <cstdint>

#include "batch/BinomialLaw.h"

namespace kestrum {

// The rate estimate: (K - 1) / (N - 1), unbiased for K >= 2; for K = 1
// there is no useful unbiased estimate and K / N is given.
double InverseSamplingRate(std::int64_t k, std::int64_t n);

// The exact 95% interval of the rate from the K-th success at trial N:
// P(N <= n) = P(Binomial(n, p) >= K) fixes the low end, P(N >= n) =
// P(Binomial(n - 1, p) <= K - 1) the high end, each at 2.5%.
RateInterval InverseSamplingInterval95(std::int64_t k, std::int64_t n);

// The exact two-sided p-value of N = n at rate p: twice the smaller tail of
// the negative binomial law, at most 1.
double InverseSamplingTwoSidedP(std::int64_t k, std::int64_t n, double p);

}  // namespace kestrum
