#pragma once
// What a batch's counts say about the heavenly-hand rate.

#include "engine/Tiles.h"

namespace kestrum {

struct RateInterval {
  double low = 0.0;
  double high = 0.0;
};

// The Wilson score interval at 95%: sound also for very few heavenly hands,
// where the normal approximation would reach below 0.
RateInterval WilsonInterval95(Count64 successes, Count64 trials);

// How far the measured rate lies from p, in standard errors of a rate p over
// that many trials; positive when more were found than p expects.
double StandardErrorsFrom(Count64 successes, Count64 trials, double p);

}  // namespace kestrum
