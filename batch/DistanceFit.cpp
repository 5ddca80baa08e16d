#include "batch/DistanceFit.h"

#include <numeric>

#include "batch/RunsFit.h"

namespace kestrum {

std::optional<DistanceFit> FitDistances(const std::vector<std::uint64_t>& observed,
                                        const std::vector<double>& probability, int firstDistance) {
  if (observed.size() != probability.size() || observed.empty()) return std::nullopt;
  const double games = static_cast<double>(std::accumulate(observed.begin(), observed.end(), std::uint64_t{0}));
  DistanceFit fit;
  DistanceBin open{firstDistance, firstDistance, 0, 0.0};
  bool opened = false;
  for (std::size_t i = 0; i < observed.size(); ++i) {
    const int distance = firstDistance + static_cast<int>(i);
    if (!opened) open = {distance, distance, 0, 0.0};
    opened = true;
    open.last = distance;
    open.observed += observed[i];
    open.expected += probability[i] * games;
    if (open.expected >= kMinExpectedPerBin) {
      fit.bins.push_back(open);
      opened = false;
    }
  }
  // What is left at the top end joins the last full bin.
  if (opened) {
    if (fit.bins.empty()) return std::nullopt;
    DistanceBin& last = fit.bins.back();
    last.last = open.last;
    last.observed += open.observed;
    last.expected += open.expected;
  }
  if (fit.bins.size() < 2) return std::nullopt;
  for (const DistanceBin& bin : fit.bins) {
    const double difference = static_cast<double>(bin.observed) - bin.expected;
    fit.chiSquare += difference * difference / bin.expected;
  }
  fit.degreesOfFreedom = static_cast<int>(fit.bins.size()) - 1;
  fit.pValue = ChiSquareAbove(fit.chiSquare, fit.degreesOfFreedom);
  return fit;
}

}  // namespace kestrum
