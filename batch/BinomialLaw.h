#pragma once
// Exact figures of the binomial law, sound for the counts this program
// meets: up to 10^15 games and from none to millions of heavenly hands,
// where normal approximations mislead and naive sums of lgamma lose every
// digit to cancellation.

#include <cstdint>

namespace kestrum {

// P(X = k) for X ~ Binomial(n, p), by Loader's saddle-point expansion,
// accurate to a few units in the last place for any n.
double BinomialProbability(std::int64_t k, std::int64_t n, double p);

// P(X <= k) and P(X >= k).
double BinomialAtMost(std::int64_t k, std::int64_t n, double p);
double BinomialAtLeast(std::int64_t k, std::int64_t n, double p);

struct RateInterval {
  double low = 0.0;
  double high = 0.0;
};

// The exact (Clopper-Pearson) 95% interval of a rate from k successes in n
// trials: it holds the true rate at least 95% of the time for every rate,
// also at 0, 1 or a few successes. low is 0 at k = 0 and high is 1 at k = n.
RateInterval ClopperPearson95(std::int64_t k, std::int64_t n);

// The exact two-sided p-value of k successes in n trials at rate p: the
// probability of every outcome no more likely than k (the rule R's
// binom.test follows).
double BinomialTwoSidedP(std::int64_t k, std::int64_t n, double p);

}  // namespace kestrum
