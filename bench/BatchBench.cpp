// The batch runner behind `kestrum-sim run`, on one thread and on two, with
// the same number of games per iteration: the ratio of the two times is the
// ratio of games per second.

#include "batch/BatchRunner.h"
#include "bench/RatioReport.h"

#include <benchmark/benchmark.h>

#include <atomic>

namespace kestrum {
namespace {

// Twelve blocks: long enough (about a second on one thread) that starting
// the threads and a moment of load from elsewhere weigh little, and an even
// share for two threads.
constexpr Count64 kGamesPerBatch = 12 * kBlockGames;

void BM_Batch(benchmark::State& state) {
  BatchOptions options;
  options.threads = static_cast<int>(state.range(0));
  options.limits.games = kGamesPerBatch;
  options.seed = 7;
  const std::atomic<bool> stop{false};
  Count64 played = 0;
  for (auto _ : state) {
    const BatchResult result = RunBatch(options, stop);
    played += result.tally.games;
    ++options.seed;
  }
  benchmark::DoNotOptimize(played);
  state.SetItemsProcessed(static_cast<std::int64_t>(played));
}

BENCHMARK(BM_Batch)->ArgName("threads")->Arg(1)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kestrum

int main(int argc, char** argv) {
  using kestrum::bench::Ratio;
  return kestrum::bench::RunWithRatios(argc, argv,
                                       {
                                           Ratio{"games/s 2 threads / 1 thread", "BM_Batch/threads:2/real_time",
                                                 "BM_Batch/threads:1/real_time", Ratio::kSpeedup, Ratio::kAtLeast,
                                                 1.9},
                                       });
}
