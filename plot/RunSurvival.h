#pragma once
// The runs between heavenly hands against the law they should follow: with
// each game a heavenly hand with probability p, independently, a run is
// longer than x games with probability (1 - p)^x.

#include <vector>

#include "engine/Tiles.h"

namespace kestrum {

struct SurvivalStep {
  double games = 0.0;     // from this run length on ...
  double fraction = 0.0;  // ... this share of the runs is longer
};

// The measured share of runs longer than x, as a step function: one step at
// 0 (all of them) and one at each distinct length, in order.
std::vector<SurvivalStep> RunSurvival(std::vector<Count64> runLengths);

// (1 - p)^games, without losing p against 1.
double GeometricSurvival(double p, double games);

}  // namespace kestrum
