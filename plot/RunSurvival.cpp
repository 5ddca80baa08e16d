#include "plot/RunSurvival.h"

#include <algorithm>
#include <cmath>

namespace kestrum {

std::vector<SurvivalStep> RunSurvival(std::vector<Count64> runLengths) {
  if (runLengths.empty()) return {};
  std::sort(runLengths.begin(), runLengths.end());
  const double runs = static_cast<double>(runLengths.size());
  std::vector<SurvivalStep> steps{{0.0, 1.0}};
  for (std::size_t i = 0; i < runLengths.size(); ++i) {
    if (i + 1 < runLengths.size() && runLengths[i + 1] == runLengths[i]) continue;
    steps.push_back({static_cast<double>(runLengths[i]), static_cast<double>(runLengths.size() - i - 1) / runs});
  }
  return steps;
}

double GeometricSurvival(double p, double games) {
  if (p <= 0.0) return 1.0;
  if (p >= 1.0) return games < 1.0 ? 1.0 : 0.0;
  return std::exp(games * std::log1p(-p));
}

}  // namespace kestrum
