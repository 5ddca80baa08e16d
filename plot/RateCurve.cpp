#include "plot/RateCurve.h"

#include <algorithm>

#include "batch/BinomialLaw.h"
#include "plot/BatchPlotData.h"

namespace kestrum {
namespace {

RatePoint PointAt(Count64 games, Count64 found) {
  const RateInterval interval = ClopperPearson95(found, games);
  const double n = static_cast<double>(games);
  return {n, static_cast<double>(found) / n, interval.low, interval.high};
}

// Heavenly hands among the first `games` games.
Count64 FoundWithin(const BatchPlotData& data, Count64 games) {
  const auto end = std::partition_point(data.tenhou.begin(), data.tenhou.end(),
                                        [games](const PlottedTenhou& find) { return find.gameIndex < games; });
  return end - data.tenhou.begin();
}

}  // namespace

std::vector<RatePoint> RateCurve(const BatchPlotData& data, int samples) {
  std::vector<Count64> counts;
  const Count64 total = data.totalGames;
  if (total <= 0 || samples < 2) return {};
  for (int i = 0; i < samples; ++i)
    counts.push_back(std::max<Count64>(1, static_cast<Count64>(static_cast<double>(total) * i / (samples - 1))));
  counts.back() = total;
  // A saw-tooth: the rate falls between heavenly hands and jumps at each.
  // Past a few per sample the jumps are finer than the drawing.
  if (data.tenhou.size() <= static_cast<std::size_t>(samples) * 4)
    for (const PlottedTenhou& find : data.tenhou)
      if (find.gameIndex < total) {
        if (find.gameIndex > 0) counts.push_back(find.gameIndex);
        counts.push_back(find.gameIndex + 1);
      }
  std::sort(counts.begin(), counts.end());
  counts.erase(std::unique(counts.begin(), counts.end()), counts.end());

  std::vector<RatePoint> curve;
  curve.reserve(counts.size());
  for (const Count64 games : counts) curve.push_back(PointAt(games, FoundWithin(data, games)));
  return curve;
}

}  // namespace kestrum
