#pragma once
// The measured heavenly-hand rate as a batch went on, with its 95% interval:
// the line and the band of the rate picture.

#include <vector>

namespace kestrum {

struct BatchPlotData;

struct RatePoint {
  double games = 0.0;  // games played so far
  double rate = 0.0;   // heavenly hands per game so far
  double low = 0.0;    // the 95% interval of the rate
  double high = 0.0;
};

// The rate at `samples` evenly spaced game counts from the first game to the
// last, and on both sides of every heavenly hand while there are few enough
// for their jumps to show, in order of games.
std::vector<RatePoint> RateCurve(const BatchPlotData& data, int samples);

}  // namespace kestrum
