#include "batch/BatchFigures.h"

#include <vector>

#include "batch/BatchResult.h"
#include "batch/ExactCount.h"
#include "batch/ExactDistance.h"
#include "batch/InverseSampling.h"

namespace kestrum {
namespace {

FormFigures Form(Count64 found, Uint128 formDeals, const ExactCounts& exact, Count64 games) {
  const double probability = Ratio(formDeals, exact.deals);
  return {found, static_cast<double>(games) * probability, probability, ClopperPearson95(found, games)};
}

}  // namespace

DistanceFigures DistanceFiguresOf(const std::array<Count64, kDistanceSlots>& seen, const DistanceCounts& exact,
                                  Count64 games) {
  DistanceFigures figures;
  figures.seen = seen;
  std::vector<std::uint64_t> observed;
  std::vector<double> probability;
  for (int slot = 0; slot < kDistanceSlots; ++slot) {
    figures.probability[slot] = Ratio(exact.At(DistanceForm::kBest, slot - 1), exact.deals);
    figures.expected[slot] = figures.probability[slot] * static_cast<double>(games);
    observed.push_back(static_cast<std::uint64_t>(seen[slot]));
    probability.push_back(figures.probability[slot]);
  }
  figures.fit = FitDistances(observed, probability, -1);
  return figures;
}

BatchFigures FiguresOf(const BatchResult& result, const ExactCounts& exact) {
  const BatchTally& tally = result.tally;
  BatchFigures f;
  f.exactRate = Ratio(exact.Complete(), exact.deals);
  f.exactOneIn = Ratio(exact.deals, exact.Complete());
  // Only a batch that ended at its K-th heavenly hand was sampled inversely;
  // one that stopped before (a time limit, Ctrl-C, a games limit) holds its
  // games fixed as the binomial law does.
  f.sampling = result.stop == StopReason::kTenhou && tally.tenhou > 0 ? Sampling::kInverse : Sampling::kBinomial;
  if (f.sampling == Sampling::kInverse) {
    f.rate = InverseSamplingRate(tally.tenhou, tally.games);
    f.interval95 = InverseSamplingInterval95(tally.tenhou, tally.games);
    f.pValue = InverseSamplingTwoSidedP(tally.tenhou, tally.games, f.exactRate);
  } else {
    f.rate = tally.games > 0 ? static_cast<double>(tally.tenhou) / static_cast<double>(tally.games) : 0.0;
    f.interval95 = ClopperPearson95(tally.tenhou, tally.games);
    f.pValue = BinomialTwoSidedP(tally.tenhou, tally.games, f.exactRate);
  }
  f.consistent = f.pValue >= kConsistencyLevel;
  f.thirteenOrphans = Form(tally.thirteenOrphans, exact.thirteenOrphans, exact, tally.games);
  f.sevenPairs = Form(tally.sevenPairs, exact.sevenPairs, exact, tally.games);
  f.standard = Form(tally.standard, exact.standard, exact, tally.games);
  std::vector<std::int64_t> runs;
  runs.reserve(result.finds.size());
  for (const TenhouFind& find : result.finds) runs.push_back(find.runLength);
  f.runs = runs.size();
  f.runsFit = FitRunsToGeometricShape(runs);
  f.serialFit = SerialTestOfRuns(runs);
  f.censoredRun = tally.games - (result.finds.empty() ? 0 : result.finds.back().gamesSoFar);
  // The histograms count the games they measured: all of them, resumed or not.
  const ExactDistances& distances = SharedExactDistances();
  f.dealerDistances = DistanceFiguresOf(tally.distances.dealer, distances.dealer, tally.games);
  f.firstThirteenDistances = DistanceFiguresOf(tally.distances.firstThirteen, distances.nonDealer, tally.games);
  f.gamesPerSecond =
      result.elapsedSeconds > 0 ? static_cast<double>(tally.games - result.resumedGames) / result.elapsedSeconds : 0.0;
  return f;
}

}  // namespace kestrum
