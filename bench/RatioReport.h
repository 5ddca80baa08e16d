#pragma once
// Runs the registered benchmarks with the console report and then prints the
// ratios between pairs of them, each computed from the figures of this same
// run, so that a ratio never mixes measurements of different moments.

#include <string>
#include <vector>

namespace kestrum::bench {

struct Ratio {
  enum Kind {
    kCost,     // numerator time per iteration / denominator time per iteration
    kSpeedup,  // denominator time / numerator time: how many times as much work per second
  };
  enum Bound { kAtMost, kAtLeast };

  std::string label;
  std::string numerator;    // benchmark names as the report prints them
  std::string denominator;
  Kind kind = kCost;
  Bound bound = kAtMost;
  double limit = 1.0;
};

// Returns 0 when every ratio whose two benchmarks ran keeps its limit, 1 when
// one misses it; ratios whose benchmarks were filtered out are skipped.
int RunWithRatios(int argc, char** argv, const std::vector<Ratio>& ratios);

}  // namespace kestrum::bench
