// The batch on a GPU against every CPU thread of the same machine, in the
// same run: games a second of `run --device cuda` and of `run` on all usable
// CPUs, and the kernel alone in several shapes (threads to a CUDA block,
// CUDA blocks to a multiprocessor), each with its exchanges a second beside
// the card's shared-memory limit on them.

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <map>
#include <string>

#include "batch/BatchRunner.h"
#include "batch/GpuBlockPlayers.h"
#include "os/Files.h"
#include "engine/WallOps.h"

namespace kestrum {
namespace {

// A wave of an H100 at full occupancy is some 130,000 blocks: a batch of
// two keeps the second queued behind the first as a long batch does, and
// each of the kernel's shapes is timed on two waves of its own.
constexpr std::uint64_t kGpuBatchBlocks = 2 * 131072;
constexpr int kGpuKernelWaves = 2;
// Some two seconds of every CPU thread of a 16-core machine.
constexpr std::uint64_t kCpuBlocks = 2048;
constexpr double kMeanExchanges = kMinExchanges + (kExchangeSpread - 1) / 2.0;

void CountGames(benchmark::State& state, Count64 games) {
  state.SetItemsProcessed(static_cast<std::int64_t>(games));
  // Each block shuffles once more than it has games.
  const double exchanges = kMeanExchanges * (static_cast<double>(games) * (1.0 + 1.0 / kBlockGames));
  state.counters["exchanges/s"] = benchmark::Counter(exchanges, benchmark::Counter::kIsRate);
}

void BM_Run(benchmark::State& state, BatchDevice device, std::uint64_t blocks) {
  BatchOptions options;
  options.device = device;
  options.threads = os::UsableCpus();
  options.limits.games = static_cast<Count64>(blocks * kBlockGames);
  options.seed = 11;
  const std::atomic<bool> stop{false};
  Count64 games = 0;
  for (auto _ : state) {
    games += RunBatch(options, stop).tally.games;
    ++options.seed;
  }
  CountGames(state, games);
  state.counters["threads"] = options.threads;
}

void BM_GpuKernel(benchmark::State& state) {
  const int threadsPerBlock = static_cast<int>(state.range(0));
  const int blocksPerSm = static_cast<int>(state.range(1));
  std::uint64_t seed = 5;
  Count64 games = 0;
  for (auto _ : state) {
    const GpuTiming timing = TimeGpuWaves(seed++, kGpuKernelWaves, threadsPerBlock, blocksPerSm);
    state.SetIterationTime(timing.seconds);
    games += static_cast<Count64>(timing.blocks * kBlockGames);
  }
  CountGames(state, games);
}

// One iteration each: every one plays seconds of games already.
BENCHMARK_CAPTURE(BM_Run, cpu, BatchDevice::kCpu, kCpuBlocks)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_Run, cuda, BatchDevice::kCuda, kGpuBatchBlocks)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kSecond);
// 0 CUDA blocks to a multiprocessor: as many as its registers and shared
// memory hold.
BENCHMARK(BM_GpuKernel)
    ->ArgNames({"threads", "perSm"})
    ->Args({128, 0})
    ->Args({64, 0})
    ->Args({256, 0})
    ->Args({128, 4})
    ->Args({128, 2})
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

// The console table as usual, keeping each benchmark's rates for the
// figures printed after it.
class RateReporter final : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      games_[run.benchmark_name()] = run.counters.at("items_per_second").value;
      exchanges_[run.benchmark_name()] = run.counters.at("exchanges/s").value;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  const std::map<std::string, double>& Games() const { return games_; }
  const std::map<std::string, double>& Exchanges() const { return exchanges_; }

 private:
  std::map<std::string, double> games_;
  std::map<std::string, double> exchanges_;
};

}  // namespace
}  // namespace kestrum

int main(int argc, char** argv) {
  using namespace kestrum;
  const GpuCheck gpu = CheckGpu();
  if (!gpu.usable) {
    std::printf("no GPU to measure here (%s)\n", gpu.problem.c_str());
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  RateReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  const GpuFacts facts = ReadGpuFacts();
  const double limit = facts.ExchangeLimitPerSecond();
  std::printf("\n%s: %d multiprocessors at %.0f MHz; shared memory allows %.3g exchanges/s\n", facts.name.c_str(),
              facts.multiprocessors, facts.clockHz / 1e6, limit);
  const auto& games = reporter.Games();
  const auto cpu = games.find("BM_Run/cpu/real_time");
  const auto cuda = games.find("BM_Run/cuda/real_time");
  if (cpu != games.end() && cuda != games.end())
    std::printf("run --device cuda: %.4g games/s, %.1f times all %d CPU threads (%.4g games/s)\n", cuda->second,
                cuda->second / cpu->second, os::UsableCpus(), cpu->second);
  for (const auto& [name, rate] : reporter.Exchanges())
    if (name.rfind("BM_GpuKernel", 0) == 0)
      std::printf("%-44s %.4g games/s, %.3g exchanges/s = %.2f of the limit\n", name.c_str(), games.at(name), rate,
                  rate / limit);
  return 0;
}
