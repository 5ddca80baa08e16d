#pragma once
// What a batch's counts say, beside the exact probability: the measured rate
// with its exact interval, how likely the count is if the exact probability
// holds, the count expected for each form, and whether the runs follow the
// law of independent games.

#include <array>
#include <cstddef>
#include <optional>

#include "batch/BinomialLaw.h"
#include "batch/BlockResult.h"
#include "batch/DistanceFit.h"
#include "batch/RunsFit.h"
#include "engine/Tiles.h"

namespace kestrum {

struct BatchResult;
struct ExactCounts;

// A p-value below this says the count does not fit the exact probability.
inline constexpr double kConsistencyLevel = 0.01;

struct FormFigures {
  Count64 found = 0;
  double expected = 0.0;     // games times the form's exact probability
  double probability = 0.0;  // exact, as the complete-hand test names the form
  RateInterval interval95;   // Clopper-Pearson, of found in the games
};

// How the games were sampled: a fixed number (a games or a time limit, or
// Ctrl-C), or until the K-th heavenly hand, which makes the number of games
// random (negative binomial) and asks for other figures.
enum class Sampling { kBinomial, kInverse };

// The games by distance from complete beside the exact law (slot distance + 1).
struct DistanceFigures {
  std::array<Count64, kDistanceSlots> seen{};
  std::array<double, kDistanceSlots> probability{};  // exact
  std::array<double, kDistanceSlots> expected{};     // games times probability
  std::optional<DistanceFit> fit;                    // once two bins hold five games expected
};

struct BatchFigures {
  Sampling sampling = Sampling::kBinomial;
  double rate = 0.0;  // binomial: K / N; inverse: (K - 1) / (N - 1), K / N for K = 1
  RateInterval interval95;
  double exactRate = 0.0;
  double exactOneIn = 0.0;
  double pValue = 1.0;  // exact two-sided, of the count found at the exact rate
  bool consistent = true;
  FormFigures thirteenOrphans;
  FormFigures sevenPairs;
  FormFigures standard;
  std::size_t runs = 0;
  // The runs' shape, against the geometric law with the rate estimated from
  // the runs, once there are kMinRunsForFit runs.
  std::optional<RunsFit> runsFit;
  std::optional<SerialFit> serialFit;  // consecutive runs, once there are enough pairs
  Count64 censoredRun = 0;  // games after the last heavenly hand, a run not yet ended
  DistanceFigures dealerDistances;         // the dealer's fourteen tiles
  DistanceFigures firstThirteenDistances;  // the wall's first thirteen as dealt
  double gamesPerSecond = 0.0;
};

BatchFigures FiguresOf(const BatchResult& result, const ExactCounts& exact);

struct DistanceCounts;
DistanceFigures DistanceFiguresOf(const std::array<Count64, kDistanceSlots>& seen, const DistanceCounts& exact,
                                  Count64 games);

}  // namespace kestrum
