#include "bench/RatioReport.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <unistd.h>

namespace kestrum::bench {
namespace {

// The console table as usual, while keeping for every benchmark the fastest
// real time per iteration over its repetitions: on a shared machine noise
// only ever adds time, so the fastest repetition is the steadiest figure.
class CollectingReporter final : public benchmark::ConsoleReporter {
 public:
  // Colours only on a terminal, as the library's own reporter does.
  CollectingReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_Defaults : OO_Tabular) {}


  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0) continue;
      const double seconds = run.real_accumulated_time / static_cast<double>(run.iterations);
      const auto [entry, added] = fastest_.emplace(run.benchmark_name(), seconds);
      if (!added && seconds < entry->second) entry->second = seconds;
    }
    ConsoleReporter::ReportRuns(runs);
  }

  // Real seconds per iteration, or a negative value when the benchmark did not run.
  double SecondsPerIteration(const std::string& name) const {
    const auto found = fastest_.find(name);
    return found == fastest_.end() ? -1.0 : found->second;
  }

 private:
  std::map<std::string, double> fastest_;
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
    const double numerator = reporter.SecondsPerIteration(ratio.numerator);
    const double denominator = reporter.SecondsPerIteration(ratio.denominator);
    if (numerator <= 0.0 || denominator <= 0.0) continue;
    if (!header) {
      std::printf("\nRatios from this run:\n");
      header = true;
    }
    const double value = ratio.kind == Ratio::kCost ? numerator / denominator : denominator / numerator;
    const bool kept = Keeps(ratio, value);
    std::printf("  %-48s %7.3f  (%s %.2f)  %s\n", ratio.label.c_str(), value,
                ratio.bound == Ratio::kAtMost ? "at most" : "at least", ratio.limit, kept ? "ok" : "MISSED");
    if (!kept) result = 1;
  }
  std::fflush(stdout);
  return result;
}

}  // namespace kestrum::bench
