#pragma once
// What a picture of a batch needs to know about it, as plain values: the
// batch engine fills it, the plot draws it.

#include <vector>

#include "engine/CompleteHand.h"
#include "engine/Tiles.h"

namespace kestrum {

struct PlottedTenhou {
  Count64 gameIndex = 0;  // 0-based place among the games the batch counted
  HandForm form = HandForm::kNone;
};

// The games by distance from complete, -1 first, beside the exact shares.
struct PlottedDistances {
  std::vector<Count64> games;
  std::vector<double> exactShare;
  double pValue = -1.0;  // of the chi-square against the exact law; < 0 when there are too few games
};

struct BatchPlotData {
  Count64 totalGames = 0;
  std::vector<PlottedTenhou> tenhou;  // in sequence order
  std::vector<Count64> runLengths;    // games of each run, the heavenly hand included
  double exactProbability = 0.0;
  PlottedDistances dealerDistances;         // the dealer's fourteen tiles
  PlottedDistances firstThirteenDistances;  // the wall's first thirteen tiles as dealt
};

}  // namespace kestrum
