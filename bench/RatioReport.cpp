#include "bench/RatioReport.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>
#include <unistd.h>

namespace kestrum::bench {
namespace {

// The console table as usual, while keeping for every benchmark the real
// time per iteration of each repetition, in the order they ran. With the
// repetitions interleaved, the k-th repetitions of two benchmarks ran at
// nearly the same moment, so their ratio is taken pair by pair and the
// median of those ratios reported: on a shared machine whose speed drifts,
// that is steadier than comparing the fastest repetition of each, which
// picks the luckiest moment of each side independently.
class CollectingReporter final : public benchmark::ConsoleReporter {
 public:
  // Colours only on a terminal, as the library's own reporter does.
  CollectingReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_Defaults : OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0) continue;
      times_[run.benchmark_name()].push_back(run.real_accumulated_time / static_cast<double>(run.iterations));
    }
    ConsoleReporter::ReportRuns(runs);
  }

  // The median over the paired repetitions of numerator time / denominator
  // time, or a negative value when either benchmark did not run.
  double MedianTimeRatio(const std::string& numerator, const std::string& denominator) const {
    const auto top = times_.find(numerator);
    const auto bottom = times_.find(denominator);
    if (top == times_.end() || bottom == times_.end()) return -1.0;
    const std::size_t pairs = std::min(top->second.size(), bottom->second.size());
    if (pairs == 0) return -1.0;
    std::vector<double> ratios;
    for (std::size_t k = 0; k < pairs; ++k) ratios.push_back(top->second[k] / bottom->second[k]);
    std::sort(ratios.begin(), ratios.end());
    return pairs % 2 == 1 ? ratios[pairs / 2] : (ratios[pairs / 2 - 1] + ratios[pairs / 2]) / 2.0;
  }

 private:
  std::map<std::string, std::vector<double>> times_;
};

bool Keeps(const Ratio& ratio, double value) {
  return ratio.bound == Ratio::kAtMost ? value <= ratio.limit : value >= ratio.limit;
}

}  // namespace

int RunWithRatios(int argc, char** argv, const std::vector<Ratio>& ratios) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  CollectingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  int result = 0;
  bool header = false;
  for (const Ratio& ratio : ratios) {
    const double timeRatio = reporter.MedianTimeRatio(ratio.numerator, ratio.denominator);
    if (timeRatio <= 0.0) continue;
    if (!header) {
      std::printf("\nRatios from this run (median over paired repetitions):\n");
      header = true;
    }
    const double value = ratio.kind == Ratio::kCost ? timeRatio : 1.0 / timeRatio;
    const bool kept = Keeps(ratio, value);
    std::printf("  %-48s %7.3f  (%s %.2f)  %s\n", ratio.label.c_str(), value,
                ratio.bound == Ratio::kAtMost ? "at most" : "at least", ratio.limit, kept ? "ok" : "MISSED");
    if (!kept) result = 1;
  }
  std::fflush(stdout);
  return result;
}

}  // namespace kestrum::bench
