#pragma once
// The one-line progress bar of `kestrum-sim run` on a terminal's standard
// error: games, games a second, heavenly hands counted so far and the time
// left by whichever limit comes first.

#include <string>
#include <utility>

#include "batch/BatchResult.h"

namespace kestrum {

struct BatchProgress;

class ProgressBar {
 public:
  // expectedRate is the exact heavenly-hand rate: under a heavenly-hand
  // limit the time left is an expectation, and the bar says so.
  ProgressBar(const BatchLimits& limits, double expectedRate);
  void Update(const BatchProgress& progress);
  // Removes the bar so that the summary starts on a clean line.
  void Clear();

  // The text of the bar without its terminal control codes.
  std::string Line(const BatchProgress& progress) const;

 private:
  double Fraction(const BatchProgress& progress) const;
  // Seconds left, and whether that is an expectation rather than a bound.
  std::pair<double, bool> SecondsLeft(const BatchProgress& progress) const;

  BatchLimits limits_;
  double expectedRate_;
  double lastDrawnAt_ = -1.0;
  bool drawn_ = false;
};

}  // namespace kestrum
