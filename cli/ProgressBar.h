#pragma once
// The one-line progress bar of `kestrum-sim run` on a terminal's standard
// error: games, games a second, heavenly hands so far and the time left.

#include "cli/BatchRun.h"

namespace kestrum {

class ProgressBar {
 public:
  // expectedRate estimates the time left under a heavenly-hand limit.
  ProgressBar(const BatchOptions& options, double expectedRate);
  void Update(const BatchProgress& progress);
  // Removes the bar so that the summary starts on a clean line.
  void Clear();

 private:
  double Fraction(const BatchProgress& progress) const;
  double SecondsLeft(const BatchProgress& progress) const;

  BatchOptions options_;
  double expectedRate_;
  double lastDrawnAt_ = -1.0;
  bool drawn_ = false;
};

}  // namespace kestrum
